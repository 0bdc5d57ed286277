// The marker list's core view.
#include "graph/MarkerListView.h"

namespace orvex {

CMarkerListView::CMarkerListView(CBriodashDoc& doc, IHostServices& host, IViewCanvas& canvas)
    : CViewBase(doc, ViewKind::MarkerList, canvas), m_table(doc, host) {}

void CMarkerListView::OnUpdate(const ViewUpdate& update) {
    m_last = m_table.OnUpdate(update.hint);
    Canvas().Invalidate(ViewLayer::All);
}

void CMarkerListView::Rebuild() {
    m_table.Rebuild();
    m_last = MarkerListUpdate{};
    m_last.rebuilt = true;
    Canvas().Invalidate(ViewLayer::All);
}

const CGraphScene& CMarkerListView::BuildScene(int width, int height, double devicePixelRatio,
                                               bool) {
    m_scene.Clear();
    m_scene.width = width;
    m_scene.height = height;
    m_scene.devicePixelRatio = devicePixelRatio;
    m_scene.background = MakeRGB(255, 255, 255);
    return m_scene;
}

}  // namespace orvex
