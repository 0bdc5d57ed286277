// The "COM Port" dialog: "COM 1" to "COM 8" beside the serial devices present or a typed path,
// OK and Cancel. The choice lives in CComPortChoice.
#pragma once

#include <QDialog>
#include <memory>

#include "logger/link/ComPortChoice.h"

class QAbstractButton;
class QComboBox;

namespace Ui {
class ComPortDialog;
}

namespace orvex {

class CDialogBinder;

class CComPortDialog : public QDialog {
    Q_OBJECT
  public:
    CComPortDialog(QWidget* parent, CComPortChoice& choice);
    ~CComPortDialog() override;
    int Port() const { return m_choice.Port(); }
    QAbstractButton* Button(int port) const;  // 1 to 8
    QAbstractButton* DeviceButton() const;
    QComboBox* DeviceList() const;
    CDialogBinder& Binder() const { return *m_binder; }

  private:
    std::unique_ptr<Ui::ComPortDialog> m_ui;
    CComPortChoice& m_choice;
    CDialogBinder* m_binder;
};

}  // namespace orvex
