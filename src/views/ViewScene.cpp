#include "views/ViewScene.h"

namespace orvex {

void CViewScene::AddLine(float x1, float y1, float x2, float y2, ColorRef pen, float penWidth) {
    ViewPrim p;
    p.kind = ViewPrim::Line;
    p.x1 = x1;
    p.y1 = y1;
    p.x2 = x2;
    p.y2 = y2;
    p.pen = pen;
    p.width = penWidth;
    prims.push_back(std::move(p));
}

void CViewScene::AddRect(float x, float y, float w, float h, ColorRef fill, bool outline,
                         ColorRef pen) {
    ViewPrim p;
    p.kind = ViewPrim::Rect;
    p.x1 = x;
    p.y1 = y;
    p.x2 = x + w;
    p.y2 = y + h;
    p.fill = fill;
    p.filled = true;
    p.outlined = outline;
    p.pen = pen;
    prims.push_back(std::move(p));
}

void CViewScene::AddFrame(float x, float y, float w, float h, ColorRef pen, float penWidth) {
    ViewPrim p;
    p.kind = ViewPrim::Rect;
    p.x1 = x;
    p.y1 = y;
    p.x2 = x + w;
    p.y2 = y + h;
    p.pen = pen;
    p.width = penWidth;
    prims.push_back(std::move(p));
}

void CViewScene::AddEllipse(float cx, float cy, float rx, float ry, ColorRef pen, bool filled,
                            ColorRef fill) {
    ViewPrim p;
    p.kind = ViewPrim::Ellipse;
    p.x1 = cx - rx;
    p.y1 = cy - ry;
    p.x2 = cx + rx;
    p.y2 = cy + ry;
    p.pen = pen;
    p.filled = filled;
    p.fill = fill;
    prims.push_back(std::move(p));
}

void CViewScene::AddPolygon(const std::vector<ViewPoint>& corners, ColorRef fill, ColorRef pen) {
    ViewPrim p;
    p.kind = ViewPrim::Polygon;
    p.first = static_cast<uint32_t>(points.size());
    p.count = static_cast<uint32_t>(corners.size());
    p.fill = fill;
    p.filled = true;
    p.pen = pen;
    points.insert(points.end(), corners.begin(), corners.end());
    prims.push_back(std::move(p));
}

void CViewScene::AddPolyline(const std::vector<ViewPoint>& pts, ColorRef pen, float penWidth) {
    if (pts.size() < 2) return;
    ViewPrim p;
    p.kind = ViewPrim::Polyline;
    p.first = static_cast<uint32_t>(points.size());
    p.count = static_cast<uint32_t>(pts.size());
    p.pen = pen;
    p.width = penWidth;
    points.insert(points.end(), pts.begin(), pts.end());
    prims.push_back(std::move(p));
}

void CViewScene::AddText(float x1, float y1, float x2, float y2, std::string text, ColorRef colour,
                         int pointSize, ViewAlign align, ViewVAlign valign, bool bold) {
    ViewPrim p;
    p.kind = ViewPrim::Text;
    p.x1 = x1;
    p.y1 = y1;
    p.x2 = x2;
    p.y2 = y2;
    p.text = std::move(text);
    p.pen = colour;
    p.fontPoints = pointSize;
    p.align = align;
    p.valign = valign;
    p.bold = bold;
    prims.push_back(std::move(p));
}

std::size_t CViewScene::Count(ViewPrim::Kind kind) const {
    std::size_t n = 0;
    for (const ViewPrim& p : prims) n += p.kind == kind ? 1 : 0;
    return n;
}

std::vector<std::string> CViewScene::Texts() const {
    std::vector<std::string> out;
    for (const ViewPrim& p : prims)
        if (p.kind == ViewPrim::Text) out.push_back(p.text);
    return out;
}

}  // namespace orvex
