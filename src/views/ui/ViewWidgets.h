// The three auxiliary view widgets: each keeps its core state, builds its scene on the one
// painting path for screen, printer, PDF and PNG, and offers its "Change ..." menu.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>
#include <set>

#include "model/Document.h"
#include "views/Histogram.h"
#include "views/LapReportModel.h"
#include "views/LapSegmentReport.h"
#include "views/SelectionDialogs.h"
#include "views/TractionCircle.h"
#include "views/ViewScene.h"
#include "views/ViewScenes.h"

class QMenu;
class QPrinter;

namespace orvex {

class CDataAcqApp;
class IHostServices;

class CViewWidget : public QWidget, public IDocumentView {
    Q_OBJECT
  public:
    CViewWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                QWidget* parent = nullptr);
    ~CViewWidget() override;

    CBriodashDoc& Document() { return m_doc; }
    // The scene of the view at a size, measured for the painter's fonts.
    virtual void Build(int width, int height, const ViewMetrics& metrics, CViewScene& scene) = 0;
    // "Change &Histogram", "Change &Circle" or "Change &Lap Segments".
    virtual QString MenuTitle() const = 0;
    // " - Histogram", " - Traction Circle" or " - Lap Segment Report".
    virtual QString TitleSuffix() const = 0;
    // Fills the view's menu (rebuilt every time it is shown).
    virtual void FillMenu(QMenu& menu) = 0;

    void PaintTo(QPainter& painter, QSize size);
    QImage Render(QSize size, qreal devicePixelRatio = 1.0);
    bool ExportPng(const QString& path, QSize size);
    bool ExportPdf(const QString& path);
    void Print(QPrinter& printer);
    const CViewScene& LastScene() const { return m_scene; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    QColor PickColour(const QString& title, ColorRef current, bool& ok);

    CBriodashDoc& m_doc;
    const CDataAcqApp& m_app;
    IHostServices& m_host;
    CViewScene m_scene;
};

class CTractionCircleWidget : public CViewWidget {
    Q_OBJECT
  public:
    CTractionCircleWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                          QWidget* parent = nullptr);
    ViewKind Kind() const override { return ViewKind::TractionCircle; }
    void OnUpdate(const ViewUpdate& change) override;
    void OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) override;
    void Build(int width, int height, const ViewMetrics& metrics, CViewScene& scene) override;
    QString MenuTitle() const override { return QStringLiteral("Change &Circle"); }
    QString TitleSuffix() const override { return QStringLiteral(" - Traction Circle"); }
    void FillMenu(QMenu& menu) override;

    CFrictionCircle& Circle() { return m_circle; }
    void SetSelection(const std::vector<CDatasetList>& entries);

  private:
    void SelectLaps();
    CFrictionCircle m_circle;
};

class CHistogramWidget : public CViewWidget {
    Q_OBJECT
  public:
    CHistogramWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                     QWidget* parent = nullptr);
    ViewKind Kind() const override { return ViewKind::Histogram; }
    void OnUpdate(const ViewUpdate& change) override;
    void OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) override;
    void Build(int width, int height, const ViewMetrics& metrics, CViewScene& scene) override;
    QString MenuTitle() const override { return QStringLiteral("Change &Histogram"); }
    QString TitleSuffix() const override { return QStringLiteral(" - Histogram"); }
    void FillMenu(QMenu& menu) override;

    CHistogramSelection& Selection() { return m_selection; }
    HistogramFlags& Flags() { return m_flags; }
    void SetSessions(std::vector<CDatasetList> sessions);
    void Refresh();
    const HistogramChart& Chart() const { return m_chart; }
    const HistogramGeometry& Geometry() const { return m_geometry; }

  private:
    void SelectSessions();
    void SelectChannels();
    CHistogramSelection m_selection;
    HistogramFlags m_flags;
    HistogramChart m_chart;
    HistogramGeometry m_geometry;
};

class CLapReportWidget : public CViewWidget {
    Q_OBJECT
  public:
    CLapReportWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                     QWidget* parent = nullptr);
    ViewKind Kind() const override { return ViewKind::LapReport; }
    void OnUpdate(const ViewUpdate& change) override;
    void OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) override;
    void Build(int width, int height, const ViewMetrics& metrics, CViewScene& scene) override;
    QString MenuTitle() const override { return QStringLiteral("Change &Lap Segments"); }
    QString TitleSuffix() const override { return QStringLiteral(" - Lap Segment Report"); }
    void FillMenu(QMenu& menu) override;

    // The session and the track map segments the report reads.
    void SetMap(CBriodashDataset* session, MapSegments segments);
    // The laps of data-set `dataset` (1-based among those shown) on the corner segments of the
    // track map of its lap `lap`, made as `orvex-cli trackmap` makes it; false (the report
    // unchanged) when no map is made.
    bool SetMapLap(long dataset, long lap);
    LapReportOptions& Options() { return m_options; }
    std::set<int>& SelectedLaps() { return m_selected; }
    void Rebuild();
    const LapReportTable& Table() const { return m_model.Table(); }
    // The report as the table model its grid is drawn from.
    const CLapReportModel& Model() const { return m_model; }

  private:
    CBriodashDataset* m_pSession = nullptr;
    MapSegments m_segments;
    LapReportOptions m_options;
    std::set<int> m_selected;
    CLapReportModel m_model;
};

}  // namespace orvex
