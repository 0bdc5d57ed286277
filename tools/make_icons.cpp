// Draws the program's icon: writes the scalable SVG and the PNG sizes of the icon theme from one
// description of its shapes, so that every size shows the same picture.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

// The icon on a 256 x 256 canvas: a dark tile, a rev-counter arc with a needle, and a trace.
constexpr double kSize = 256.0;
const QColor kTile(0x1d, 0x23, 0x30);
const QColor kArc(0xe8, 0x6a, 0x1e);
const QColor kRedline(0xd8, 0x2a, 0x2a);
const QColor kTrace(0x3c, 0xd0, 0x6c);
const QColor kNeedle(0xf2, 0xf2, 0xf2);
constexpr double kPi = 3.14159265358979323846;
constexpr double kCx = 128, kCy = 136, kR = 84;

std::vector<QPointF> TracePoints() {
    std::vector<QPointF> pts;
    for (int i = 0; i <= 24; ++i) {
        const double x = 36 + i * 184.0 / 24;
        const double y = 206 - 22 * std::sin(i * 0.55) - 8 * std::sin(i * 1.7);
        pts.emplace_back(x, y);
    }
    return pts;
}

QPointF OnArc(double degrees, double radius) {
    const double a = degrees * kPi / 180.0;
    return {kCx + radius * std::cos(a), kCy - radius * std::sin(a)};
}

void Paint(QPainter& p, double scale) {
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    p.setPen(Qt::NoPen);
    p.setBrush(kTile);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
    QRectF arcBox(kCx - kR, kCy - kR, 2 * kR, 2 * kR);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kArc, 18, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(arcBox, 210 * 16, -200 * 16);  // 210 deg to 10 deg
    p.setPen(QPen(kRedline, 18, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(arcBox, 10 * 16, -40 * 16);  // 10 deg to -30 deg
    p.setPen(QPen(kNeedle, 10, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(kCx, kCy), OnArc(40, kR - 14));
    p.setPen(Qt::NoPen);
    p.setBrush(kNeedle);
    p.drawEllipse(QPointF(kCx, kCy), 13, 13);
    const auto pts = TracePoints();
    p.setPen(QPen(kTrace, 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(pts.data(), int(pts.size()));
}

std::string Svg() {
    auto num = [](double v) { return QString::number(v, 'f', 2).toStdString(); };
    auto col = [](const QColor& c) { return c.name().toStdString(); };
    const QPointF a0 = OnArc(210, kR), a1 = OnArc(10, kR), r1 = OnArc(-30, kR);
    const QPointF tip = OnArc(40, kR - 14);
    std::string trace;
    for (const QPointF& q : TracePoints()) trace += num(q.x()) + "," + num(q.y()) + " ";
    std::string s;
    s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
         "viewBox=\"0 0 256 256\">\n";
    s += "  <rect x=\"8\" y=\"8\" width=\"240\" height=\"240\" rx=\"40\" fill=\"" + col(kTile) +
         "\"/>\n";
    s += "  <path d=\"M" + num(a0.x()) + "," + num(a0.y()) + " A" + num(kR) + "," + num(kR) +
         " 0 1 1 " + num(a1.x()) + "," + num(a1.y()) + "\" fill=\"none\" stroke=\"" + col(kArc) +
         "\" stroke-width=\"18\"/>\n";
    s += "  <path d=\"M" + num(a1.x()) + "," + num(a1.y()) + " A" + num(kR) + "," + num(kR) +
         " 0 0 1 " + num(r1.x()) + "," + num(r1.y()) + "\" fill=\"none\" stroke=\"" +
         col(kRedline) + "\" stroke-width=\"18\"/>\n";
    s += "  <line x1=\"" + num(kCx) + "\" y1=\"" + num(kCy) + "\" x2=\"" + num(tip.x()) +
         "\" y2=\"" + num(tip.y()) + "\" stroke=\"" + col(kNeedle) +
         "\" stroke-width=\"10\" stroke-linecap=\"round\"/>\n";
    s += "  <circle cx=\"" + num(kCx) + "\" cy=\"" + num(kCy) + "\" r=\"13\" fill=\"" +
         col(kNeedle) + "\"/>\n";
    s += "  <polyline points=\"" + trace + "\" fill=\"none\" stroke=\"" + col(kTrace) +
         "\" stroke-width=\"10\" stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n";
    s += "</svg>\n";
    return s;
}

}  // namespace

// make_icons OUT_DIR: writes OUT_DIR/orvex.svg and OUT_DIR/orvex-N.png for the theme's sizes.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons OUT_DIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    std::ofstream(QString(dir + "/orvex.svg").toStdString()) << Svg();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        Paint(p, size / kSize);
        p.end();
        if (!image.save(dir + QString("/orvex-%1.png").arg(size))) return 1;
    }
    return 0;
}
