// The "Change Session/Pass Name" and "Comments" dialogs' fields: the shown sessions ("session")
// with the name ("name") or the comment text ("comments") of the one selected, edited on
// copies and written back by OK.
#pragma once

#include <string>
#include <vector>

#include "host/DialogModel.h"
#include "model/Document.h"

namespace orvex {

class CSessionTexts : public CDialogModel {
  public:
    void Changed(const std::string& name) override;

    ChoiceField m_session;
    TextField m_text;

  protected:
    // `field` is "name" or "comments"; `texts` the sessions' texts as the dialog edits them.
    CSessionTexts(CBriodashDoc& doc, const char* field, std::vector<std::string> texts);
    void Show();

    CBriodashDoc& m_doc;
    std::vector<CBriodashDataset*> m_sessions;
    std::vector<std::string> m_texts;
};

class CRenameSessions : public CSessionTexts {
  public:
    explicit CRenameSessions(CBriodashDoc& doc);
    void Changed(const std::string& name) override;
    // An empty name is refused with "A Name must be specified!" and its session selected.
    bool Accept() override;
};

class CSessionComments : public CSessionTexts {
  public:
    explicit CSessionComments(CBriodashDoc& doc);
    bool Accept() override;
};

}  // namespace orvex
