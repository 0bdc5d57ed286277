// The main window's part in the auxiliary views: the commands that show and hide them, their
// "Change ..." menus after the graph menu and their entries in the view picker.
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "trackmap/RaceMarkers.h"
#include "trackmap/TrackDialogs.h"
#include "trackmap/ui/TrackForms.h"
#include "trackmap/ui/TrackMapWindow.h"
#include "views/ViewData.h"
#include "views/ui/GenericFrame.h"
#include "views/ui/ViewWidgets.h"

namespace orvex {

namespace {

struct ViewEntry {
    ViewKind kind;
    const char* command;  // the graph window's command that shows and hides it
    const char* picker;   // the view picker's entry
};
// In the order of the view picker and of the menus after the graph menu.
constexpr ViewEntry kViews[] = {
    {ViewKind::TractionCircle, "Traction Circle", "Traction Circle"},
    {ViewKind::Histogram, "Histogram", "Histogram"},
    {ViewKind::LapReport, "Lap Segment Report", "Lap Segments"},
};

CGenericFrame* FrameOf(QMdiArea& area, const CBriodashDoc& doc, ViewKind kind) {
    for (CGenericFrame* f : AuxFrames(area, doc))
        if (f->View()->Kind() == kind) return f;
    return nullptr;
}

}  // namespace

void CMainWindow::BuildViewMenus() {
    QMenu* view = Menu(QStringLiteral("&View"));
    view->addSeparator();
    QAction* track = view->addAction(QStringLiteral("&Track Map"));
    track->setCheckable(true);
    connect(track, &QAction::triggered, this, [this] {
        CDocumentWindow* w = ActiveDocument();
        if (!w) return;
        if (w->TrackMap() && w->TrackMap()->isVisible())
            w->TrackMap()->close();
        else
            ShowTrackMap();
    });
    QAction* trackSettings = view->addAction(QStringLiteral("Track Map Settings"));
    connect(trackSettings, &QAction::triggered, this, [this] { TrackMapSettings(); });
    for (const ViewEntry& e : kViews) {
        QAction* a = view->addAction(QString::fromUtf8(e.command));
        a->setCheckable(true);
        const ViewKind kind = e.kind;
        connect(a, &QAction::triggered, this, [this, kind] {
            CDocumentWindow* w = ActiveDocument();
            if (!w) return;
            CGenericFrame* f = FrameOf(*m_mdi, w->Document(), kind);
            if (f && !f->isHidden())
                f->close();
            else
                ShowView(kind);
        });
        m_viewActions[kind] = a;
    }
    connect(view, &QMenu::aboutToShow, this, [this, track, trackSettings] {
        CDocumentWindow* w = ActiveDocument();
        track->setEnabled(w != nullptr);
        track->setChecked(w && w->TrackMap() && w->TrackMap()->isVisible());
        trackSettings->setEnabled(w != nullptr);
        for (auto& [kind, a] : m_viewActions) {
            CGenericFrame* f = w ? FrameOf(*m_mdi, w->Document(), kind) : nullptr;
            a->setEnabled(w != nullptr);
            a->setChecked(f && !f->isHidden());
        }
    });
}

QWidget* CMainWindow::ShowView(ViewKind kind) {
    CDocumentWindow* w = ActiveDocument();
    auto* graph = w ? qobject_cast<QMdiSubWindow*>(w->parentWidget()) : nullptr;
    if (!graph) return nullptr;
    CGenericFrame* frame = ShowAuxView(*m_mdi, *graph, w->Document(), kind, m_app, m_host);
    if (!frame) return nullptr;
    w->AddAuxFrame(frame);
    if (!frame->property("orvexFollowed").toBool()) {
        frame->setProperty("orvexFollowed", true);
        connect(frame, &CGenericFrame::hiddenByClose, this, [this] {
            RebuildPickers();
            UpdateViewMenus();
        });
    }
    RebuildPickers();
    UpdateViewMenus();
    return frame->View();
}

CTrackMapWindow* CMainWindow::ShowTrackMap(int lap) {
    CDocumentWindow* w = ActiveDocument();
    if (!w) return nullptr;
    CTrackMapWindow* map = w->TrackMap();
    if (!map) {
        map = new CTrackMapWindow(w->Document(), m_app, m_host, &w->Race(), this);
        map->setAttribute(Qt::WA_DeleteOnClose, false);
        w->SetTrackMap(map);
        connect(map, &CTrackMapWindow::closed, this, [this] {
            // After the close has hidden the window.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    RebuildPickers();
                    UpdateViewMenus();
                },
                Qt::QueuedConnection);
        });
        connect(map, &QObject::destroyed, this, [this] {
            if (!m_bDestroying) {
                RebuildPickers();
                UpdateViewMenus();
            }
        });
    }
    if (map->View().LapCode() == 0) {
        if (lap > 0)
            map->SelectLap(lap);
        else if (!m_bDestroying)
            map->ChooseLap();
    }
    map->show();
    RebuildPickers();
    UpdateViewMenus();
    return map;
}

