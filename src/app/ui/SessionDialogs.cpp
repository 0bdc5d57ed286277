// The session dialogs on a document and its chart.
#include "app/ui/SessionDialogs.h"

#include "app/DataAcqApp.h"
#include "app/DataWindowCommands.h"
#include "app/GraphSettings.h"
#include "files/ui/FileForms.h"
#include "graph/ChartDialogs.h"
#include "graph/ui/ChartWidget.h"
#include "host/ui/FormDialog.h"
#include "model/Document.h"
#include "model/ui/ModelForms.h"
#include "processing/ui/ProcessingForms.h"
#include "ui_GearMarkerForm.h"

namespace orvex {

namespace {

CGraphViewState* ChartState(const DialogContext& c) {
    return c.chart ? &c.chart->State() : nullptr;
}

CBriodashDataset* Current(const DialogContext& c) {
    return CurrentDataset(*c.doc, ChartState(c));
}

template <class Model, class Make>
OpenedDialog Form(std::unique_ptr<Model> model, Make make, QWidget* parent) {
    auto dialog = make(parent, *model);
    return {nullptr, std::move(model), std::move(dialog)};
}

}  // namespace

OpenedDialog OpenDeleteData(DialogContext& c) {
    return Form(std::make_unique<CDeleteDataDialog>(*c.doc, Current(c)), MakeDeleteDataDialog,
                c.parent);
}

OpenedDialog OpenRename(DialogContext& c) {
    return Form(std::make_unique<CRenameSessions>(*c.doc), MakeRenameDialog, c.parent);
}

OpenedDialog OpenComments(DialogContext& c) {
    return Form(std::make_unique<CSessionComments>(*c.doc), MakeCommentsDialog, c.parent);
}

OpenedDialog OpenExportChannels(DialogContext& c) {
    ExportOptions options;
    options.distanceAxis = c.chart && !c.chart->State().IsTimeAxis();
    options.units = c.doc->m_options.units;
    options.voltageCorrection = GraphOptionsFrom(c.app).voltageCorrection;
    return Form(std::make_unique<CExportChannelsDialog>(*c.doc, Current(c), options,
                                                        ExportFileChooser(c.parent)),
                MakeExportChannelsDialog, c.parent);
}

OpenedDialog OpenSpikeFilter(DialogContext& c) {
    auto model = std::make_unique<CSpikeFilterDialog>(*c.doc, c.doc->ShownDatasets(true));
    auto dialog = MakeSpikeFilterDialog(c.parent, *model, false);
    return {nullptr, std::move(model), std::move(dialog)};
}

OpenedDialog OpenDefaultSpikeFilter(DialogContext& c) {
    // The levels are edited on copies and stored by OK.
    struct Levels {
        CSpikeFilterDialog::RpmLevels rpm;
        CSpikeFilterDialog::AnalogLevels analog;
    };
    auto levels =
        std::make_shared<Levels>(Levels{c.app.GetRpmSpikeLevels(), c.app.GetAnalogSpikeLevels()});
    auto model = std::make_unique<CSpikeFilterDialog>(levels->rpm, levels->analog, c.host);
    auto dialog = MakeSpikeFilterDialog(c.parent, *model, true);
    CDataAcqApp* app = &c.app;
    return {levels, std::move(model), std::move(dialog), [levels, app] {
                for (int i = 0; i < kRpmChannels; ++i)
                    app->SetRpmSpikeLevel(i + 1, levels->rpm[static_cast<std::size_t>(i)]);
                for (int i = 0; i < kAnalogChannels; ++i)
                    app->SetAnalogSpikeLevel(i + 1, levels->analog[static_cast<std::size_t>(i)]);
            }};
}

OpenedDialog OpenBeacons(DialogContext& c) {
    auto model = std::make_unique<CBeaconsDialog>(*c.doc, Current(c));
    auto dialog = MakeBeaconsDialog(c.parent, *model);
    dialog->setWindowTitle(QString::fromStdString(CBeaconsDialog::Title()));
    return {nullptr, std::move(model), std::move(dialog)};
}

OpenedDialog OpenLapTimes(DialogContext& c) {
    auto report = std::make_shared<CLapTimesReport>();
    if (!report->Open(c.doc->ShownDatasets(true), Current(c), c.host)) return {};
    auto model = std::make_unique<CLapTimesDialog>(*report, *c.doc);
    auto dialog = MakeLapTimesDialog(c.parent, *model);
    return {report, std::move(model), std::move(dialog)};
}

OpenedDialog OpenEtSlip(DialogContext& c) {
    auto report = std::make_shared<CEtSlipReport>();
    if (!report->Open(c.doc->ShownDatasets(true), Current(c), c.host)) return {};
    auto model =
        std::make_unique<CEtSlipDialog>(*report, *c.doc, c.doc->m_lGreenTime, c.doc->m_lRedTime);
    auto dialog = MakeEtSlipDialog(c.parent, *model);
    return {report, std::move(model), std::move(dialog)};
}

OpenedDialog OpenZeroTime(DialogContext& c) {
    auto context = std::make_shared<ZeroTimeContext>(MakeZeroTimeContext(*c.doc, ChartState(c)));
    auto model = std::make_unique<CZeroTimeDialog>(c.doc->ShownDatasets(true), *context, c.host);
    auto dialog = MakeZeroTimeDialog(c.parent, *model);
    CBriodashDoc* doc = c.doc;
    CChartWidget* chart = c.chart;
    return {context, std::move(model), std::move(dialog), [context, doc, chart] {
                ApplyZeroTimeContext(*doc, chart ? &chart->State() : nullptr, *context);
                doc->UpdateAllViews(kHintRepaint);
                if (chart) chart->Navigator().RefreshRanges(false);
            }};
}

OpenedDialog OpenMoveLapMarks(DialogContext& c) {
    return Form(std::make_unique<CMoveLapMarksDialog>(*c.doc, Current(c)), MakeMoveLapMarksDialog,
                c.parent);
}

OpenedDialog OpenDataAlignment(DialogContext& c) {
    const int32_t green = c.doc->m_lGreenTime, red = c.doc->m_lRedTime;
    if (!CDataAlignmentDialog::CanOpen(green, red, c.host)) return {};
    return Form(std::make_unique<CDataAlignmentDialog>(*c.doc, Current(c), green, red),
                MakeDataAlignmentDialog, c.parent);
}

OpenedDialog OpenSwitchTimer(DialogContext& c) {
    int32_t start = 0, end = 0;
    SwitchEventWindow(ChartState(c), start, end);
    return Form(std::make_unique<CSwitchTimerDialog>(*c.doc, start, end), MakeSwitchTimerDialog,
                c.parent);
}

OpenedDialog OpenGearSelectionAt(DialogContext& c, int32_t key, bool byDistance) {
    CBriodashDataset* ds = Current(c);
    if (!ds) return {};
    auto model =
        std::make_unique<CGearSelection>(*ds, key, byDistance, c.doc->m_options.units, c.host);
    auto dialog = MakeGearDialog(c.parent, *model);
    CGearSelection* gears = model.get();
    CBriodashDoc* doc = c.doc;
    return {nullptr, std::move(model), std::move(dialog), [gears, doc] {
                // The gears are saved with every RPM sample; the slip traces follow them.
                if (!gears->Applied()) return;
                doc->m_bModified = true;
                doc->UpdateAllViews(kHintRepaint);
            }};
}

OpenedDialog OpenGearSelection(DialogContext& c) {
    const int32_t at = c.doc->m_lGreenTime != kNotSet ? c.doc->m_lGreenTime
                       : c.doc->m_lRedTime != kNotSet ? c.doc->m_lRedTime
                                                      : 0;
    return OpenGearSelectionAt(c, at, false);
}

OpenedDialog OpenGearMarkerChoice(DialogContext& c) {
    auto model = std::make_unique<CGearMarkerChoice>();
    auto dialog = std::make_unique<CFormDialog<Ui::GearMarkerForm>>(c.parent, *model);
    return {nullptr, std::move(model), std::move(dialog)};
}

}  // namespace orvex
