// The application's channel-20 correction for the strip chart and its marker list.
#include "graph/GraphServices.h"

#include "graph/GraphNav.h"
#include "graph/MarkerList.h"

namespace orvex {

void InstallGraphServices(CGraphNavigator& nav, CMarkerView& markers, float voltageCorrection) {
    if (nav.m_pOptions) nav.m_pOptions->voltageCorrection = voltageCorrection;
    markers.m_conv = MarkerConverters::Defaults(voltageCorrection);
}

}  // namespace orvex