void CMainWindow::TrackMapSettings() {
    CDocumentWindow* w = ActiveDocument();
    if (!w) return;
    CBriodashDoc& doc = w->Document();
    CTrackMapSettings settings;
    if (!settings.Open(doc.ShownDatasets(), doc.m_options.groundSpeedMap,
                       doc.m_options.openTrackMap != 0, doc.m_options.calcBanking != 0, m_host))
        return;
    CTrackSettingsDialog model(settings, &doc);
    std::unique_ptr<QDialog> dialog = MakeTrackSettingsDialog(this, model, false);
    if (dialog->exec() != QDialog::Accepted) return;
    if (model.SourceChanged()) w->DatasetsChanged();
    if (CTrackMapWindow* map = w->TrackMap()) {
        TrackMapOptions& o = map->View().m_settings.map;
        o.speedSource = doc.m_options.groundSpeedMap;
        o.open = doc.m_options.openTrackMap != 0;
        o.banking = doc.m_options.calcBanking != 0;
        // The map of the same lap, made with the new settings.
        if (map->View().LapCode() != 0) map->View().SelectLapCode(map->View().LapCode());
    }
}

void CMainWindow::DefaultTrackSettings() {
    CTrackMapSettings settings;
    settings.m_nSpeedSource = m_app.GetGroundSpeedMap();
    settings.m_bOpen = m_app.GetOpenTrackMap();
    settings.m_bBanking = m_app.GetCalcBanking();
    CTrackSettingsDialog model(settings, nullptr);
    std::unique_ptr<QDialog> dialog = MakeTrackSettingsDialog(this, model, true);
    if (dialog->exec() != QDialog::Accepted) return;
    m_app.SetGroundSpeedMap(settings.m_nSpeedSource);
    m_app.SetOpenTrackMap(settings.m_bOpen);
    m_app.SetCalcBanking(settings.m_bBanking);
}

void CMainWindow::DefaultSegmentThresholds(bool corners) {
    CTrackSegmentSettings settings(
        corners, nullptr, corners ? m_app.GetTrackMapLongitudePos() : m_app.GetTrackMapLateralPos(),
        corners ? m_app.GetTrackMapLongitudeNeg() : m_app.GetTrackMapLateralNeg());
    CTrackSegmentDialog model(settings);
    // Without a map the defaults are percentages only.
    model.title.shown = model.positiveG.shown = model.negativeG.shown = false;
    model.positiveLabel.text =
        corners ? "Percentage of Max Right Turn G" : "Percentage of Max Positive G";
    model.negativeLabel.text =
        corners ? "Percentage of Max Left Turn G" : "Percentage of Max Negative G";
    std::unique_ptr<QDialog> dialog =
        MakeTrackSegmentDialog(this, model,
                               corners ? QStringLiteral("Default Track Map Left-Right Settings")
                                       : QStringLiteral("Default Track Map Front-Rear Settings"));
    if (dialog->exec() != QDialog::Accepted) return;
    if (corners) {
        m_app.SetTrackMapLongitudePos(settings.Fraction(true));
        m_app.SetTrackMapLongitudeNeg(settings.Fraction(false));
    } else {
        m_app.SetTrackMapLateralPos(settings.Fraction(true));
        m_app.SetTrackMapLateralNeg(settings.Fraction(false));
    }
}

bool CMainWindow::ShowViewByName(const std::string& name) {
    if (name == "traction") return ShowView(ViewKind::TractionCircle) != nullptr;
    if (name == "histogram") {
        auto* h = static_cast<CHistogramWidget*>(ShowView(ViewKind::Histogram));
        if (!h) return false;
        // The first session with its first analog channel.
        std::vector<CDatasetList> entries = AvailableEntries(h->Document());
        if (entries.size() > 1) entries.resize(1);
        h->SetSessions(entries);
        for (const CChannelList& c : h->Selection().available)
            if (c.Kind() == ChannelKind::Analog) {
                h->Selection().channels = {c};
                break;
            }
        h->Refresh();
        return true;
    }
    if (name == "lap-report") {
        auto* r = static_cast<CLapReportWidget*>(ShowView(ViewKind::LapReport));
        if (!r) return false;
        // On the segments of the second lap's map, with everything the report can show.
        LapReportOptions& o = r->Options();
        o.displaySpeeds = o.highliteBest = o.colorSegs = o.calculateBest = true;
        if (r->SetMapLap(1, 2)) return true;
        // Without that map the report lists the laps and their times.
        const std::vector<CBriodashDataset*> shown = r->Document().ShownDatasets();
        if (!shown.empty()) r->SetMap(shown.front(), MapSegments{});
        return true;
    }
    return false;
}

