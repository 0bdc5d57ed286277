// The forms of "Configure Analog Channels", "Configure Digital Inputs" and "Configure RPM/MPH
// Channels".
#include "processing/ui/ChannelSetupForms.h"

#include <QFileDialog>
#include <QPointer>

#include "host/ui/FormDialog.h"
#include "ui_AnalogSetupForm.h"
#include "ui_DigitalSetupForm.h"
#include "ui_RpmSetupForm.h"

namespace orvex {

namespace {

template <class Form>
std::unique_ptr<QDialog> Make(QWidget* parent, CChannelSetupDialog& model) {
    auto dialog = std::make_unique<CFormDialog<Form>>(parent, model);
    dialog->setWindowTitle(QString::fromStdString(model.Title()));
    FitTitle(dialog.get());
    return dialog;
}

}  // namespace

std::unique_ptr<QDialog> MakeChannelSetupDialog(QWidget* parent, CChannelSetupDialog& model) {
    switch (model.Kind()) {
        case SetupKind::Analog:
            return Make<Ui::AnalogSetupForm>(parent, model);
        case SetupKind::Digital:
            return Make<Ui::DigitalSetupForm>(parent, model);
        default:
            return Make<Ui::RpmSetupForm>(parent, model);
    }
}

CChannelSetupDialog::PathChooser CarFileChooser(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    return [owner](bool save) {
        const QString filter = QStringLiteral("Car Setups (*.car)");
        QString path =
            save ? QFileDialog::getSaveFileName(owner, QStringLiteral("Export"), QString(), filter)
                 : QFileDialog::getOpenFileName(owner, QStringLiteral("Import"), QString(), filter);
        if (save && !path.isEmpty() && !path.endsWith(QStringLiteral(".car"), Qt::CaseInsensitive))
            path += QStringLiteral(".car");
        return path.toStdString();
    };
}

}  // namespace orvex
