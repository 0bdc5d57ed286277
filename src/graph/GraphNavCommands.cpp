// The graph window's command table and the state-dependent menu texts and enabling.
#include <stdexcept>

#include "graph/GraphNav.h"

namespace orvex {

const std::vector<GraphCommandInfo>& GraphCommandTable() {
    using C = GraphCommand;
    static const std::vector<GraphCommandInfo> table = {
        {C::ZoomInX, "Zoom In Time (F3)", {"F3"}, "Zoom In along the Time Axis"},
        {C::ZoomOutX, "Zoom Out Time (F4)", {"F4"}, "Zoom Out along the Time Axis"},
        {C::ZoomInRpm, "Zoom In RPM (Shift F3)", {"Shift+F3"}, "Zoom In along the RPM Axis"},
        {C::ZoomOutRpm, "Zoom Out RPM (Shift F4)", {"Shift+F4"}, "Zoom Out along the RPM Axis"},
        {C::Backward,
         "Backward (Shift Tab)",
         {"Shift+Tab"},
         "Display view seen before current view."},
        {C::Forward, "Forward (Tab)", {"Tab"}, "Display view seen after current view."},
        {C::ResetDisplay,
         "Reset Display",
         {"Alt+R"},
         "Reset the active display to the initial Full RPM / first minute view"},
        {C::Redraw, "Redraw screen", {"Alt+N"}, "Redraw all views."},
        {C::ScrollLineLeft, "", {"Ctrl+Left", "F9"}, ""},
        {C::ScrollLineRight, "", {"Ctrl+Right", "F10"}, ""},
        {C::ScrollPageLeft, "", {"Alt+Left"}, ""},
        {C::ScrollPageRight, "", {"Alt+Right"}, ""},
        {C::ScrollRpmLineUp, "", {"Ctrl+Up"}, ""},
        {C::ScrollRpmLineDown, "", {"Ctrl+Down"}, ""},
        {C::ScrollRpmPageUp, "", {"Alt+Up"}, ""},
        {C::ScrollRpmPageDown, "", {"Alt+Down"}, ""},
        {C::DisplayAsTime, "Display as Time", {}, ""},
        {C::DisplayAsDistance,
         "Display as Distance",
         {},
         "Set X Axis Display Units to be distance traveled."},
        {C::DistanceFrontWheel, "Front Wheel", {}, "Use Front Wheel Input for Distance Traveled."},
        {C::DistanceRearWheel,
         "Axle/Rear Wheel",
         {},
         "Use Rear Wheel Input for Distance Traveled."},
        {C::DistanceAccelerometer,
         "Accelerometer",
         {},
         "Use Front-Rear Accelerometer Input for Distance Traveled."},
        {C::DistanceEngine, "Engine RPM", {}, "Use Engine RPM Input for Distance Traveled."},
        {C::MphLowerHalf, "Display MPH in lower half", {}, ""},
        {C::CombineAnalogs, "Combine Scale for Same Type of Analog Channels", {}, ""},
        {C::AnalogScales, "Turn Analog Scales Off", {}, ""},
    };
    return table;
}

const GraphCommandInfo& GraphCommandInfoOf(GraphCommand id) {
    for (const GraphCommandInfo& c : GraphCommandTable())
        if (c.id == id) return c;
    throw std::out_of_range("graph command");
}

std::string CGraphNavigator::MenuText(GraphCommand id) const {
    const bool distance = !m_state.IsTimeAxis();
    const bool speed = m_state.m_scale.speedScale;
    switch (id) {
        case GraphCommand::ZoomInX:
            return distance ? "Zoom In Distance (F3)" : "Zoom In Time (F3)";
        case GraphCommand::ZoomOutX:
            return distance ? "Zoom Out Distance (F4)" : "Zoom Out Time (F4)";
        case GraphCommand::ZoomInRpm:
            return speed ? "Zoom In RPM/MPH (Shift F3)" : "Zoom In RPM (Shift F3)";
        case GraphCommand::ZoomOutRpm:
            return speed ? "Zoom Out RPM/MPH (Shift F4)" : "Zoom Out RPM (Shift F4)";
        case GraphCommand::AnalogScales:
            return !m_pOptions || m_pOptions->analogScales ? "Turn Analog Scales Off"
                                                           : "Turn Analog Scales On";
        default:
            return GraphCommandInfoOf(id).menuText;
    }
}

bool CGraphNavigator::IsEnabled(GraphCommand id) const {
    switch (id) {
        case GraphCommand::ZoomInRpm:
        case GraphCommand::ZoomOutRpm:
        case GraphCommand::ScrollRpmLineUp:
        case GraphCommand::ScrollRpmLineDown:
        case GraphCommand::ScrollRpmPageUp:
        case GraphCommand::ScrollRpmPageDown:
            return m_state.m_scale.rpmScale;
        case GraphCommand::Backward:
            return CanGoBack();
        case GraphCommand::Forward:
            return CanGoForward();
        case GraphCommand::DistanceFrontWheel:
            return OffersSource(1);
        case GraphCommand::DistanceRearWheel:
            return OffersSource(2);
        case GraphCommand::DistanceAccelerometer:
            return OffersSource(3);
        case GraphCommand::DistanceEngine:
            return OffersSource(4);
        default:
            return true;
    }
}

bool CGraphNavigator::IsChecked(GraphCommand id) const {
    switch (id) {
        case GraphCommand::DisplayAsTime:
            return m_state.m_nAxisMode == kAxisTime;
        case GraphCommand::DisplayAsDistance:
            return m_state.m_nAxisMode == kAxisDistance;
        case GraphCommand::DistanceFrontWheel:
            return DistanceSource() == 1;
        case GraphCommand::DistanceRearWheel:
            return DistanceSource() == 2;
        case GraphCommand::DistanceAccelerometer:
            return DistanceSource() == 3;
        case GraphCommand::DistanceEngine:
            return DistanceSource() == 4;
        case GraphCommand::MphLowerHalf:
            return m_state.m_bMphLowerHalf;
        case GraphCommand::CombineAnalogs:
            return m_state.m_bCombineAnalogs;
        default:
            return false;
    }
}

bool CGraphNavigator::Execute(GraphCommand id) {
    switch (id) {
        case GraphCommand::ZoomInX:
            return ZoomInX();
        case GraphCommand::ZoomOutX:
            return ZoomOutX();
        case GraphCommand::ZoomInRpm:
            return ZoomInRpm();
        case GraphCommand::ZoomOutRpm:
            return ZoomOutRpm();
        case GraphCommand::Backward:
            return Backward();
        case GraphCommand::Forward:
            return Forward();
        case GraphCommand::ResetDisplay:
            ResetDisplay();
            return true;
        case GraphCommand::Redraw:
            m_doc.UpdateAllViews(kHintRepaint);
            Repaint();
            return true;
        case GraphCommand::ScrollLineLeft:
            return HScroll(ScrollAction::LineBack);
        case GraphCommand::ScrollLineRight:
            return HScroll(ScrollAction::LineForward);
        case GraphCommand::ScrollPageLeft:
            return HScroll(ScrollAction::PageBack);
        case GraphCommand::ScrollPageRight:
            return HScroll(ScrollAction::PageForward);
        case GraphCommand::ScrollRpmLineUp:
            return VScroll(ScrollAction::LineBack);
        case GraphCommand::ScrollRpmLineDown:
            return VScroll(ScrollAction::LineForward);
        case GraphCommand::ScrollRpmPageUp:
            return VScroll(ScrollAction::PageBack);
        case GraphCommand::ScrollRpmPageDown:
            return VScroll(ScrollAction::PageForward);
        case GraphCommand::DisplayAsTime:
            return DisplayAsTime();
        case GraphCommand::DisplayAsDistance:
            return DisplayAsDistance();
        case GraphCommand::DistanceFrontWheel:
            return SetDistanceSource(1);
        case GraphCommand::DistanceRearWheel:
            return SetDistanceSource(2);
        case GraphCommand::DistanceAccelerometer:
            return SetDistanceSource(3);
        case GraphCommand::DistanceEngine:
            return SetDistanceSource(4);
        case GraphCommand::MphLowerHalf:
            ToggleMphLowerHalf();
            return true;
        case GraphCommand::CombineAnalogs:
            ToggleCombineAnalogs();
            return true;
        case GraphCommand::AnalogScales:
            ToggleAnalogScales();
            return true;
    }
    return false;
}

}  // namespace orvex
