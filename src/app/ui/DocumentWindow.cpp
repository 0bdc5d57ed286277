// The graph window of one document.
#include "app/ui/DocumentWindow.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QInputDialog>
#include <QMenu>
#include <QPixmap>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "app/DataAcqApp.h"
#include "app/GraphSettings.h"
#include "app/MainFrameCommands.h"
#include "graph/GraphServices.h"
#include "graph/ui/ChartPainter.h"
#include "graph/ui/ChartWidget.h"
#include "graph/ui/MarkerListWidget.h"
#include "trackmap/RaceMarkers.h"
#include "trackmap/TrackDialogs.h"
#include "trackmap/ui/TrackForms.h"
#include "trackmap/ui/TrackMapWindow.h"

namespace orvex {

CDocumentWindow::CDocumentWindow(std::unique_ptr<CBriodashDoc> doc, const CDataAcqApp& app,
                                 IHostServices& host, QWidget* parent)
    : QWidget(parent),
      m_doc(std::move(doc)),
      m_app(app),
      m_host(host),
      m_race(std::make_unique<CRaceModeData>()),
      m_raceMarkers(std::make_unique<CRaceMarkers>(*m_doc, *m_race, host)) {
    m_doc->SetRaceMode(m_race.get());
    m_race->m_bFollowMarkers = app.GetTrackMapTrackRace();
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_splitter = new QSplitter(app.GetMarkerViewBottom() ? Qt::Vertical : Qt::Horizontal, this);
    m_chart = new CChartWidget(*m_doc, app, host, m_splitter);
    m_list = new CMarkerListWidget(*m_doc, host, m_splitter);
    InstallGraphServices(m_chart->Navigator(), m_list->View(),
                         GraphOptionsFrom(app).voltageCorrection);
    m_chart->Markers().m_pRace = m_raceMarkers.get();
    m_list->View().m_pRace = m_raceMarkers.get();
    m_raceMarkers->m_timeAxis = [this] { return m_chart->State().IsTimeAxis(); };
    m_list->Rebuild();
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    m_splitter->setChildrenCollapsible(false);
    layout->addWidget(m_splitter);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] { m_bUserSized = true; });
    // The list widens when its columns outgrow it (race laps, long values); it never narrows
    // for fewer columns, so that the chart keeps its scale while markers come and go.
    connect(m_list, &CMarkerListWidget::NeededWidthChanged, this, [this] {
        if (m_bSized && m_list->Outgrown()) FitListWidth();
    });
    UpdateTitle();
}

CDocumentWindow::~CDocumentWindow() {
    // The views unregister from the document in their destructors: delete them first.
    for (QPointer<QWidget>& f : m_auxFrames) delete f.data();
    delete m_report.data();  // before the model it shows
    m_reportState.reset();
    delete m_trackMap.data();
    m_doc->SetRaceMode(nullptr);
    delete m_splitter;
    m_splitter = nullptr;
}

void CDocumentWindow::AddAuxFrame(QWidget* frame) {
    for (const QPointer<QWidget>& f : m_auxFrames)
        if (f == frame) return;
    m_auxFrames.emplace_back(frame);
}

CTrackMapWindow* CDocumentWindow::TrackMap() const {
    return static_cast<CTrackMapWindow*>(m_trackMap.data());
}

void CDocumentWindow::SetTrackMap(CTrackMapWindow* window) {
    m_trackMap = window;
}

void CDocumentWindow::RaceChanged() {
    m_chart->Markers().m_bRaceMarkersShown = m_race->m_bRaceMode;
    // The list takes race columns (or loses them), the chart and the map redraw.
    m_doc->UpdateAllViews(kHintRepaint);
}

bool CDocumentWindow::ChooseRaceLaps() {
    m_race->BuildAvailable(m_doc->ShownDatasets(), m_doc->m_bLapView);
    CRaceLapDialog model(*m_race, m_host);
    std::unique_ptr<QDialog> dialog = MakeRaceLapDialog(this, model);
    const bool answered = m_runDialog && m_runDialog(*dialog);
    if (!answered) dialog->exec();
    if (dialog->result() != QDialog::Accepted) return false;
    RaceChanged();
    return model.RaceOn();
}

void CDocumentWindow::ToggleRaceMode() {
    if (m_race->m_bRaceMode) {
        m_race->TurnOff();
        RaceChanged();
        return;
    }
    ChooseRaceLaps();
}

void CDocumentWindow::RestartRace() {
    m_chart->StepRace(0);
}

void CDocumentWindow::ChooseLapColour(int lap) {
    const auto& laps = m_race->Selected();
    if (lap < 0 || lap >= static_cast<int>(laps.size())) return;
    const QColor c =
        QColorDialog::getColor(ToQColor(laps[static_cast<std::size_t>(lap)].color), this,
                               QString::fromStdString(m_race->ColorDialogTitle(lap)));
    if (!c.isValid()) return;
    m_race->SetLapColor(lap, MakeRGB(c.red(), c.green(), c.blue()));
    RaceChanged();
}

