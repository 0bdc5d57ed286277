// The track map window: its own top-level window (it can stay above the graph windows) with
// the track view's scene painted through the one painting path, scroll bars while zoomed, the
// "Change &Map" menu, its dialogs, printing and PDF/PNG export.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "graph/ui/SceneWidget.h"
#include "trackmap/TrackMapView.h"

class QDialog;
class QMenu;
class QPrinter;

namespace orvex {

class CBriodashDoc;
class CDataAcqApp;
class CRaceMarkers;
class IHostServices;

// The map's canvas: the scene widget with the map's scroll bars.
class CTrackMapCanvas : public CSceneWidget {
    Q_OBJECT
  public:
    CTrackMapCanvas(CBriodashDoc& doc, IHostServices& host, QWidget* parent = nullptr);
    CViewBase& View() override { return m_view; }
    CTrackView& Track() { return m_view; }
    // The scroll bars after a zoom or a move of the view centre.
    void SyncScrollBars();

  protected:
    void Prepare() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void Scrolled();
    CTrackView m_view;
    bool m_bSyncing = false;
};

class CTrackMapWindow : public QWidget {
    Q_OBJECT
  public:
    // `app` gives the defaults and takes the segment thresholds; `race` may be null.
    CTrackMapWindow(CBriodashDoc& doc, CDataAcqApp& app, IHostServices& host,
                    CRaceMarkers* race = nullptr, QWidget* parent = nullptr);
    ~CTrackMapWindow() override;

    CTrackView& View() { return m_canvas->Track(); }
    const CTrackMap& Map() { return View().Map(); }
    CTrackMapCanvas* Canvas() const { return m_canvas; }
    CBriodashDoc& Document() { return m_doc; }

    // Builds the map of lap `lap` of the first shown session that has it; false (with the
    // program's message where there is one) when no map could be made.
    bool SelectLap(int lap);
    // "Select Lap": the lap selection dialog, then the map. False when cancelled or refused.
    bool ChooseLap();
    // A "Change &Map" command as its menu item does it (dialogs included).
    void Run(TrackCommand id);
    // "Change &Map".
    static QString MenuTitle() { return QStringLiteral("Change &Map"); }
    void FillMenu(QMenu& menu);

    // "Always keep Track Map visible.": at most one track map window holds the role.
    void SetOnTop(bool on);
    bool OnTop() const { return s_onTop == this; }
    static CTrackMapWindow* OnTopWindow() { return s_onTop; }
    const QTimer& OnTopTimer() const { return m_onTopTimer; }

    // The window at `size` as the screen shows it; the map alone on any device.
    QImage Render(QSize size);
    void PaintTo(QPainter& painter, QSize size, bool onPaper);
    bool ExportPng(const QString& path, QSize size);
    bool ExportPdf(const QString& path);
    void Print(QPrinter& printer);

    // Dialogs opened by the commands, for tests: called with each dialog before it runs; a
    // handler that returns true has answered it (accepted or not) and the dialog is not run.
    std::function<bool(QDialog&)> m_runDialog;

  signals:
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void UpdateTitle();
    bool RunDialog(QDialog& dialog);
    void SegmentSettings(bool corners);

    CBriodashDoc& m_doc;
    CDataAcqApp& m_app;
    IHostServices& m_host;
    CTrackMapCanvas* m_canvas = nullptr;
    QTimer m_onTopTimer;
    static CTrackMapWindow* s_onTop;
};

}  // namespace orvex
