// The forms of the "Set Zero Time" and "ET Slip Report" dialogs.
#include "processing/ui/ProcessingForms.h"

#include "ui_EtSlipForm.h"
#include "ui_GearForm.h"
#include "ui_LapTimesForm.h"
#include "ui_SpikeFilterForm.h"
#include "ui_ZeroTimeForm.h"

namespace orvex {

std::unique_ptr<QDialog> MakeZeroTimeDialog(QWidget* parent, CZeroTimeDialog& model) {
    return std::make_unique<CFormDialog<Ui::ZeroTimeForm>>(parent, model);
}

std::unique_ptr<QDialog> MakeEtSlipDialog(QWidget* parent, CEtSlipDialog& model) {
    auto dialog = std::make_unique<CFormDialog<Ui::EtSlipForm>>(parent, model);
    dialog->setModal(false);
    return dialog;
}

std::unique_ptr<QDialog> MakeGearDialog(QWidget* parent, CGearSelection& model) {
    return std::make_unique<CFormDialog<Ui::GearForm>>(parent, model);
}

std::unique_ptr<QDialog> MakeLapTimesDialog(QWidget* parent, CLapTimesDialog& model) {
    auto dialog = std::make_unique<CFormDialog<Ui::LapTimesForm>>(parent, model);
    dialog->setModal(false);
    return dialog;
}

std::unique_ptr<QDialog> MakeSpikeFilterDialog(QWidget* parent, CSpikeFilterDialog& model,
                                               bool defaults) {
    auto dialog = std::make_unique<CFormDialog<Ui::SpikeFilterForm>>(parent, model);
    if (defaults) {
        dialog->setWindowTitle(dialog->windowTitle() + QStringLiteral(" - Default Settings"));
        FitTitle(dialog.get());
    }
    return dialog;
}

}  // namespace orvex
