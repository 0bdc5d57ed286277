// Joins a strip chart's navigator and marker list to the speed, distance and slip code with
// the application's settings; the window calls it once per view.
#pragma once

namespace orvex {

class CGraphNavigator;
class CMarkerView;

// Marker values with the channel-20 voltage correction; the chart's options (when the
// navigator has them) take the correction too. Distance and slip go through the document's
// services.
void InstallGraphServices(CGraphNavigator& nav, CMarkerView& markers, float voltageCorrection);

}  // namespace orvex
