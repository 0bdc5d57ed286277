// The data window's session commands in the main window's menus and the chart's pop-up: each
// opens its dialog from the dialog gallery on the active document and its chart.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include "app/DataAcqApp.h"
#include "app/DataWindowCommands.h"
#include "app/ui/DialogGallery.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/SessionDialogs.h"
#include "graph/ui/ChartWidget.h"
#include "host/HostServices.h"

namespace orvex {

namespace {

bool IsPopupCommand(DataCommand id) {
    return !*DataCommandInfoOf(id).menu;
}

}  // namespace

void CMainWindow::BuildDataMenus() {
    QMenu* settings = Menu(QStringLiteral("&Settings"));
    m_editMenu = new QMenu(QStringLiteral("&Edit"), this);
    menuBar()->insertMenu(settings->menuAction(), m_editMenu);
    m_setupMenu = new QMenu(QStringLiteral("&Setup"), this);
    m_lapsMenu = new QMenu(QStringLiteral("&Laps"), this);
    menuBar()->insertMenu(Menu(QStringLiteral("&Window"))->menuAction(), m_setupMenu);
    menuBar()->insertMenu(Menu(QStringLiteral("&Window"))->menuAction(), m_lapsMenu);
    QMenu* file = Menu(QStringLiteral("&File"));
    for (const DataCommandInfo& c : DataCommandTable()) {
        auto* a = new QAction(QString::fromUtf8(c.text), this);
        a->setStatusTip(QString::fromUtf8(c.statusTip));
        a->setToolTip(QString::fromUtf8(c.statusTip));
        a->setCheckable(c.id == DataCommand::ViewAsLaps);
        m_dataActions[c.id] = a;
        if (IsPopupCommand(c.id)) continue;  // the chart's pop-up adds it where clicked
        const DataCommand id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { RunDataCommand(id); });
        const QString menu = QString::fromUtf8(c.menu);
        QMenu* target = menu == QLatin1String("&Edit")          ? m_editMenu
                        : menu == QLatin1String("&Setup")       ? m_setupMenu
                        : menu == QLatin1String("&Laps")        ? m_lapsMenu
                        : menu == QLatin1String("Change Graph") ? m_graphMenu
                                                                : file;
        if (target == file) {
            // The data window's file commands sit before the recent files.
            file->insertAction(m_recentMenu->menuAction(), a);
            continue;
        }
        if (c.separatorBefore || target == m_graphMenu) target->addSeparator();
        target->addAction(a);
    }
    for (QMenu* m : {m_editMenu, m_setupMenu, m_lapsMenu, m_graphMenu, file})
        connect(m, &QMenu::aboutToShow, this, &CMainWindow::UpdateDataMenus);
    UpdateDataMenus();
}

DataWindowState CMainWindow::DataStateOf(CDocumentWindow* w) const {
    if (!w) return {};
    return {&w->Document(), w->Chart()->State().m_pCurrent, w->Report() != nullptr};
}

void CMainWindow::UpdateDataMenus() {
    if (!m_editMenu) return;
    CDocumentWindow* w = ActiveDocument();
    const DataWindowState state = DataStateOf(w);
    for (QMenu* m : {m_editMenu, m_setupMenu, m_lapsMenu})
        m->menuAction()->setVisible(w != nullptr);
    for (auto& [id, a] : m_dataActions) {
        a->setEnabled(IsDataCommandEnabled(id, state));
        if (a->isCheckable()) a->setChecked(IsDataCommandChecked(id, state));
    }
    m_dataActions[DataCommand::ExportData]->setVisible(w != nullptr);
}

bool CMainWindow::RunModal(QDialog& dialog) {
    const bool answered = m_runDialog && m_runDialog(dialog);
    if (!answered) dialog.exec();
    return dialog.result() == QDialog::Accepted;
}

bool CMainWindow::RunGalleryDialog(CDocumentWindow& w, const std::string& title) {
    const GalleryEntry* entry = FindDialog(title);
    if (!entry) return false;
    DialogContext context{m_app, m_host, &w.Document(), this, w.Chart()};
    OpenedDialog opened = entry->open(context);
    return RunOpened(opened);
}

bool CMainWindow::RunOpened(OpenedDialog& opened) {
    if (!opened.dialog) return false;  // it refused to open and said why
    if (!RunModal(*opened.dialog)) return false;
    if (opened.accepted) opened.accepted();
    return true;
}

