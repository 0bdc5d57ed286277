// Installs the processing code behind the strip chart's hooks.
#include "graph/GraphServices.h"

#include "graph/GraphNav.h"
#include "graph/MarkerList.h"

namespace orvex {

void InstallGraphServices(CGraphNavigator& nav, CMarkerView& markers, float voltageCorrection) {
    // The navigator's own hooks already reach ComputeDistance and ComputeSlip.
    if (nav.m_pOptions) nav.m_pOptions->voltageCorrection = voltageCorrection;
    markers.m_conv = MarkerConverters::Defaults(voltageCorrection);
}

}  // namespace orvex
