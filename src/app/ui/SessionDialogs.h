// The data window's session dialogs opened on a document and its chart: the one way both the
// menu commands and the dialog gallery open them.
#pragma once

#include <cstdint>

#include "app/ui/DialogGallery.h"

namespace orvex {

OpenedDialog OpenDeleteData(DialogContext& c);
OpenedDialog OpenRename(DialogContext& c);
OpenedDialog OpenComments(DialogContext& c);
OpenedDialog OpenExportChannels(DialogContext& c);
OpenedDialog OpenSpikeFilter(DialogContext& c);
OpenedDialog OpenDefaultSpikeFilter(DialogContext& c);
OpenedDialog OpenBeacons(DialogContext& c);
// The two modeless reports; null when no session can be reported.
OpenedDialog OpenLapTimes(DialogContext& c);
OpenedDialog OpenEtSlip(DialogContext& c);
OpenedDialog OpenZeroTime(DialogContext& c);
OpenedDialog OpenMoveLapMarks(DialogContext& c);
// Null, after the message, unless both markers are set.
OpenedDialog OpenDataAlignment(DialogContext& c);
OpenedDialog OpenSwitchTimer(DialogContext& c);
// The gear dialog of the chart's current dataset at an axis value (time relative to the zero,
// or distance).
OpenedDialog OpenGearSelectionAt(DialogContext& c, int32_t key, bool byDistance);
// The gallery's gear dialog: at the green marker, else the red one, else the start.
OpenedDialog OpenGearSelection(DialogContext& c);
OpenedDialog OpenGearMarkerChoice(DialogContext& c);

}  // namespace orvex
