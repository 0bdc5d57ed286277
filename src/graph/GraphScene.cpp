// Display list of one strip-chart drawing.
#include "graph/GraphScene.h"

#include <algorithm>
#include <cmath>
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
    textBoxes.clear();
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

void CGraphScene::AddFrame(float x, float y, float w, float h, ColorRef color, float penWidth,
                           bool toOverlay, LineBlend blend) {
    const float t = std::min({penWidth, w / 2, h / 2});
    if (t <= 0) return;
    const GRect sides[] = {{x, y, w, t, color, blend},
                           {x, y + h - t, w, t, color, blend},
                           {x, y + t, t, h - 2 * t, color, blend},
                           {x + w - t, y + t, t, h - 2 * t, color, blend}};
    for (const GRect& r : sides) {
        if (r.w <= 0 || r.h <= 0) continue;
        rects.push_back(r);
        (toOverlay ? overlay : base)
            .push_back({PrimKind::Rect, static_cast<uint32_t>(rects.size() - 1)});
    }
}

void CGraphScene::BoundLastText(float left, float top, float right, float bottom) {
    if (texts.empty()) return;
    textBoxes.push_back({static_cast<uint32_t>(texts.size() - 1), left, top, right, bottom});
}

void CGraphScene::AddText(float x, float y, std::string text, HAlign h, VAlign v, ColorRef color,
                          FontRole font, bool toOverlay) {
    texts.push_back({x, y, std::move(text), h, v, font, color, true});
    (toOverlay ? overlay : base)
        .push_back({PrimKind::Text, static_cast<uint32_t>(texts.size() - 1)});
}

void CGraphScene::AddBar(float x, float y, float w, float h, ColorRef fill, ColorRef outline,
                         bool toOverlay) {
    bars.push_back({x, y, w, h, fill, outline});
    (toOverlay ? overlay : base).push_back({PrimKind::Bar, static_cast<uint32_t>(bars.size() - 1)});
}

void CGraphScene::AddEllipse(float cx, float cy, float rx, float ry, ColorRef outline,
                             std::optional<ColorRef> fill, bool toOverlay, float penWidth,
                             LineBlend blend) {
    ellipses.push_back(
        {cx, cy, rx, ry, outline, fill.value_or(0), fill.has_value(), penWidth, blend});
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
    // Other primitives may have been added after it while it was open.
    for (auto* layer : {&base, &overlay}) {
        const auto at = std::find_if(layer->rbegin(), layer->rend(), [this](const GPrim& p) {
            return p.kind == PrimKind::Polyline && p.index == polylines.size();
        });
        if (at != layer->rend()) {
            layer->erase(std::next(at).base());
            break;
        }
    }
}

void CGraphScene::AppendPolylines(const CGraphScene& other) {
    EndPolyline();
    const auto offset = static_cast<uint32_t>(points.size());
    points.insert(points.end(), other.points.begin(), other.points.end());
    for (const GPrim& prim : other.base) {
        if (prim.kind != PrimKind::Polyline) continue;
        GPolyline pl = other.polylines[prim.index];
        pl.first += offset;
        polylines.push_back(pl);
        base.push_back({PrimKind::Polyline, static_cast<uint32_t>(polylines.size() - 1)});
    }
}

std::optional<std::vector<GRectI>> LayerExtents(const CGraphScene& scene,
                                                const std::vector<GPrim>& layer, int margin) {
    std::vector<GRectI> out;
    out.reserve(layer.size());
    auto add = [&](double x1, double y1, double x2, double y2, double pen) {
        const double grow = margin + pen / 2;
        out.push_back({static_cast<int>(std::floor(std::min(x1, x2) - grow)),
                       static_cast<int>(std::floor(std::min(y1, y2) - grow)),
                       static_cast<int>(std::ceil(std::max(x1, x2) + grow)),
                       static_cast<int>(std::ceil(std::max(y1, y2) + grow))});
    };
    auto addPoints = [&](uint32_t first, uint32_t count, double pen) {
        if (count == 0) return;
        double x1 = scene.points[first].x, x2 = x1, y1 = scene.points[first].y, y2 = y1;
        for (uint32_t i = first + 1; i < first + count; ++i) {
            x1 = std::min<double>(x1, scene.points[i].x);
            x2 = std::max<double>(x2, scene.points[i].x);
            y1 = std::min<double>(y1, scene.points[i].y);
            y2 = std::max<double>(y2, scene.points[i].y);
        }
        add(x1, y1, x2, y2, pen);
    };
    for (const GPrim& prim : layer) {
        switch (prim.kind) {
            case PrimKind::Line: {
                const GLine& l = scene.lines[prim.index];
                add(l.x1, l.y1, l.x2, l.y2, l.width);
                break;
            }
            case PrimKind::Polyline: {
                const GPolyline& l = scene.polylines[prim.index];
                addPoints(l.first, l.count, l.width);
                break;
            }
            case PrimKind::Rect: {
                const GRect& r = scene.rects[prim.index];
                add(r.x, r.y, r.x + r.w, r.y + r.h, 1);
                break;
            }
            case PrimKind::Bar: {
                const GBar& b = scene.bars[prim.index];
                add(b.x, b.y, b.x + b.w, b.y + b.h, 1);
                break;
            }
            case PrimKind::Ellipse: {
                const GEllipse& e = scene.ellipses[prim.index];
                add(e.cx - e.rx, e.cy - e.ry, e.cx + e.rx, e.cy + e.ry, e.width);
                break;
            }
            case PrimKind::Polygon: {
                const GPolygon& g = scene.polygons[prim.index];
                addPoints(g.first, g.count, 1);
                break;
            }
            case PrimKind::Text: {
                const auto box =
                    std::find_if(scene.textBoxes.begin(), scene.textBoxes.end(),
                                 [&prim](const GTextBox& b) { return b.text == prim.index; });
                if (box == scene.textBoxes.end()) return std::nullopt;
                add(box->left, box->top, box->right, box->bottom, 0);
                break;
            }
        }
    }
    return out;
}

}  // namespace orvex
