// The "COM Port" dialog.
#include "logger/ui/ComPortDialog.h"

#include <QComboBox>
#include <QRadioButton>

#include "host/ui/DialogBinder.h"
#include "ui_ComPortDialog.h"

namespace orvex {

CComPortDialog::CComPortDialog(QWidget* parent, CComPortChoice& choice)
    : QDialog(parent), m_ui(std::make_unique<Ui::ComPortDialog>()), m_choice(choice) {
    m_ui->setupUi(this);
    m_binder = new CDialogBinder(this, choice);
    FitTitle(this);
}

CComPortDialog::~CComPortDialog() = default;

QAbstractButton* CComPortDialog::Button(int port) const {
    return findChild<QAbstractButton*>(QStringLiteral("port_%1").arg(port - 1));
}

QAbstractButton* CComPortDialog::DeviceButton() const {
    return m_ui->port_8;
}

QComboBox* CComPortDialog::DeviceList() const {
    return m_ui->device;
}

}  // namespace orvex
