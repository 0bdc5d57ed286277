// The firmware update dialog.
#include "logger/ui/FirmwareDialog.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "host/ui/DialogBinder.h"
#include "ui_FirmwareDialog.h"

namespace orvex {

FolderChooser QtFolderChooser(QWidget* parent) {
    return
        [parent](const std::string& title, const std::string& start) -> std::optional<std::string> {
            const QString folder = QFileDialog::getExistingDirectory(
                parent, QString::fromStdString(title), QString::fromStdString(start));
            if (folder.isEmpty()) return std::nullopt;
            return folder.toStdString();
        };
}

CFirmwareDialog::CFirmwareDialog(QWidget* parent, CFirmwareForm& form)
    : QDialog(parent), m_ui(std::make_unique<Ui::FirmwareDialog>()), m_form(form) {
    m_ui->setupUi(this);
    m_binder = new CDialogBinder(this, form);
    connect(m_ui->action, &QPushButton::clicked, this, &CFirmwareDialog::OnAction);
    connect(m_ui->exit, &QPushButton::clicked, this, &CFirmwareDialog::OnExit);
    ShowState();
    FitTitle(this);
}

CFirmwareDialog::~CFirmwareDialog() = default;

QPushButton* CFirmwareDialog::ActionButton() const {
    return m_ui->action;
}
QPushButton* CFirmwareDialog::ExitButton() const {
    return m_ui->exit;
}
QListWidget* CFirmwareDialog::Images() const {
    return m_ui->images;
}
QLineEdit* CFirmwareDialog::Version() const {
    return m_ui->version;
}

void CFirmwareDialog::ShowState() {
    m_form.Show();
    m_binder->Refresh();
    m_ui->action->setText(QString::fromStdString(m_form.ButtonCaption()));
}

void CFirmwareDialog::Start() {
    if (m_bBusy) return;
    m_bBusy = true;
    m_form.Dialog().OnAnalyze();
    m_bBusy = false;
    ShowState();
}

void CFirmwareDialog::Run() {
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    QMetaObject::invokeMethod(this, &CFirmwareDialog::Start, Qt::QueuedConnection);
    loop.exec();
}

void CFirmwareDialog::OnAction() {
    if (m_bBusy) return;
    m_bBusy = true;
    CFirmwareDlg& dlg = m_form.Dialog();
    if (dlg.ListEnabled()) {
        // The link window alone is shown while the logger is reloaded.
        const bool visible = isVisible();
        hide();
        dlg.OnUpdate();
        if (visible) show();
    } else {
        dlg.OnAnalyze();
    }
    m_bBusy = false;
    ShowState();
}

void CFirmwareDialog::OnExit() {
    if (m_bBusy) return;
    m_bBusy = true;
    m_form.Dialog().OnExit();
    m_bBusy = false;
    QDialog::reject();
}

}  // namespace orvex
