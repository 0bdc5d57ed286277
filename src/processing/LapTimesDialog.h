// The "Lap Times Report" dialog's fields over the report's state: the sessions ("session"),
// the report lines ("lines"), the time typed for an insert ("entry") under its prompt
// ("prompt"), "Elapsed Time" ("elapsed"), "Relative Time" ("relative"), "Delete Lap"
// ("deleteLap") and "Update Elapsed Time" ("updateElapsed").
#pragma once

#include <string>
#include <vector>

#include "host/DialogModel.h"
#include "host/HostServices.h"
#include "processing/LapTimesReport.h"

namespace orvex {

class CBriodashDoc;

class CLapTimesDialog : public CDialogModel {
  public:
    // `report` has been opened on sessions of `doc`.
    CLapTimesDialog(CLapTimesReport& report, CBriodashDoc& doc);

    ChoiceField m_session;
    ChoiceField m_lines;
    TextField m_entry;
    LabelField m_prompt;
    ButtonField m_elapsed, m_relative, m_deleteLap;
    CheckField m_updateElapsed;

    void Changed(const std::string& name) override;
    void Clicked(const std::string& name) override;
    bool Accept() override;
    // The sessions OK wrote back.
    const std::vector<CBriodashDataset*>& Written() const { return m_written; }

  private:
    void Show();

    CLapTimesReport& m_report;
    CBriodashDoc& m_doc;
    IHostServices& m_host;
    std::vector<CBriodashDataset*> m_written;
};

}  // namespace orvex
