// The data window's session commands: menu places, texts, status tips, the dialog each opens
// and when each is enabled; and which marker the gear dialog opens at. The GUI builds the data
// window's menus and the chart's pop-up from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/DialogModel.h"

namespace orvex {

class CBriodashDoc;
class CBriodashDataset;

enum class DataCommand {
    // File
    ExportData,
    // Edit
    DeleteData,
    Rename,
    Comments,
    // Setup
    SetupAnalog,
    SetupDigital,
    SetupRpm,
    SetupTransmission,
    SpikeFilter,
    ChannelMenu,
    // Laps
    LapBeacons,
    LapTimes,
    EtSlips,
    ZeroTime,
    AdjustLapMarker,
    DataAlignment,
    SwitchTimer,
    ViewAsLaps,
    // Change Graph
    GearSelection,
    // The chart's pop-up
    SetGreenMarker,
    SetRedMarker,
    SetShiftPoint,
};

struct DataCommandInfo {
    DataCommand id;
    // Menu of the main window that carries the item ("&File", "&Laps" ...); "" for the
    // chart's pop-up.
    const char* menu;
    const char* text;
    const char* statusTip;
    // Title of the dialog the command opens, as the dialog gallery names it ("" for none).
    const char* dialog;
    bool separatorBefore;
};

// Every command in menu order.
const std::vector<DataCommandInfo>& DataCommandTable();
const DataCommandInfo& DataCommandInfoOf(DataCommand id);

// What the enabling of the commands looks at.
struct DataWindowState {
    const CBriodashDoc* doc = nullptr;
    const CBriodashDataset* current = nullptr;  // the chart's current dataset
    bool reportShown = false;  // the "Lap Times Report" or "ET Slip Report" is open
};

bool IsDataCommandEnabled(DataCommand id, const DataWindowState& state);
// "View as Laps" is checked while the lap view is on.
bool IsDataCommandChecked(DataCommand id, const DataWindowState& state);

// The gear commands apply to a dataset with gears (at least two of them).
bool CanMarkGears(const CBriodashDataset* ds);

// The marker "Set/Change Gear Selection" works at: the one that is set, or the user's choice
// when both are ("Select which Marker to Use").
enum class GearMarker { None, Green, Red, Ask };
GearMarker GearMarkerToUse(int32_t greenTime, int32_t redTime);

inline constexpr const char* kMarkerNotViewed =
    "Selected Marker is NOT currently being viewed.\nPlease try again.";
// "Select which Marker to Use": "Use Green Marker" or "Use Red Marker" ("marker_0",
// "marker_1"); Cancel abandons the command.
class CGearMarkerChoice : public CDialogModel {
  public:
    CGearMarkerChoice() {
        m_marker.options = 2;
        m_marker.selected = 0;
        Bind("marker", m_marker);
    }
    static std::string Title() { return "Select which Marker to Use"; }
    GearMarker Chosen() const {
        return m_marker.selected == 1 ? GearMarker::Red : GearMarker::Green;
    }

    RadioField m_marker;
};

// Whether an axis value lies in the chart's window [xStart, xStart + xSpan].
bool IsInWindow(int32_t x, int32_t xStart, int32_t xSpan);

}  // namespace orvex
