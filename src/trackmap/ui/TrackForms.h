// The forms of the track map and race mode dialogs, bound to their models.
#pragma once

#include <QDialog>
#include <memory>

#include "trackmap/TrackDialogs.h"

namespace orvex {

std::unique_ptr<QDialog> MakeTrackLapDialog(QWidget* parent, CTrackLapDialog& model);
// `defaults`: the main frame's calculation settings (" - Default Settings" in the title).
std::unique_ptr<QDialog> MakeTrackSettingsDialog(QWidget* parent, CTrackSettingsDialog& model,
                                                 bool defaults);
// `title` replaces "Track Map Segment Settings" (the main frame's default dialogs).
std::unique_ptr<QDialog> MakeTrackSegmentDialog(QWidget* parent, CTrackSegmentDialog& model,
                                                const QString& title = QString());
std::unique_ptr<QDialog> MakeRaceLapDialog(QWidget* parent, CRaceLapDialog& model);

}  // namespace orvex
