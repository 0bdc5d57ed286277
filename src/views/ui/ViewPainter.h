// The one painting path of the auxiliary views: a view scene painted with QPainter on the
// screen, a printer page, a PDF or a picture.
#pragma once

#include "views/ViewScene.h"

class QPainter;

namespace orvex {

// Sizes of "Arial" 8 and 14 points on the painter's device.
ViewMetrics MeasureViewFonts(const QPainter& painter);
void PaintViewScene(QPainter& painter, const CViewScene& scene);

}  // namespace orvex
