// The dialogs by title.
#include "app/ui/DialogGallery.h"

#include <QTabWidget>
#include <cstdio>

#include "app/DataAcqApp.h"
#include "app/ProgramData.h"
#include "logger/ComPortChoice.h"
#include "logger/ConfigSheet.h"
#include "logger/FirmwareForm.h"
#include "logger/SerialLine.h"
#include "logger/ui/ComPortDialog.h"
#include "logger/ui/FirmwareDialog.h"
#include "logger/ui/LoggerConfigDialog.h"
#include "model/Document.h"
#include "model/ui/ModelForms.h"
#include "processing/ui/ProcessingForms.h"

namespace orvex {

namespace {

template <class Model, class Dialog, class... Args>
OpenedDialog Open(QWidget* parent, Args&&... args) {
    auto model = std::make_unique<Model>(std::forward<Args>(args)...);
    auto dialog = std::make_unique<Dialog>(parent, *model);
    return {nullptr, std::move(model), std::move(dialog)};
}

OpenedDialog OpenZeroTime(DialogContext& c) {
    auto context = std::make_shared<ZeroTimeContext>();
    context->green = c.doc->m_lGreenTime;
    context->red = c.doc->m_lRedTime;
    const std::vector<CBriodashDataset*> shown = c.doc->ShownDatasets();
    context->shownSessions = static_cast<int>(shown.size());
    context->current = shown.empty() ? nullptr : shown.front();
    auto model = std::make_unique<CZeroTimeDialog>(shown, *context, c.host);
    auto dialog = MakeZeroTimeDialog(c.parent, *model);
    return {context, std::move(model), std::move(dialog)};
}

OpenedDialog OpenEtSlip(DialogContext& c) {
    auto report = std::make_shared<CEtSlipReport>();
    const std::vector<CBriodashDataset*> shown = c.doc->ShownDatasets();
    report->Open(shown, shown.empty() ? nullptr : shown.front(), c.host);
    auto model =
        std::make_unique<CEtSlipDialog>(*report, c.doc->m_lGreenTime, c.doc->m_lRedTime, c.host);
    auto dialog = MakeEtSlipDialog(c.parent, *model);
    return {report, std::move(model), std::move(dialog)};
}

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
    static const std::vector<GalleryEntry> gallery{
        {"COM Port", false,
         [](DialogContext& c) {
             return Open<CComPortChoice, CComPortDialog>(
                 c.parent, c.app.GetComPort(), c.app.GetComDevice(), ListSerialDevices(), c.host);
         }},
        {"Set Zero Time", true, OpenZeroTime},
        {"ET Slip Report", true, OpenEtSlip},
        {"Change Session/Pass Name", true,
         [](DialogContext& c) {
             auto model = std::make_unique<CRenameSessions>(*c.doc);
             auto dialog = MakeRenameDialog(c.parent, *model);
             return OpenedDialog{nullptr, std::move(model), std::move(dialog)};
         }},
        {"Comments", true,
         [](DialogContext& c) {
             auto model = std::make_unique<CSessionComments>(*c.doc);
             auto dialog = MakeCommentsDialog(c.parent, *model);
             return OpenedDialog{nullptr, std::move(model), std::move(dialog)};
         }},
        {"Spike Filter Settings", true,
         [](DialogContext& c) {
             auto model = std::make_unique<CSpikeFilterDialog>(c.doc->ShownDatasets(), c.host);
             auto dialog = MakeSpikeFilterDialog(c.parent, *model, false);
             return OpenedDialog{nullptr, std::move(model), std::move(dialog)};
         }},
        {"Delete Data from Session/Pass", true,
         [](DialogContext& c) {
             auto model = std::make_unique<CDeleteDataSelection>(c.host);
             auto dialog = MakeDeleteDataDialog(c.parent, *model);
             return OpenedDialog{nullptr, std::move(model), std::move(dialog)};
         }},
        {"Setup Data Logger's Channels", false, OpenLoggerConfig, "Dialog"},
        {"Update Firmware on Data Logger", false, OpenFirmware},
    };
    return gallery;
}

const GalleryEntry* FindDialog(const std::string& title) {
    for (const GalleryEntry& e : DialogGallery())
        if (e.title == title) return &e;
    return nullptr;
}

}  // namespace orvex