void CDocumentWindow::FillRaceMenu(QMenu& menu) {
    const bool on = m_race->m_bRaceMode;
    QAction* mode = menu.addAction(QStringLiteral("Race Mode"));
    mode->setCheckable(true);
    mode->setChecked(on);
    connect(mode, &QAction::triggered, this, [this] { ToggleRaceMode(); });
    connect(menu.addAction(QStringLiteral("Select Lap(s)")), &QAction::triggered, this,
            [this] { ChooseRaceLaps(); });
    QAction* restart = menu.addAction(QStringLiteral("Restart Race"));
    restart->setEnabled(on);
    connect(restart, &QAction::triggered, this, [this] { RestartRace(); });
    QAction* left = menu.addAction(QStringLiteral("To Nudge Race Marker Left (Ctrl + Alt + <-)"));
    left->setEnabled(on);
    connect(left, &QAction::triggered, this, [this] { m_chart->StepRace(-1); });
    QAction* right = menu.addAction(QStringLiteral("To Nudge Race Marker Right (Ctrl + Alt + ->)"));
    right->setEnabled(on);
    connect(right, &QAction::triggered, this, [this] { m_chart->StepRace(1); });
    if (!on) return;
    menu.addSeparator();
    int lap = 0;
    for (const RaceMenuEntry& e : m_race->Menu()) {
        if (e.more) {
            connect(menu.addAction(QString::fromStdString(e.text)), &QAction::triggered, this,
                    [this] {
                        // The laps past the ninth by name, then the colour of the one chosen.
                        QStringList names;
                        const auto& laps = m_race->Selected();
                        for (std::size_t i = kRaceMenuLaps; i < laps.size(); ++i)
                            names << QString::fromStdString(laps[i].name);
                        bool ok = false;
                        const QString name =
                            QInputDialog::getItem(this, QStringLiteral("More Sessions"),
                                                  QStringLiteral("Lap"), names, 0, false, &ok);
                        if (ok)
                            ChooseLapColour(kRaceMenuLaps + static_cast<int>(names.indexOf(name)));
                    });
            continue;
        }
        QPixmap swatch(16, 16);
        swatch.fill(ToQColor(e.color));
        const int index = lap++;
        connect(menu.addAction(QIcon(swatch), QString::fromStdString(e.text)), &QAction::triggered,
                this, [this, index] { ChooseLapColour(index); });
    }
}

void CDocumentWindow::ShowReport(OpenedDialog opened) {
    if (!opened.dialog || m_report) return;
    QDialog* dialog = opened.dialog.release();
    m_reportState = std::make_shared<OpenedDialog>(std::move(opened));
    m_report = dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    std::weak_ptr<OpenedDialog> state = m_reportState;
    connect(dialog, &QDialog::finished, this, [this, dialog, state](int result) {
        if (auto s = state.lock(); s && result == QDialog::Accepted && s->accepted) s->accepted();
        m_report = nullptr;
        UpdateTitle();
        // The model lives until the dialog has gone.
        connect(dialog, &QObject::destroyed, this, [this, state] {
            if (state.lock() == m_reportState) m_reportState.reset();
        });
        dialog->deleteLater();
        emit ReportClosed();
    });
    dialog->show();
}

bool CDocumentWindow::ListBelow() const {
    return m_splitter->orientation() == Qt::Vertical;
}

void CDocumentWindow::UpdateTitle() {
    setWindowTitle(QString::fromStdString(GraphFrameTitle(m_doc->m_strTitle)) +
                   QStringLiteral("[*]"));
    setWindowModified(m_doc->m_bModified);
}

void CDocumentWindow::DatasetsChanged() {
    m_chart->ResetDisplay();
    m_list->Rebuild();
    UpdateTitle();
}

void CDocumentWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_bSized) return;
    m_bSized = true;
    const bool below = ListBelow();
    const int client = below ? height() : width();
    const int saved = below ? m_app.GetMarkerViewHeight() : m_app.GetMarkerViewWidth();
    SplitSizes s = GraphSplitSizes(client, below, saved);
    m_splitter->setSizes({s.chart, s.list});
    if (saved < 0)
        FitListWidth();
    else
        m_bUserSized = true;
}

void CDocumentWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_bSized) FitListWidth();
}

void CDocumentWindow::FitListWidth() {
    if (m_bUserSized || ListBelow() || !m_splitter) return;
    const int client = m_splitter->width() - m_splitter->handleWidth();
    if (client <= 0) return;
    const int list = std::min(m_list->WantedWidth(), client / 2);
    if (list == m_splitter->sizes().value(1)) return;
    m_splitter->setSizes({client - list, list});
}

void CDocumentWindow::closeEvent(QCloseEvent* event) {
    if (canClose && !canClose(*this)) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace orvex
