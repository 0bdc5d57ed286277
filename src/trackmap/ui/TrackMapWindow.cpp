#include "trackmap/ui/TrackMapWindow.h"

#include <QFontMetrics>
#include <QPainter>

#include "graph/ui/ChartPainter.h"
#include "model/Document.h"
#include "trackmap/TrackSamples.h"

namespace orvex {

CTrackMapWindow::CTrackMapWindow(CBriodashDoc& doc, IHostServices& host, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_doc(doc), m_host(host) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_view.SetMap(&m_map);
}

bool CTrackMapWindow::SelectLap(int lap) {
    m_map.RemoveAll();
    m_view.SetMap(&m_map);
    std::vector<CBriodashDataset*> shown = m_doc.ShownDatasets();
    if (shown.empty()) return false;
    std::optional<TrackLap> chosen = FindTrackLap(*shown.front(), lap);
    if (!chosen) return false;
    TrackMapOptions options;
    options.speedSource = m_doc.m_options.groundSpeedMap;
    options.open = m_doc.m_options.openTrackMap != 0;
    options.banking = m_doc.m_options.calcBanking != 0;
    if (!HasSpeedSource(*chosen->dataset, options.speedSource)) {
        // The source the distances come from stands in for a missing speed source.
        options.speedSource = SpeedSourceOfDistanceSource(chosen->dataset->m_nDistanceSource);
    }
    if (MakeTrackMap(*chosen, options, m_doc.m_options.units, m_map, m_host) != TrackMapResult::Ok)
        return false;
    m_nLap = lap;
    m_view.SetMap(&m_map);
    const std::string name =
        m_doc.m_strTitle.empty() ? chosen->dataset->m_strName : m_doc.m_strTitle;
    setWindowTitle(QString::fromStdString(TrackMapTitle(name, lap)));
    update();
    return true;
}

QImage CTrackMapWindow::Render(QSize size) {
    resize(size);
    QImage image(size, QImage::Format_RGB32);
    render(&image);
    return image;
}

void CTrackMapWindow::paintEvent(QPaintEvent*) {
    m_view.SetClientSize(width(), height());
    m_view.SetTextHeight(QFontMetrics(font()).height());
    CGraphScene scene;
    m_view.BuildScene(scene);
    QPainter painter(this);
    PaintScene(painter, scene);
}

}  // namespace orvex
