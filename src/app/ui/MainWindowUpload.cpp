// "Retrieve from Data-Logger": the upload into a new untitled document, run in the link
// window, then the spike filter and, with "AutoSave", the save-as.

#include "app/DataAcqApp.h"
#include "app/UploadDocument.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "host/HostServices.h"
#include "logger/ui/SessionDialog.h"
#include "logger/upload/Upload.h"
#include "model/Document.h"

namespace orvex {

void CMainWindow::RetrieveFromLogger() {
    // A second activation while the first is being set up does nothing.
    if (m_bRetrieving) return;
    m_bRetrieving = true;
    UpdateCommandStates();

    CUploadOptions options;
    options.device = LoggerDevicePath(m_app.GetComPort(), m_app.GetComDevice());
    options.chooseSession = [this](int sessions, int offered) -> std::optional<int> {
        CSessionDialog dlg(this, sessions, offered);
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        return dlg.Choice();
    };

    m_app.ClearAbort();
    auto line = MakePosixSerialLine();
    UploadedDocument uploaded = UploadToDocument(*line, options, m_documents);
    m_bRetrieving = false;
    UpdateCommandStates();
    if (!uploaded.doc) return;

    CDocumentWindow* window = AddDocument(std::move(uploaded.doc));
    if (m_app.GetAutoSave()) SaveDocument(window);
}

}  // namespace orvex