void CMainWindow::UpdateViewMenus() {
    for (QMenu* m : m_viewMenus) {
        menuBar()->removeAction(m->menuAction());
        m->deleteLater();
    }
    m_viewMenus.clear();
    m_trackMenu = nullptr;
    CDocumentWindow* w = ActiveDocument();
    if (!w || m_bDestroying) return;
    // After the graph menu: before the item that follows it.
    const QList<QAction*> bar = menuBar()->actions();
    const qsizetype at = bar.indexOf(m_graphMenu->menuAction());
    QAction* before = at >= 0 && at + 1 < bar.size() ? bar[at + 1] : nullptr;
    if (CTrackMapWindow* map = w->TrackMap(); map && map->isVisible()) {
        auto* menu = new QMenu(CTrackMapWindow::MenuTitle(), this);
        connect(menu, &QMenu::aboutToShow, menu, [menu, map] {
            menu->clear();
            map->FillMenu(*menu);
        });
        map->FillMenu(*menu);
        menuBar()->insertMenu(before, menu);
        m_viewMenus.push_back(menu);
        m_trackMenu = menu;
    }
    for (const ViewEntry& e : kViews) {
        CGenericFrame* f = FrameOf(*m_mdi, w->Document(), e.kind);
        if (!f || f->isHidden()) continue;
        auto* menu = new QMenu(f->View()->MenuTitle(), this);
        CViewWidget* view = f->View();
        connect(menu, &QMenu::aboutToShow, menu, [menu, view] {
            menu->clear();
            view->FillMenu(*menu);
        });
        // Filled once now so that its items can be reached before it is first opened.
        view->FillMenu(*menu);
        menuBar()->insertMenu(before, menu);
        m_viewMenus.push_back(menu);
    }
}

void CMainWindow::AddViewPickerEntries(CDocumentWindow& window) {
    // The track map window is a window of its own beside the child frames.
    if (CTrackMapWindow* map = window.TrackMap(); map && map->isVisible()) {
        m_viewPicker->addItem(QStringLiteral("Track Map"),
                              QVariant::fromValue(static_cast<QWidget*>(map)));
        if (map->isActiveWindow()) m_viewPicker->setCurrentIndex(m_viewPicker->count() - 1);
    }
    for (const ViewEntry& e : kViews) {
        CGenericFrame* f = FrameOf(*m_mdi, window.Document(), e.kind);
        if (!f || f->isHidden()) continue;
        m_viewPicker->addItem(QString::fromUtf8(e.picker),
                              QVariant::fromValue(static_cast<QWidget*>(f)));
        if (m_mdi->activeSubWindow() == f) m_viewPicker->setCurrentIndex(m_viewPicker->count() - 1);
    }
}

bool CMainWindow::OutputActiveView(ViewOutput what) {
    auto* frame = qobject_cast<CGenericFrame*>(m_mdi->activeSubWindow());
    if (!frame) return false;
    CViewWidget* view = frame->View();
    if (what == ViewOutput::Export) {
        QString path =
            QFileDialog::getSaveFileName(this, QStringLiteral("Export View"), QString(),
                                         QStringLiteral("PDF Files (*.pdf);;PNG Pictures (*.png)"));
        if (path.isEmpty()) return true;
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
        const bool pdf = QFileInfo(path).suffix().toLower() == QLatin1String("pdf");
        if (!(pdf ? view->ExportPdf(path) : view->ExportPng(path, view->size())))
            m_host.Message("The file " + path.toStdString() + " could not be written.",
                           Icon::Warning);
        return true;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (what == ViewOutput::Preview) {
        QPrintPreviewDialog dlg(&printer, this);
        connect(&dlg, &QPrintPreviewDialog::paintRequested, this,
                [view](QPrinter* p) { view->Print(*p); });
        dlg.exec();
    } else {
        QPrintDialog dlg(&printer, this);
        if (dlg.exec() == QDialog::Accepted) view->Print(printer);
    }
    return true;
}

}  // namespace orvex
