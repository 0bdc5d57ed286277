// The "Set Zero Time" dialog's fields: the sessions ("session"), the positions the selected
// session's zero can be taken from ("zeroBy") and its "Offset Time" ("offset"); OK sets every
// session's zero.
#pragma once

#include <string>
#include <vector>

#include "host/DialogModel.h"
#include "host/HostServices.h"
#include "processing/ZeroTime.h"

namespace orvex {

class CZeroTimeDialog : public CDialogModel {
  public:
    // `sessions` are the shown sessions; `context` holds what moves with the zeros and is
    // changed by OK only.
    CZeroTimeDialog(const std::vector<CBriodashDataset*>& sessions, ZeroTimeContext& context,
                    IHostServices& host);

    ChoiceField m_session;
    ChoiceField m_zeroBy;
    TextField m_offset;

    void Changed(const std::string& name) override;
    // Reads every offset (a bad one is reported and keeps the dialog open) and sets the zeros.
    bool Accept() override;

  private:
    struct Row {
        CBriodashDataset* dataset;
        std::vector<ZeroChoice> choices;
        int chosen = 0;
        std::string offset;
    };
    void ShowSession();

    std::vector<Row> m_rows;
    ZeroTimeContext& m_context;
    IHostServices& m_host;
};

}  // namespace orvex
