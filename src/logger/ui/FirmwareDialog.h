// The "Update Firmware on Data Logger" dialog: "Current Firmware Version:", the "New Firmware:"
// list, the "Analyze"/"Update" button and "Exit", over the firmware update core.
#pragma once

#include <QDialog>
#include <memory>

#include "logger/firmware/FirmwareForm.h"

class QListWidget;
class QLineEdit;
class QPushButton;

namespace Ui {
class FirmwareDialog;
}

namespace orvex {

class CDialogBinder;

// The firmware folder chooser "Select Folder for Hex Files." over `parent`.
FolderChooser QtFolderChooser(QWidget* parent);

class CFirmwareDialog : public QDialog {
    Q_OBJECT
  public:
    CFirmwareDialog(QWidget* parent, CFirmwareForm& form);
    ~CFirmwareDialog() override;

    // Opening: the analysis runs, then the images are searched.
    void Start();
    // Shown modally until "Exit"; the dialog may hide itself meanwhile (during an update).
    void Run();

    QPushButton* ActionButton() const;
    QPushButton* ExitButton() const;
    QListWidget* Images() const;
    QLineEdit* Version() const;

    // "Analyze" or "Update" pressed.
    void OnAction();
    // "Exit" (or the window closed): the logger restarts its firmware, the dialog closes.
    void OnExit();
    void reject() override { OnExit(); }

  private:
    void ShowState();

    std::unique_ptr<Ui::FirmwareDialog> m_ui;
    CFirmwareForm& m_form;
    CDialogBinder* m_binder = nullptr;
    bool m_bBusy = false;
};

}  // namespace orvex
