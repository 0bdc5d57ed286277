// The track map window: its own top-level window showing the map of one lap of a document,
// painted through the chart's painting path from the track view's scene.
#pragma once

#include <QImage>
#include <QWidget>

#include "trackmap/TrackMap.h"
#include "trackmap/TrackView.h"

namespace orvex {

class CBriodashDoc;
class IHostServices;

class CTrackMapWindow : public QWidget {
    Q_OBJECT
  public:
    CTrackMapWindow(CBriodashDoc& doc, IHostServices& host, QWidget* parent = nullptr);

    // Builds the map of lap `lap` of the first shown session; false (with the program's
    // message where there is one) when no map could be made.
    bool SelectLap(int lap);
    CTrackViewModel& View() { return m_view; }
    const CTrackMap& Map() const { return m_map; }
    // The window's drawing at `size`, as the screen shows it.
    QImage Render(QSize size);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CBriodashDoc& m_doc;
    IHostServices& m_host;
    CTrackMap m_map;
    CTrackViewModel m_view;
    int m_nLap = 0;
};

}  // namespace orvex
