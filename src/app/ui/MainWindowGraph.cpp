// The main window's menus of the active graph window: "Change Graph" with its "Zooming" popup
// (the navigation core's command table) and the marker commands of the view menu.
#include <QMenuBar>

#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "graph/GraphNav.h"
#include "graph/ui/ChartWidget.h"

namespace orvex {
namespace {

bool IsZoomingCommand(GraphCommand id) {
    switch (id) {
        case GraphCommand::ZoomInX:
        case GraphCommand::ZoomOutX:
        case GraphCommand::ZoomInRpm:
        case GraphCommand::ZoomOutRpm:
        case GraphCommand::Backward:
        case GraphCommand::Forward:
        case GraphCommand::ResetDisplay:
        case GraphCommand::Redraw:
            return true;
        default:
            return false;
    }
}

// The commands that show a check mark (the axis and distance choices and the two display
// toggles): they carry a check box from the start, checked or not.
bool ShowsCheckMark(GraphCommand id) {
    switch (id) {
        case GraphCommand::DisplayAsTime:
        case GraphCommand::DisplayAsDistance:
        case GraphCommand::DistanceFrontWheel:
        case GraphCommand::DistanceRearWheel:
        case GraphCommand::DistanceAccelerometer:
        case GraphCommand::DistanceEngine:
        case GraphCommand::MphLowerHalf:
        case GraphCommand::CombineAnalogs:
            return true;
        default:
            return false;
    }
}

}  // namespace

void CMainWindow::BuildGraphMenus() {
    m_graphMenu = new QMenu(QStringLiteral("Change Graph"), this);
    menuBar()->insertMenu(Menu(QStringLiteral("&Window"))->menuAction(), m_graphMenu);
    QMenu* zooming = m_graphMenu->addMenu(QStringLiteral("Zooming"));
    bool separated = false;
    for (const GraphCommandInfo& c : GraphCommandTable()) {
        if (!*c.menuText) continue;
        QMenu* target = IsZoomingCommand(c.id) ? zooming : m_graphMenu;
        if (target == m_graphMenu && !separated) {
            m_graphMenu->addSeparator();
            separated = true;
        }
        QAction* a = target->addAction(QString::fromUtf8(c.menuText));
        a->setStatusTip(QString::fromUtf8(c.statusText));
        a->setCheckable(ShowsCheckMark(c.id));
        const GraphCommand id = c.id;
        connect(a, &QAction::triggered, this, [this, id] {
            if (CDocumentWindow* w = ActiveDocument()) w->Chart()->Execute(id);
        });
        m_graphActions[id] = a;
    }
    m_graphMenu->addSeparator();
    m_raceMenu = m_graphMenu->addMenu(QStringLiteral("Race Mode"));
    connect(m_raceMenu, &QMenu::aboutToShow, this, [this] {
        m_raceMenu->clear();
        if (CDocumentWindow* w = ActiveDocument()) w->FillRaceMenu(*m_raceMenu);
    });
    connect(m_graphMenu, &QMenu::aboutToShow, this, &CMainWindow::UpdateGraphMenus);
    connect(zooming, &QMenu::aboutToShow, this, &CMainWindow::UpdateGraphMenus);

    QMenu* view = Menu(QStringLiteral("&View"));
    view->addSeparator();
    auto add = [this, view](const char* text, const char* tip, auto fn) {
        QAction* a = view->addAction(QString::fromUtf8(text));
        a->setStatusTip(QString::fromUtf8(tip));
        connect(a, &QAction::triggered, this, [this, fn] {
            if (CDocumentWindow* w = ActiveDocument()) fn(*w->Chart());
        });
        m_markerActions.push_back(a);
        return a;
    };
    add("&Turn On Green/Red Markers", "Show or hide the green and red markers",
        [](CChartWidget& c) { c.ToggleMarkers(); });
    add("To Nudge Green Marker Left    <-", "Move the Green Marker one data point to the left",
        [](CChartWidget& c) { c.Nudge(Marker::Green, -1); });
    add("To Nudge Green Marker Right  ->", "Move the Green Marker one data point to the right",
        [](CChartWidget& c) { c.Nudge(Marker::Green, 1); });
    add("To Nudge Red Marker Left       Shift + <-",
        "Move the Red Marker one data point to the left",
        [](CChartWidget& c) { c.Nudge(Marker::Red, -1); });
    add("To Nudge Red Marker Right     Shift + ->",
        "Move the Red Marker one data point to the right",
        [](CChartWidget& c) { c.Nudge(Marker::Red, 1); });
    connect(view, &QMenu::aboutToShow, this, &CMainWindow::UpdateGraphMenus);
}

void CMainWindow::UpdateGraphMenus() {
    CDocumentWindow* w = ActiveDocument();
    m_graphMenu->menuAction()->setVisible(w != nullptr);
    for (auto& [id, a] : m_graphActions) {
        a->setEnabled(w && w->Chart()->Navigator().IsEnabled(id));
        if (!w) continue;
        a->setText(QString::fromStdString(w->Chart()->Navigator().MenuText(id)));
        a->setChecked(a->isCheckable() && w->Chart()->Navigator().IsChecked(id));
    }
    if (m_markerActions.size() < 5) return;
    CMarkerController* m = w ? &w->Chart()->Markers() : nullptr;
    m_markerActions[0]->setEnabled(m && m->CanToggle());
    if (m && m->CanToggle())
        m_markerActions[0]->setText(QString::fromStdString(m->ToggleMenuText()));
    else
        m_markerActions[0]->setText(QStringLiteral("&Turn On Green/Red Markers"));
    m_markerActions[1]->setEnabled(m && m->CanNudge(Marker::Green));
    m_markerActions[2]->setEnabled(m && m->CanNudge(Marker::Green));
    m_markerActions[3]->setEnabled(m && m->CanNudge(Marker::Red));
    m_markerActions[4]->setEnabled(m && m->CanNudge(Marker::Red));
}

}  // namespace orvex
