// The forms of the session editing dialogs.
#include "model/ui/ModelForms.h"

#include "host/ui/FormDialog.h"
#include "ui_CommentsForm.h"
#include "ui_DeleteDataForm.h"
#include "ui_RenameForm.h"
#include "ui_TransmissionForm.h"

namespace orvex {

std::unique_ptr<QDialog> MakeDeleteDataDialog(QWidget* parent, CDeleteDataDialog& model) {
    return std::make_unique<CFormDialog<Ui::DeleteDataForm>>(parent, model);
}

std::unique_ptr<QDialog> MakeRenameDialog(QWidget* parent, CRenameSessions& model) {
    return std::make_unique<CFormDialog<Ui::RenameForm>>(parent, model);
}

std::unique_ptr<QDialog> MakeCommentsDialog(QWidget* parent, CSessionComments& model) {
    return std::make_unique<CFormDialog<Ui::CommentsForm>>(parent, model);
}

std::unique_ptr<QDialog> MakeTransmissionDialog(QWidget* parent, CTransmissionDialog& model) {
    auto dialog = std::make_unique<CFormDialog<Ui::TransmissionForm>>(parent, model);
    dialog->setWindowTitle(QString::fromStdString(model.Title()));
    FitTitle(dialog.get());
    return dialog;
}

}  // namespace orvex