void CMainWindow::RunDataCommand(DataCommand id) {
    CDocumentWindow* w = ActiveDocument();
    if (!w || !IsDataCommandEnabled(id, DataStateOf(w))) return;
    CBriodashDoc& doc = w->Document();
    switch (id) {
        case DataCommand::ViewAsLaps:
            doc.SetLapView(!doc.m_bLapView);
            w->DatasetsChanged();
            break;
        case DataCommand::LapTimes:
        case DataCommand::EtSlips: {
            DialogContext context{m_app, m_host, &doc, this, w->Chart()};
            OpenedDialog opened = FindDialog(DataCommandInfoOf(id).dialog)->open(context);
            if (opened.dialog) {
                connect(w, &CDocumentWindow::ReportClosed, this, &CMainWindow::UpdateCommandStates,
                        Qt::UniqueConnection);
                w->ShowReport(std::move(opened));
            }
            break;
        }
        case DataCommand::GearSelection:
            RunGearSelection(*w);
            break;
        case DataCommand::DeleteData:
            if (RunGalleryDialog(*w, DataCommandInfoOf(id).dialog)) w->DatasetsChanged();
            break;
        default:
            if (*DataCommandInfoOf(id).dialog) RunGalleryDialog(*w, DataCommandInfoOf(id).dialog);
            break;
    }
    w->UpdateTitle();
    UpdateCommandStates();
}

void CMainWindow::RunGearSelection(CDocumentWindow& w) {
    CBriodashDoc& doc = w.Document();
    CChartWidget* chart = w.Chart();
    DialogContext context{m_app, m_host, &doc, this, chart};
    GearMarker which = GearMarkerToUse(doc.m_lGreenTime, doc.m_lRedTime);
    if (which == GearMarker::Ask) {
        OpenedDialog choice = OpenGearMarkerChoice(context);
        if (!RunOpened(choice)) return;  // Cancel abandons
        which = static_cast<CGearMarkerChoice&>(*choice.model).Chosen();
    }
    if (which == GearMarker::None) return;
    const CGraphViewState& state = chart->State();
    const int32_t key = chart->Markers().AxisValue(
        which == GearMarker::Green ? Marker::Green : Marker::Red, state.IsTimeAxis());
    if (!IsInWindow(key, state.m_lXStart, state.m_lXSpan)) {
        m_host.Message(kMarkerNotViewed, Icon::Stop);
        return;
    }
    OpenedDialog gears = OpenGearSelectionAt(context, key, !state.IsTimeAxis());
    RunOpened(gears);
}

void CMainWindow::FillChartPopup(QMenu& menu, CDocumentWindow& w, QPoint at) {
    const DataWindowState state = DataStateOf(&w);
    QPointer<CDocumentWindow> target(&w);
    for (const DataCommandInfo& c : DataCommandTable()) {
        if (!IsPopupCommand(c.id)) continue;
        if (c.separatorBefore) menu.addSeparator();
        QAction* a = menu.addAction(QString::fromUtf8(c.text));
        a->setStatusTip(QString::fromUtf8(c.statusTip));
        a->setEnabled(IsDataCommandEnabled(c.id, state));
        const DataCommand id = c.id;
        connect(a, &QAction::triggered, this, [this, target, id, at] {
            if (target) RunPopupCommand(*target, id, at);
        });
    }
}

void CMainWindow::RunPopupCommand(CDocumentWindow& w, DataCommand id, QPoint at) {
    if (!IsDataCommandEnabled(id, DataStateOf(&w))) return;
    CChartWidget* chart = w.Chart();
    if (id == DataCommand::SetGreenMarker || id == DataCommand::SetRedMarker) {
        chart->SetMarkerAt(id == DataCommand::SetGreenMarker ? Marker::Green : Marker::Red, at);
    } else if (id == DataCommand::SetShiftPoint) {
        DialogContext context{m_app, m_host, &w.Document(), this, chart};
        OpenedDialog gears =
            OpenGearSelectionAt(context, chart->AxisValueAt(at), !chart->State().IsTimeAxis());
        RunOpened(gears);
    }
    w.UpdateTitle();
    UpdateCommandStates();
}

void CMainWindow::InstallChartPopup(CDocumentWindow& window) {
    QPointer<CDocumentWindow> target(&window);
    connect(window.Chart(), &CChartWidget::PopupRequested, this, [this, target](QPoint at) {
        if (!target) return;
        QMenu menu(this);
        FillChartPopup(menu, *target, at);
        menu.exec(target->Chart()->viewport()->mapToGlobal(at));
    });
}

}  // namespace orvex
