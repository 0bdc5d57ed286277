// The marker list's core view: the marker-list table registered with its document, re-read on
// the document's hints; the canvas shows what the last update changed.
#pragma once

#include "graph/MarkerList.h"
#include "graph/ViewBase.h"

namespace orvex {

class CMarkerListView : public CViewBase {
  public:
    CMarkerListView(CBriodashDoc& doc, IHostServices& host, IViewCanvas& canvas);

    CMarkerView& Table() { return m_table; }
    const CMarkerView& Table() const { return m_table; }

    void OnUpdate(const ViewUpdate& update) override;
    // Recreates the whole list (datasets, channels shown, units or race mode changed).
    void Rebuild();
    // What the last update or rebuild changed.
    const MarkerListUpdate& LastChange() const { return m_last; }

    // A table has no drawing of its own: the background of the size.
    const CGraphScene& BuildScene(int width, int height, double devicePixelRatio,
                                  bool onPaper) override;

  private:
    CMarkerView m_table;
    MarkerListUpdate m_last;
    CGraphScene m_scene;
};

}  // namespace orvex
