// The channel setup dialogs from the main window: the data window's "Setup" menu opens them
// and the "Channel Menu" on the document's Session/Passes, the "Defaults" commands open them
// on the default car setup.
#include <QMenuBar>
#include <QPointer>

#include "app/DataAcqApp.h"
#include "app/ProgramData.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "graph/ui/ChannelMenuDialog.h"
#include "graph/ui/ChartWidget.h"
#include "graph/ui/MarkerListWidget.h"
#include "model/ui/ModelForms.h"
#include "processing/ui/ChannelSetupForms.h"

namespace orvex {

void CMainWindow::BuildSetupMenus() {
    m_setupMenu = new QMenu(QStringLiteral("&Setup"), this);
    menuBar()->insertMenu(Menu(QStringLiteral("&Window"))->menuAction(), m_setupMenu);
    for (SetupKind kind : {SetupKind::Analog, SetupKind::Digital, SetupKind::Rpm}) {
        QAction* a = m_setupMenu->addAction(
            QString::fromStdString(CChannelSetupDialog::BaseTitle(kind) + "..."));
        a->setStatusTip(QStringLiteral("Edit the channel setups of the Session/Passes"));
        connect(a, &QAction::triggered, this, [this, kind] {
            if (CDocumentWindow* w = ActiveDocument()) OpenDocumentSetups(*w, kind);
        });
    }
    QAction* transmission = m_setupMenu->addAction(QStringLiteral("Transmission/Rear End..."));
    transmission->setStatusTip(QStringLiteral("Edit the gear ratios and rear end"));
    connect(transmission, &QAction::triggered, this, [this] {
        if (CDocumentWindow* w = ActiveDocument()) {
            CTransmissionDialog model(w->Document(), CarFileChooser(this));
            if (MakeTransmissionDialog(this, model)->exec() == QDialog::Accepted) w->UpdateTitle();
        }
    });
    m_setupMenu->addSeparator();
    QAction* channels = m_setupMenu->addAction(QStringLiteral("Channel Menu..."));
    channels->setStatusTip(QStringLiteral("Turn channels on or off and choose their colours"));
    connect(channels, &QAction::triggered, this, [this] {
        if (CDocumentWindow* w = ActiveDocument()) OpenChannelMenu(*w);
    });
    connect(m_setupMenu, &QMenu::aboutToShow, this, &CMainWindow::UpdateSetupMenus);
    UpdateSetupMenus();
}

void CMainWindow::UpdateSetupMenus() {
    if (!m_setupMenu) return;
    CDocumentWindow* w = ActiveDocument();
    m_setupMenu->menuAction()->setVisible(w != nullptr);
    const bool sessions = w && !w->Document().ShownDatasets(true).empty();
    for (QAction* a : m_setupMenu->actions()) a->setEnabled(sessions);
}

void CMainWindow::OpenDocumentSetups(CDocumentWindow& window, SetupKind kind) {
    CChannelSetupDialog model(kind, window.Document(), nullptr, CarFileChooser(this));
    std::unique_ptr<QDialog> dialog = MakeChannelSetupDialog(this, model);
    if (dialog->exec() == QDialog::Accepted) window.UpdateTitle();
}

void CMainWindow::OpenChannelMenu(CDocumentWindow& window) {
    CChannelMenu model(window.Document(), ColorFileChooser(this, ProgramDataDir()));
    CChannelMenuDialog dialog(this, model);
    dialog.exec();
}

void CMainWindow::InstallChannelMenu(CDocumentWindow& window) {
    CMarkerListWidget* list = window.MarkerList();
    auto* action = new QAction(QStringLiteral("Channel Menu..."), list);
    QPointer<CDocumentWindow> target(&window);
    connect(action, &QAction::triggered, this, [this, target] {
        if (target) OpenChannelMenu(*target);
    });
    list->addAction(action);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(list, &QAbstractItemView::doubleClicked, this,
            [this, target](const QModelIndex& index) {
                if (target && index.isValid()) OpenChannelMenu(*target);
            });
}

void CMainWindow::OpenDefaultSetups(SetupKind kind) {
    if (kind == SetupKind::Transmission) {
        CCarSetup copy = m_app.GetDefaultCarSetup();
        CTransmissionDialog model(copy, m_app.GetUnits(), m_host, CarFileChooser(this));
        if (MakeTransmissionDialog(this, model)->exec() == QDialog::Accepted)
            m_app.GetDefaultCarSetup().CopyTransmission(copy);
        return;
    }
    CCarSetup copy = m_app.GetDefaultCarSetup();
    CChannelSetupDialog model(kind, copy, m_app.GetUnits(), m_host, CarFileChooser(this));
    std::unique_ptr<QDialog> dialog = MakeChannelSetupDialog(this, model);
    if (dialog->exec() != QDialog::Accepted) return;
    // The default analog setups recompute what follows from their calibration.
    for (CAnalogSetup& s : copy.m_analog) {
        s.ApplyTypeResolution();
        s.ComputeGraphRange(m_app.GetUnits(), std::nullopt);
    }
    m_app.GetDefaultCarSetup() = copy;
}

}  // namespace orvex
