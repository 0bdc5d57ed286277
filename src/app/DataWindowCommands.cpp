// The data window's session commands and their enabling.
#include "app/DataWindowCommands.h"

#include <algorithm>
#include <stdexcept>

#include "model/Document.h"
#include "processing/Laps.h"

namespace orvex {
namespace {

using C = DataCommand;

constexpr const char* kFile = "&File";
constexpr const char* kEdit = "&Edit";
constexpr const char* kSetup = "&Setup";
constexpr const char* kLaps = "&Laps";
constexpr const char* kGraph = "Change Graph";
constexpr const char* kPopup = "";

const std::vector<DataCommandInfo> kCommands = {
    {C::ExportData, kFile, "Export Data",
     "Save the active document to a text file for use by Excel, etc.", "Select Channels to Export",
     false},
    {C::DeleteData, kEdit, "Delete Data from Session/Pass",
     "Cut a Session/Pass before or after a marker, or delete it", "Delete Data from Session/Pass",
     false},
    {C::Rename, kEdit, "Change Session/Pass Name", "Rename the Session/Passes",
     "Change Session/Pass Name", false},
    {C::Comments, kEdit, "Comments", "Edit the comments of a Session/Pass", "Comments", false},
    {C::SetupAnalog, kSetup, "Configure Analog Channels...",
     "Edit the analog channel setups of the Session/Passes", "Configure Analog Channels", false},
    {C::SetupDigital, kSetup, "Configure Digital Inputs...",
     "Edit the digital input setups of the Session/Passes", "Configure Digital Inputs", false},
    {C::SetupRpm, kSetup, "Configure RPM/MPH Channels...",
     "Edit the RPM and speed channel setups of the Session/Passes", "Configure RPM/MPH Channels",
     false},
    {C::SetupTransmission, kSetup, "Transmission/Rear End...", "Edit the gear ratios and rear end",
     "Transmission/Rear End Settings", false},
    {C::SpikeFilter, kSetup, "Spike Filter Settings",
     "Remove spikes from the RPM and analog channels, or show their raw data",
     "Spike Filter Settings", false},
    {C::ChannelMenu, kSetup, "Channel Menu...", "Turn channels on or off and choose their colours",
     "Channel Menu", true},
    {C::LapBeacons, kLaps, "Lap Timer Beacons", "Set the number of lap timer beacons per lap",
     "Number of Beacons", false},
    {C::LapTimes, kLaps, "Lap Times", "Show, insert and delete the lap times", "Lap Times Report",
     false},
    {C::EtSlips, kLaps, "ET Slips", "Enter the elapsed times of a drag-race time slip",
     "ET Slip Report", false},
    {C::ZeroTime, kLaps, "Set Zero Time", "Choose the moment each Session/Pass counts from",
     "Set Zero Time", true},
    {C::AdjustLapMarker, kLaps, "Adjust Lap Marker", "Move the lap markers by a distance",
     "Move Lap Markers", false},
    {C::DataAlignment, kLaps, "Data Alignment",
     "Slide the drive shaft data into line with the engine data", "Data Alignment Menu", false},
    {C::SwitchTimer, kLaps, "Switch/Timer Data", "List the events of the switches and timers",
     "Switch/Timer Data", false},
    {C::ViewAsLaps, kLaps, "View as Laps", "Show every lap of the Session/Passes on its own", "",
     true},
    {C::GearSelection, kGraph, "Set/Change Gear Selection", "Mark a gear change at a marker",
     "Gear Selection", false},
    {C::SetGreenMarker, kPopup, "Set Green Marker", "Put the green marker here", "", false},
    {C::SetRedMarker, kPopup, "Set Red Marker", "Put the red marker here", "", false},
    {C::SetShiftPoint, kPopup, "Set Shift Point", "Mark a gear change here", "Gear Selection",
     true},
};

std::vector<CBriodashDataset*> Sessions(const DataWindowState& s) {
    return s.doc ? s.doc->ShownDatasets(true) : std::vector<CBriodashDataset*>{};
}

template <class Test>
bool AnySession(const DataWindowState& s, Test test) {
    const std::vector<CBriodashDataset*> sessions = Sessions(s);
    return std::any_of(sessions.begin(), sessions.end(),
                       [&](const CBriodashDataset* ds) { return test(*ds); });
}

bool HasDigitalData(const CBriodashDataset& ds) {
    return std::any_of(ds.m_digital.begin(), ds.m_digital.end(),
                       [](const CSampleList& s) { return !s.IsEmpty(); });
}

}  // namespace

const std::vector<DataCommandInfo>& DataCommandTable() {
    return kCommands;
}

const DataCommandInfo& DataCommandInfoOf(DataCommand id) {
    for (const DataCommandInfo& c : kCommands)
        if (c.id == id) return c;
    throw std::out_of_range("unknown data window command");
}

bool CanMarkGears(const CBriodashDataset* ds) {
    return ds && ds->m_carSetup.HasGears() && ds->m_carSetup.m_nGears >= 2;
}

GearMarker GearMarkerToUse(int32_t greenTime, int32_t redTime) {
    const bool green = greenTime != kNotSet, red = redTime != kNotSet;
    if (green && red) return GearMarker::Ask;
    if (green) return GearMarker::Green;
    if (red) return GearMarker::Red;
    return GearMarker::None;
}

bool IsInWindow(int32_t x, int32_t xStart, int32_t xSpan) {
    return x != kNotSet && static_cast<int64_t>(x) >= xStart &&
           static_cast<int64_t>(x) <= static_cast<int64_t>(xStart) + xSpan;
}

bool IsDataCommandEnabled(DataCommand id, const DataWindowState& s) {
    if (!s.doc) return false;
    const bool sessions = !Sessions(s).empty();
    switch (id) {
        case C::LapBeacons:
        case C::AdjustLapMarker:
            return AnySession(s, [](const CBriodashDataset& ds) { return HasLapMarks(ds); });
        case C::LapTimes:
        case C::EtSlips:
            // One report at a time.
        case C::DeleteData:
            // An open report writes into the sessions it was opened on: none goes meanwhile.
            return sessions && !s.reportShown;
        case C::SwitchTimer:
            return AnySession(s, HasDigitalData);
        case C::ViewAsLaps:
            return s.doc->m_bLapView || AnySession(s, [](const CBriodashDataset& ds) {
                       return LapDatasetCount(ds) > 0;
                   });
        case C::GearSelection:
            return CanMarkGears(s.current) &&
                   GearMarkerToUse(s.doc->m_lGreenTime, s.doc->m_lRedTime) != GearMarker::None;
        case C::SetShiftPoint:
            return CanMarkGears(s.current);
        default:
            return sessions;
    }
}

bool IsDataCommandChecked(DataCommand id, const DataWindowState& s) {
    return id == C::ViewAsLaps && s.doc && s.doc->m_bLapView;
}

}  // namespace orvex
