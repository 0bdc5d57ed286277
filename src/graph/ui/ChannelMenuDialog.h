// The "Channel Menu" dialog: the form bound to its core state, with the list of the chosen
// session's channels as check boxes with colour swatches; a double click chooses a colour.
#pragma once

#include <QDialog>
#include <functional>

#include "graph/ChannelMenu.h"

class QListWidget;
class QListWidgetItem;

namespace orvex {

class CDialogBinder;

class CChannelMenuDialog : public QDialog {
    Q_OBJECT
  public:
    // `chooseColour` asks for a colour with a title; false when cancelled (tests script it).
    using ColourChooser = std::function<bool(const std::string& title, ColorRef& colour)>;
    CChannelMenuDialog(QWidget* parent, CChannelMenu& model, ColourChooser chooseColour = {});
    QListWidget* List() const { return m_list; }
    // Shows the model's rows again.
    void RefreshRows();

  private:
    void ChooseColour(QListWidgetItem* item);

    CChannelMenu& m_model;
    ColourChooser m_chooseColour;
    CDialogBinder* m_binder = nullptr;
    QListWidget* m_list = nullptr;
    bool m_bFilling = false;
};

// Asks for a colour-setup file ("Color Setups (*.col)"); saving proposes "default.col" in
// `folder`.
CChannelMenu::PathChooser ColorFileChooser(QWidget* parent, const std::string& folder);

}  // namespace orvex
