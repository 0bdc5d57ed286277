// The three auxiliary view widgets: each shows its core view in the scene widget (the one
// painting path for screen, printer, PDF and PNG, with the base drawing kept between paints)
// and offers its "Change ..." menu and dialogs.
#pragma once

#include <QFont>
#include <QImage>
#include <memory>
#include <optional>
#include <set>

#include "graph/ui/SceneWidget.h"
#include "model/Document.h"
#include "views/AuxViews.h"

class QMenu;
class QPrinter;

namespace orvex {

class CDataAcqApp;
class IHostServices;

class CViewWidget : public CSceneWidget {
    Q_OBJECT
  public:
    CViewWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                QWidget* parent = nullptr);

    CBriodashDoc& Document() { return m_doc; }
    ViewKind Kind() { return View().Kind(); }
    // "Change &Histogram", "Change &Circle" or "Change &Lap Segments".
    virtual QString MenuTitle() const = 0;
    // " - Histogram", " - Traction Circle" or " - Lap Segment Report".
    virtual QString TitleSuffix() const = 0;
    // Fills the view's menu (rebuilt every time it is shown).
    virtual void FillMenu(QMenu& menu) = 0;
    // The scene last built, for tests.
    virtual const CGraphScene& LastScene() const = 0;

    QImage Render(QSize size, qreal devicePixelRatio = 1.0);
    bool ExportPng(const QString& path, QSize size);
    bool ExportPdf(const QString& path);
    void Print(QPrinter& printer);

  protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QColor PickColour(const QString& title, ColorRef current, bool& ok);
    // The sizes of the scene's fonts made from the widget's font.
    const SceneMetrics& Metrics();

    CBriodashDoc& m_doc;
    const CDataAcqApp& m_app;
    IHostServices& m_host;

  private:
    std::optional<SceneMetrics> m_metrics;
    QFont m_metricsFont;
};

class CTractionCircleWidget : public CViewWidget {
    Q_OBJECT
  public:
    CTractionCircleWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                          QWidget* parent = nullptr);
    CViewBase& View() override { return m_view; }
    CFrictionView& Friction() { return m_view; }
    QString MenuTitle() const override { return QStringLiteral("Change &Circle"); }
    QString TitleSuffix() const override { return QStringLiteral(" - Traction Circle"); }
    void FillMenu(QMenu& menu) override;
    const CGraphScene& LastScene() const override { return m_view.LastScene(); }

    CFrictionCircle& Circle() { return m_view.Circle(); }
    void SetSelection(const std::vector<CDatasetList>& entries) { m_view.SetSelection(entries); }

  protected:
    void Prepare() override;

  private:
    void SelectLaps();
    CFrictionView m_view;
};

class CHistogramWidget : public CViewWidget {
    Q_OBJECT
  public:
    CHistogramWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                     QWidget* parent = nullptr);
    CViewBase& View() override { return m_view; }
    CHistogramView& Histogram() { return m_view; }
    QString MenuTitle() const override { return QStringLiteral("Change &Histogram"); }
    QString TitleSuffix() const override { return QStringLiteral(" - Histogram"); }
    void FillMenu(QMenu& menu) override;
    const CGraphScene& LastScene() const override { return m_view.LastScene(); }

    CHistogramSelection& Selection() { return m_view.Selection(); }
    HistogramFlags& Flags() { return m_view.Flags(); }
    void SetSessions(std::vector<CDatasetList> sessions) {
        m_view.SetSessions(std::move(sessions));
    }
    void Refresh() { m_view.Refresh(); }
    const HistogramChart& Chart() const { return m_view.Chart(); }
    const HistogramGeometry& Geometry() const { return m_view.Geometry(); }

  protected:
    void Prepare() override;

  private:
    void SelectSessions();
    void SelectChannels();
    CHistogramView m_view;
};

class CLapReportWidget : public CViewWidget {
    Q_OBJECT
  public:
    CLapReportWidget(CBriodashDoc& doc, const CDataAcqApp& app, IHostServices& host,
                     QWidget* parent = nullptr);
    CViewBase& View() override { return m_view; }
    CLapReportView& Report() { return m_view; }
    QString MenuTitle() const override { return QStringLiteral("Change &Lap Segments"); }
    QString TitleSuffix() const override { return QStringLiteral(" - Lap Segment Report"); }
    void FillMenu(QMenu& menu) override;
    const CGraphScene& LastScene() const override { return m_view.LastScene(); }

    // The session and the track map segments the report reads.
    void SetMap(CBriodashDataset* session, MapSegments segments) {
        m_view.SetMap(session, std::move(segments));
    }
    // The laps of data-set `dataset` (1-based among those shown) on the corner segments of the
    // track map of its lap `lap`, made as `orvex-cli trackmap` makes it; false (the report
    // unchanged) when no map is made.
    bool SetMapLap(long dataset, long lap);
    LapReportOptions& Options() { return m_view.Options(); }
    std::set<int>& SelectedLaps() { return m_view.SelectedLaps(); }
    void Rebuild() { m_view.Rebuild(); }
    const LapReportTable& Table() const { return m_view.Table(); }
    // The report as the table model its grid is drawn from.
    const CLapReportModel& Model() const { return m_view.Model(); }

  protected:
    void Prepare() override;

  private:
    CLapReportView m_view;
};

}  // namespace orvex
