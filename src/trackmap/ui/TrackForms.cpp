#include "trackmap/ui/TrackForms.h"

#include "host/ui/FormDialog.h"
#include "ui_RaceLapForm.h"
#include "ui_TrackLapForm.h"
#include "ui_TrackSegmentForm.h"
#include "ui_TrackSettingsForm.h"

namespace orvex {

std::unique_ptr<QDialog> MakeTrackLapDialog(QWidget* parent, CTrackLapDialog& model) {
    return std::make_unique<CFormDialog<Ui::TrackLapForm>>(parent, model);
}

std::unique_ptr<QDialog> MakeTrackSettingsDialog(QWidget* parent, CTrackSettingsDialog& model,
                                                 bool defaults) {
    auto dialog = std::make_unique<CFormDialog<Ui::TrackSettingsForm>>(parent, model);
    if (defaults) {
        dialog->setWindowTitle(dialog->windowTitle() + QStringLiteral(" - Default Settings"));
        FitTitle(dialog.get());
    }
    return dialog;
}

std::unique_ptr<QDialog> MakeTrackSegmentDialog(QWidget* parent, CTrackSegmentDialog& model,
                                                const QString& title) {
    auto dialog = std::make_unique<CFormDialog<Ui::TrackSegmentForm>>(parent, model);
    if (!title.isEmpty()) {
        dialog->setWindowTitle(title);
        FitTitle(dialog.get());
    }
    return dialog;
}

std::unique_ptr<QDialog> MakeRaceLapDialog(QWidget* parent, CRaceLapDialog& model) {
    return std::make_unique<CFormDialog<Ui::RaceLapForm>>(parent, model);
}

}  // namespace orvex
