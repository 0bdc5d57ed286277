// The graph window of one document: the strip chart and the marker list in a splitter, the
// list to the right of the chart or below it.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "app/ui/DialogGallery.h"
#include "model/Document.h"

class QDialog;
class QMenu;
class QSplitter;

namespace orvex {

class CDataAcqApp;
class CChartWidget;
class CMarkerListWidget;
class CRaceMarkers;
class CRaceModeData;
class CTrackMapWindow;
class IHostServices;

class CDocumentWindow : public QWidget {
    Q_OBJECT
  public:
    CDocumentWindow(std::unique_ptr<CBriodashDoc> doc, const CDataAcqApp& app, IHostServices& host,
                    QWidget* parent = nullptr);
    ~CDocumentWindow() override;

    CBriodashDoc& Document() { return *m_doc; }
    CChartWidget* Chart() const { return m_chart; }
    CMarkerListWidget* MarkerList() const { return m_list; }
    QSplitter* Splitter() const { return m_splitter; }
    bool ListBelow() const;
    // Caption from the document title; call after the title or the modified flag changed.
    void UpdateTitle();
    // Rebuilds the views after the document's datasets changed (overlay, reload).
    void DatasetsChanged();

    // A frame of one of the document's auxiliary views: deleted before the document goes.
    void AddAuxFrame(QWidget* frame);
    // The document's track map window (null until it is first opened).
    CTrackMapWindow* TrackMap() const;
    void SetTrackMap(CTrackMapWindow* window);

    // The document's race record as the chart, the marker list and the track map read it.
    CRaceMarkers& Race() { return *m_raceMarkers; }
    // "Race Mode": off, or the lap choice when off; "Select Lap(s)"; "Restart Race".
    void ToggleRaceMode();
    bool ChooseRaceLaps();
    void RestartRace();
    // The race popup: the commands, then the racing laps with their colours (at most nine,
    // then "More Sessions...").
    void FillRaceMenu(QMenu& menu);
    // Dialogs the race commands open, for tests: a handler that returns true has answered.
    std::function<bool(QDialog&)> m_runDialog;

    // The "Lap Times Report" or "ET Slip Report" shown beside the chart without blocking it
    // (one at a time; null while neither is open). A report is deleted when it closes; OK first
    // hands its result back.
    QDialog* Report() const { return m_report.data(); }
    void ShowReport(OpenedDialog opened);

    // Asked before the window closes; false keeps it open (the save question was cancelled).
    std::function<bool(CDocumentWindow&)> canClose;

  signals:
    // The report closed (its commands apply again).
    void ReportClosed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Until the user drags the splitter, a list to the right of the chart is as wide as its
    // columns need, but never more than half the window.
    void FitListWidth();

    std::unique_ptr<CBriodashDoc> m_doc;
    const CDataAcqApp& m_app;
    QSplitter* m_splitter = nullptr;
    CChartWidget* m_chart = nullptr;
    CMarkerListWidget* m_list = nullptr;
    bool m_bSized = false;
    bool m_bUserSized = false;  // the user dragged the splitter
    std::vector<QPointer<QWidget>> m_auxFrames;
    IHostServices& m_host;
    std::unique_ptr<CRaceModeData> m_race;
    std::unique_ptr<CRaceMarkers> m_raceMarkers;
    QPointer<QWidget> m_trackMap;
    QPointer<QDialog> m_report;
    std::shared_ptr<OpenedDialog> m_reportState;  // the report's model and what it works on
    void RaceChanged();
    void ChooseLapColour(int lap);
};

}  // namespace orvex
