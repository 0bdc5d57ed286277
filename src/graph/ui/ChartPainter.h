// The one painting path of the strip chart, for the screen, the printer and picture export:
// the display list of the graph core painted with QPainter, then the marker lines.
#pragma once

#include <string>
#include <vector>

#include "graph/GraphScene.h"
#include "graph/Markers.h"

class QPainter;
class QColor;
class QFont;

namespace orvex {

QColor ToQColor(ColorRef c);

// `c` made readable on a dark `background`: the same hue, lightened until the contrast ratio
// (1 to 21, as for text on screen) reaches `minContrast`. On a light background `c` is kept.
QColor ReadableOn(const QColor& c, const QColor& background, double minContrast);

// How traces reach the device. Direct writes their pixels straight into a 32-bit image (the
// screen's buffer, pictures) when the painter allows it; Vector draws them as QPainter lines
// (printer, PDF), which is also what Direct falls back to.
enum class TracePath { Direct, Vector };

// Paints `scene` (device-independent pixels) and the marker lines over it. Traces are drawn
// without antialiasing so that one-pixel lines stay crisp.
void PaintScene(QPainter& painter, const CGraphScene& scene,
                const std::vector<MarkerLine>& markers = {}, TracePath path = TracePath::Direct);
// The background and the base layer only; the overlay only (painted over a kept base).
void PaintBase(QPainter& painter, const CGraphScene& scene, TracePath path = TracePath::Direct);
void PaintOverlay(QPainter& painter, const CGraphScene& scene);

// The sizes of the scene's fonts made from `base` (the painter's font) that a view core lays
// its texts out with, and the width of a text in one of them.
SceneMetrics MeasureSceneFonts(const QFont& base);
int SceneTextWidth(const QFont& base, const std::string& text, FontRole role = FontRole::Axis);

}  // namespace orvex
