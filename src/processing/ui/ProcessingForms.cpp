// The forms of the lap, time and filter dialogs.
#include "processing/ui/ProcessingForms.h"

#include "ui_BeaconsForm.h"
#include "ui_DataAlignmentForm.h"
#include "ui_EtSlipForm.h"
#include "ui_GearForm.h"
#include "ui_LapTimesForm.h"
#include "ui_MoveLapMarksForm.h"
#include "ui_SpikeFilterForm.h"
#include "ui_SwitchTimerForm.h"
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

std::unique_ptr<QDialog> MakeBeaconsDialog(QWidget* parent, CBeaconsDialog& model) {
    return std::make_unique<CFormDialog<Ui::BeaconsForm>>(parent, model);
}

std::unique_ptr<QDialog> MakeMoveLapMarksDialog(QWidget* parent, CMoveLapMarksDialog& model) {
    return std::make_unique<CFormDialog<Ui::MoveLapMarksForm>>(parent, model);
}

std::unique_ptr<QDialog> MakeDataAlignmentDialog(QWidget* parent, CDataAlignmentDialog& model) {
    return std::make_unique<CFormDialog<Ui::DataAlignmentForm>>(parent, model);
}

std::unique_ptr<QDialog> MakeSwitchTimerDialog(QWidget* parent, CSwitchTimerDialog& model) {
    return std::make_unique<CFormDialog<Ui::SwitchTimerForm>>(parent, model);
}

}  // namespace orvex
