// The channel setup dialogs from the main window's "Defaults" commands on the default car
// setup, and the channel list's ways to the "Channel Menu".
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>

#include "app/DataAcqApp.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "graph/ui/MarkerListWidget.h"
#include "model/ui/ModelForms.h"
#include "processing/ui/ChannelSetupForms.h"

namespace orvex {

void CMainWindow::InstallChannelMenu(CDocumentWindow& window) {
    CMarkerListWidget* list = window.MarkerList();
    auto* action = new QAction(QStringLiteral("Channel Menu..."), list);
    QPointer<CDocumentWindow> target(&window);
    auto open = [this, target] {
        if (!target) return;
        if (QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(target->parentWidget()))
            MdiArea()->setActiveSubWindow(sub);
        RunDataCommand(DataCommand::ChannelMenu);
    };
    connect(action, &QAction::triggered, this, open);
    list->addAction(action);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(list, &QAbstractItemView::doubleClicked, this, [open](const QModelIndex& index) {
        if (index.isValid()) open();
    });
}

void CMainWindow::OpenDefaultSetups(SetupKind kind) {
    if (kind == SetupKind::Transmission) {
        CCarSetup copy = m_app.GetDefaultCarSetup();
        CTransmissionDialog model(copy, m_app.GetUnits(), m_host, CarFileChooser(this));
        if (RunModal(*MakeTransmissionDialog(this, model)))
            m_app.GetDefaultCarSetup().CopyTransmission(copy);
        return;
    }
    CCarSetup copy = m_app.GetDefaultCarSetup();
    CChannelSetupDialog model(kind, copy, m_app.GetUnits(), m_host, CarFileChooser(this));
    std::unique_ptr<QDialog> dialog = MakeChannelSetupDialog(this, model);
    if (!RunModal(*dialog)) return;
    // The default analog setups recompute what follows from their calibration.
    for (CAnalogSetup& s : copy.m_analog) {
        s.ApplyTypeResolution();
        s.ComputeGraphRange(m_app.GetUnits(), std::nullopt);
    }
    m_app.GetDefaultCarSetup() = copy;
}

}  // namespace orvex
