// Display list of one strip-chart drawing.
#include "graph/GraphScene.h"

#include <utility>

namespace orvex {

void CGraphScene::Clear() {
    lines.clear();
    polylines.clear();
    points.clear();
    rects.clear();
    texts.clear();
    bars.clear();
    ellipses.clear();
    polygons.clear();
    base.clear();
    overlay.clear();
    scaleColumns.clear();
    hasDrawing = false;
    m_bOpen = false;
}

void CGraphScene::AddLine(float x1, float y1, float x2, float y2, ColorRef color, bool toOverlay,
                          float penWidth, LineStyle style, LineBlend blend) {
    lines.push_back({x1, y1, x2, y2, color, penWidth, style, blend});
    (toOverlay ? overlay : base)
        .push_back({PrimKind::Line, static_cast<uint32_t>(lines.size() - 1)});
}

void CGraphScene::AddRect(float x, float y, float w, float h, ColorRef fill, bool toOverlay) {
    rects.push_back({x, y, w, h, fill});
    (toOverlay ? overlay : base)
        .push_back({PrimKind::Rect, static_cast<uint32_t>(rects.size() - 1)});
}

void CGraphScene::AddText(float x, float y, std::string text, HAlign h, VAlign v, ColorRef color,
                          FontRole font, bool toOverlay) {
    texts.push_back({x, y, std::move(text), h, v, font, color});
    (toOverlay ? overlay : base)
        .push_back({PrimKind::Text, static_cast<uint32_t>(texts.size() - 1)});
}

void CGraphScene::AddBar(float x, float y, float w, float h, ColorRef fill, ColorRef outline,
                         bool toOverlay) {
    bars.push_back({x, y, w, h, fill, outline});
    (toOverlay ? overlay : base).push_back({PrimKind::Bar, static_cast<uint32_t>(bars.size() - 1)});
}

void CGraphScene::AddEllipse(float cx, float cy, float rx, float ry, ColorRef outline,
                             std::optional<ColorRef> fill, bool toOverlay, float penWidth) {
    ellipses.push_back({cx, cy, rx, ry, outline, fill.value_or(0), fill.has_value(), penWidth});
    (toOverlay ? overlay : base)
        .push_back({PrimKind::Ellipse, static_cast<uint32_t>(ellipses.size() - 1)});
}

void CGraphScene::AddPolygon(const std::vector<GPoint>& corners, ColorRef outline,
                             std::optional<ColorRef> fill, bool toOverlay) {
    if (corners.size() < 3) return;
    EndPolyline();
    GPolygon pg;
    pg.first = static_cast<uint32_t>(points.size());
    pg.count = static_cast<uint32_t>(corners.size());
    pg.outline = outline;
    pg.fill = fill.value_or(0);
    pg.filled = fill.has_value();
    points.insert(points.end(), corners.begin(), corners.end());
    polygons.push_back(pg);
    (toOverlay ? overlay : base)
        .push_back({PrimKind::Polygon, static_cast<uint32_t>(polygons.size() - 1)});
}

void CGraphScene::BeginPolyline(ColorRef color, bool toOverlay, float penWidth) {
    EndPolyline();
    GPolyline pl;
    pl.first = static_cast<uint32_t>(points.size());
    pl.color = color;
    pl.width = penWidth;
    polylines.push_back(pl);
    (toOverlay ? overlay : base)
        .push_back({PrimKind::Polyline, static_cast<uint32_t>(polylines.size() - 1)});
    m_bOpen = true;
}

void CGraphScene::AddPoint(float x, float y) {
    points.push_back({x, y});
    if (m_bOpen) ++polylines.back().count;
}

void CGraphScene::EndPolyline() {
    if (!m_bOpen) return;
    m_bOpen = false;
    GPolyline& pl = polylines.back();
    if (pl.count >= 2) return;
    // Too short to draw: take it back out of its layer and the pools.
    points.resize(pl.first);
    polylines.pop_back();
    for (auto* layer : {&base, &overlay}) {
        if (!layer->empty() && layer->back().kind == PrimKind::Polyline &&
            layer->back().index == polylines.size()) {
            layer->pop_back();
            break;
        }
    }
}

}  // namespace orvex
