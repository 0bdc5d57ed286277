// "Retrieve from Data-Logger": the upload into a new untitled document, run in the link
// window, then the spike filter and, with "AutoSave", the save-as.

#include "app/DataAcqApp.h"
#include "app/DocumentDefaults.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "host/HostServices.h"
#include "logger/Upload.h"
#include "logger/ui/SessionDialog.h"
#include "model/Document.h"
#include "processing/SpikeFilter.h"

namespace orvex {

void CMainWindow::RetrieveFromLogger() {
    // A second activation while the first is being set up does nothing.
    if (m_bRetrieving) return;
    m_bRetrieving = true;
    UpdateCommandStates();

    CUploadDefaults defaults;
    defaults.carSetup = m_app.GetDefaultCarSetup();
    defaults.units = m_app.GetUnits();
    defaults.autoSave = m_app.GetAutoSave();
    defaults.rpmFilter = m_app.GetRpmSpikeLevels();
    defaults.analogFilter = m_app.GetAnalogSpikeLevels();

    CUploadOptions options;
    options.device = LoggerDevicePath(m_app.GetComPort(), m_app.GetComDevice());
    options.chooseSession = [this](int sessions, int offered) -> std::optional<int> {
        CSessionDialog dlg(this, sessions, offered);
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        return dlg.Choice();
    };

    m_app.ClearAbort();
    auto line = MakePosixSerialLine();
    CUploadResult result = UploadFromLogger(*line, defaults, options, m_host);
    m_bRetrieving = false;
    UpdateCommandStates();
    if (!result.dataset) return;

    auto doc = std::make_unique<CBriodashDoc>(m_host, DocumentOptionsFrom(m_app));
    CBriodashDataset& ds = *result.dataset;
    std::string report =
        FilterAndReport(ds, defaults.rpmFilter, defaults.analogFilter, false, m_host);
    if (!report.empty()) m_host.Message(report, Icon::Information);
    ds.DropUnconfigured();
    if (ds.m_strName.empty()) ds.m_strName = "Untitled";
    doc->m_datasets.push_back(std::move(result.dataset));
    doc->m_strTitle = "Untitled";
    doc->m_bModified = true;
    CDocumentWindow* window = AddDocument(std::move(doc));
    if (m_app.GetAutoSave()) SaveDocument(window);
}

}  // namespace orvex
