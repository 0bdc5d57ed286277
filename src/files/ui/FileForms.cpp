// The export channel form and its file dialog.
#include "files/ui/FileForms.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>

#include "host/ui/FormDialog.h"
#include "ui_ExportChannelsForm.h"

namespace orvex {

std::unique_ptr<QDialog> MakeExportChannelsDialog(QWidget* parent, CExportChannelsDialog& model) {
    return std::make_unique<CFormDialog<Ui::ExportChannelsForm>>(parent, model);
}

CExportChannelsDialog::FileChooser ExportFileChooser(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    return [owner]() -> std::string {
        QFileDialog dialog(owner, QStringLiteral("Save File for Exporting"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("asc"));
        dialog.setNameFilters(
            {QStringLiteral("ORVEX Export Data files (*.asc)"), QStringLiteral("All Files (*.*)")});
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return QFileInfo(dialog.selectedFiles().front()).absoluteFilePath().toStdString();
    };
}

}  // namespace orvex
