// The dialogs by title.
#include "app/ui/DialogGallery.h"

#include <QTabWidget>
#include <cstdio>

#include "app/DataAcqApp.h"
#include "app/ProgramData.h"
#include "app/ui/SessionDialogs.h"
#include "graph/ChartDialogs.h"
#include "graph/ui/ChannelMenuDialog.h"
#include "graph/ui/ChartWidget.h"
#include "logger/config/ConfigSheet.h"
#include "logger/firmware/FirmwareForm.h"
#include "logger/link/ComPortChoice.h"
#include "logger/link/SerialLine.h"
#include "logger/ui/ComPortDialog.h"
#include "logger/ui/FirmwareDialog.h"
#include "logger/ui/LoggerConfigDialog.h"
#include "model/Document.h"
#include "model/ui/ModelForms.h"
#include "processing/ui/ChannelSetupForms.h"
#include "processing/ui/ProcessingForms.h"
#include "trackmap/TrackDialogs.h"
#include "trackmap/TrackMap.h"
#include "trackmap/ui/TrackForms.h"

namespace orvex {

namespace {

template <class Model, class Dialog, class... Args>
OpenedDialog Open(QWidget* parent, Args&&... args) {
    auto model = std::make_unique<Model>(std::forward<Args>(args)...);
    auto dialog = std::make_unique<Dialog>(parent, *model);
    return {nullptr, std::move(model), std::move(dialog)};
}

OpenedDialog OpenTrackLaps(DialogContext& c) {
    auto selection = std::make_shared<CTrackMapLapSelection>();
    selection->Open(c.doc->ShownDatasets(), c.doc->m_options.groundSpeedMap, c.host);
    auto model = std::make_unique<CTrackLapDialog>(*selection);
    if (model->lap.items.size() > 1) model->lap.selected = 1;
    auto dialog = MakeTrackLapDialog(c.parent, *model);
    return {selection, std::move(model), std::move(dialog)};
}

OpenedDialog OpenTrackSettings(DialogContext& c) {
    auto settings = std::make_shared<CTrackMapSettings>();
    settings->Open(c.doc->ShownDatasets(), c.doc->m_options.groundSpeedMap,
                   c.doc->m_options.openTrackMap != 0, c.doc->m_options.calcBanking != 0, c.host);
    auto model = std::make_unique<CTrackSettingsDialog>(*settings, c.doc);
    auto dialog = MakeTrackSettingsDialog(c.parent, *model, false);
    return {settings, std::move(model), std::move(dialog)};
}

OpenedDialog OpenTrackSegments(DialogContext& c) {
    // The front-rear thresholds over a map of the first session's second lap.
    struct Keep {
        CTrackMap map;
        std::unique_ptr<CTrackSegmentSettings> settings;
    };
    auto keep = std::make_shared<Keep>();
    for (CBriodashDataset* ds : c.doc->ShownDatasets()) {
        std::optional<TrackLap> lap = FindTrackLap(*ds, 2);
        TrackMapOptions options;
        options.speedSource = c.doc->m_options.groundSpeedMap;
        if (lap && HasSpeedSource(*ds, options.speedSource) &&
            MakeTrackMap(*lap, options, c.doc->m_options.units, keep->map, c.host) ==
                TrackMapResult::Ok)
            break;
    }
    keep->settings = std::make_unique<CTrackSegmentSettings>(
        false, &keep->map, c.app.GetTrackMapLateralPos(), c.app.GetTrackMapLateralNeg());
    auto model = std::make_unique<CTrackSegmentDialog>(*keep->settings);
    auto dialog = MakeTrackSegmentDialog(c.parent, *model);
    return {keep, std::move(model), std::move(dialog)};
}

OpenedDialog OpenRaceLaps(DialogContext& c) {
    auto race = std::make_shared<CRaceModeData>();
    race->BuildAvailable(c.doc->ShownDatasets(), c.doc->m_bLapView);
    auto model = std::make_unique<CRaceLapDialog>(*race, c.host);
    // Two laps moved across, as a race starts.
    model->Clicked("add");
    model->Clicked("add");
    auto dialog = MakeRaceLapDialog(c.parent, *model);
    return {race, std::move(model), std::move(dialog)};
}

OpenedDialog OpenChannelSetup(DialogContext& c, SetupKind kind) {
    std::unique_ptr<CChannelSetupDialog> model;
    if (c.doc)
        model = std::make_unique<CChannelSetupDialog>(
            kind, *c.doc, CurrentDataset(*c.doc, c.chart ? &c.chart->State() : nullptr),
            CarFileChooser(c.parent));
    else
        model = std::make_unique<CChannelSetupDialog>(
            kind, c.app.GetDefaultCarSetup(), c.app.GetUnits(), c.host, CarFileChooser(c.parent));
    auto dialog = MakeChannelSetupDialog(c.parent, *model);
    return {nullptr, std::move(model), std::move(dialog)};
}

// The dialog of `kind` on the document, and on the defaults under its " - Default Settings"
// title.
void AddChannelSetups(std::vector<GalleryEntry>& gallery) {
    for (SetupKind kind : {SetupKind::Analog, SetupKind::Digital, SetupKind::Rpm}) {
        const std::string title = CChannelSetupDialog::BaseTitle(kind);
        gallery.push_back(
            {title, true, [kind](DialogContext& c) { return OpenChannelSetup(c, kind); }});
        gallery.push_back({title + " - Default Settings", false, [kind](DialogContext& c) {
                               DialogContext defaults{c.app, c.host, nullptr, c.parent};
                               return OpenChannelSetup(defaults, kind);
                           }});
    }
}

OpenedDialog OpenTransmission(DialogContext& c) {
    std::unique_ptr<CTransmissionDialog> model;
    if (c.doc)
        model = std::make_unique<CTransmissionDialog>(*c.doc, CarFileChooser(c.parent));
    else
        model = std::make_unique<CTransmissionDialog>(c.app.GetDefaultCarSetup(), c.app.GetUnits(),
                                                      c.host, CarFileChooser(c.parent));
    auto dialog = MakeTransmissionDialog(c.parent, *model);
    return {nullptr, std::move(model), std::move(dialog)};
}

std::vector<GalleryEntry> MakeGallery();

OpenedDialog OpenLoggerConfig(DialogContext& c) {
    std::array<CTachConfig, 4> configs;
    for (int i = 0; i < 4; ++i) configs[static_cast<std::size_t>(i)] = c.app.GetLoggerConfig(i);
    CLinkOptions link;
    link.device = LoggerDevicePath(c.app.GetComPort(), c.app.GetComDevice());
    auto model = std::make_unique<CLoggerConfigSheet>(configs, c.app.GetRecordSegments(),
                                                      c.app.GetEquationChannels(), c.host, link,
                                                      c.app.GetSharedPort());
    auto dialog = std::make_unique<CLoggerConfigDialog>(c.parent, *model);
    return {nullptr, std::move(model), std::move(dialog)};
}

// The firmware dialog before its analysis: nothing known of the logger yet.
OpenedDialog OpenFirmware(DialogContext& c) {
    struct Core {
        std::unique_ptr<ISerialLine> line;
        std::unique_ptr<CFirmwareDlg> dlg;
    };
    auto core = std::make_shared<Core>();
    core->line = MakePosixSerialLine();
    CLinkOptions link;
    link.device = LoggerDevicePath(c.app.GetComPort(), c.app.GetComDevice());
    core->dlg = std::make_unique<CFirmwareDlg>(*core->line, c.host, link, c.app.GetSharedPort(),
                                               FirmwareFolder(), QtFolderChooser(c.parent));
    auto model = std::make_unique<CFirmwareForm>(*core->dlg);
    auto dialog = std::make_unique<CFirmwareDialog>(c.parent, *model);
    return {core, std::move(model), std::move(dialog)};
}

}  // namespace

bool ShowDialogPage(QDialog& dialog, const std::string& page) {
    const QString name = QString::fromStdString(page);
    for (QTabWidget* tabs : dialog.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == name) {
                tabs->setCurrentIndex(i);
                return true;
            }
    std::fprintf(stderr, "orvex: no page \"%s\" in \"%s\"; the pages are:\n", page.c_str(),
                 dialog.windowTitle().toStdString().c_str());
    for (QTabWidget* tabs : dialog.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i)
            std::fprintf(stderr, "  %s\n", tabs->tabText(i).toStdString().c_str());
    return false;
}

const std::vector<GalleryEntry>& DialogGallery() {
    static const std::vector<GalleryEntry> gallery = MakeGallery();
    return gallery;
}

namespace {

std::vector<GalleryEntry> MakeGallery() {
    std::vector<GalleryEntry> gallery{
        {"COM Port", false,
         [](DialogContext& c) {
             return Open<CComPortChoice, CComPortDialog>(
                 c.parent, c.app.GetComPort(), c.app.GetComDevice(), ListSerialDevices(), c.host);
         }},
        {"Set Zero Time", true, OpenZeroTime},
        {"ET Slip Report", true, OpenEtSlip},
        {"Lap Times Report", true, OpenLapTimes},
        {"Gear Selection", true, OpenGearSelection},
        {"Select which Marker to Use", true, OpenGearMarkerChoice},
        {"Change Session/Pass Name", true, OpenRename},
        {"Comments", true, OpenComments},
        {"Spike Filter Settings", true, OpenSpikeFilter},
        {"Spike Filter Settings - Default Settings", false, OpenDefaultSpikeFilter},
        {"Number of Beacons", true, OpenBeacons},
        {"Move Lap Markers", true, OpenMoveLapMarks},
        {"Data Alignment Menu", true, OpenDataAlignment},
        {"Switch/Timer Data", true, OpenSwitchTimer},
        {"Select Channels to Export", true, OpenExportChannels},
        {"Track Map Lap Selection", true, OpenTrackLaps},
        {"Track Map Settings", true, OpenTrackSettings},
        {"Track Map Segment Settings", true, OpenTrackSegments},
        {"Race Mode", true, OpenRaceLaps},
        {"Delete Data from Session/Pass", true, OpenDeleteData},
        {"Setup Data Logger's Channels", false, OpenLoggerConfig, "Dialog"},
        {"Update Firmware on Data Logger", false, OpenFirmware},
    };
    AddChannelSetups(gallery);
    gallery.push_back({"Transmission/Rear End Settings", true, OpenTransmission});
    gallery.push_back(
        {"Transmission/Rear End Settings - Default Settings", false, [](DialogContext& c) {
             DialogContext defaults{c.app, c.host, nullptr, c.parent};
             return OpenTransmission(defaults);
         }});
    gallery.push_back({"Channel Menu", true, [](DialogContext& c) {
                           auto model = std::make_unique<CChannelMenu>(
                               *c.doc, ColorFileChooser(c.parent, ProgramDataDir()));
                           auto dialog = std::make_unique<CChannelMenuDialog>(c.parent, *model);
                           return OpenedDialog{nullptr, std::move(model), std::move(dialog)};
                       }});
    return gallery;
}

}  // namespace

const GalleryEntry* FindDialog(const std::string& title) {
    for (const GalleryEntry& e : DialogGallery())
        if (e.title == title) return &e;
    return nullptr;
}

}  // namespace orvex
