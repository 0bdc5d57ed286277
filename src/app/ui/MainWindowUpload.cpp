// "Retrieve from Data-Logger": the upload into a new untitled document, run in the link
// window, then the spike filter and, with "AutoSave", the save-as.
#include <QInputDialog>
#include <QStringList>

#include "app/DataAcqApp.h"
#include "app/UploadDocument.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "host/HostServices.h"
#include "logger/Upload.h"
#include "model/Document.h"

namespace orvex {

void CMainWindow::RetrieveFromLogger() {
    // A second activation while the first is being set up does nothing.
    if (m_bRetrieving) return;
    m_bRetrieving = true;
    UpdateCommandStates();

    CUploadOptions options;
    options.device = PortDevicePath(m_app.GetComPort());
    options.chooseSession = [this](int sessions, int offered) -> std::optional<int> {
        QStringList items{QStringLiteral("Upload Last Recorded Session")};
        for (int i = 1; i <= sessions; ++i) items << QStringLiteral("Session %1").arg(i);
        bool ok = false;
        QString choice = QInputDialog::getItem(
            this, QStringLiteral("Select Session to Upload"), QStringLiteral("Session:"), items,
            offered >= 0 && offered <= sessions ? offered : 0, false, &ok);
        if (!ok) return std::nullopt;
        return static_cast<int>(items.indexOf(choice));
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
