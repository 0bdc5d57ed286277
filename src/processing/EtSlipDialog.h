// The "ET Slip Report" dialog's fields over the report's state: the sessions ("session"),
// "Launch Time from:" ("launchFrom") with the launch time ("launch"), the five elapsed times
// ("et0" to "et4"), the incrementals ("inc1" to "inc4") and "Apply" ("apply").
#pragma once

#include <string>
#include <vector>

#include "host/DialogModel.h"
#include "host/HostServices.h"
#include "model/Document.h"
#include "processing/EtSlipReport.h"

namespace orvex {

class CEtSlipDialog : public CDialogModel {
  public:
    // `report` has been opened on sessions of `doc`; green and red are the marker times as the
    // chart shows them. Apply and OK mark the document modified and repaint its views.
    CEtSlipDialog(CEtSlipReport& report, CBriodashDoc& doc, int32_t green, int32_t red);

    ChoiceField m_session;
    ChoiceField m_launchFrom;
    TextField m_launch;
    TextField m_elapsed[kEtFields];
    LabelField m_incremental[kEtFields];  // [0] unused
    ButtonField m_apply;

    void Changed(const std::string& name) override;
    // A typed time is taken when its field is left; a bad one is refused.
    bool Edited(const std::string& name) override;
    void Clicked(const std::string& name) override;
    bool Accept() override;
    // Apply or OK has written the marks since the report was opened.
    bool Applied() const { return m_bApplied; }

  private:
    // Every field from the report's current session.
    void Show();
    void Apply();

    CEtSlipReport& m_report;
    std::vector<TimeChoice> m_launchChoices;
    CBriodashDoc& m_doc;
    IHostServices& m_host;
    bool m_bApplied = false;
};

}  // namespace orvex
