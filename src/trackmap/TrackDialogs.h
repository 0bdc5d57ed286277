// The dialog models of the track map and race mode: "Track Map Lap Selection", "Track Map
// Settings", "Track Map Segment Settings" and the "Race Mode" lap choice, bound by name to
// their forms.
#pragma once

#include <string>
#include <vector>

#include "host/DialogModel.h"
#include "trackmap/RaceMode.h"
#include "trackmap/TrackSettings.h"

namespace orvex {

class CBriodashDoc;
class IHostServices;

// "Track Map Lap Selection": the list "lap" of "<No Lap Selected>" and the laps.
class CTrackLapDialog : public CDialogModel {
  public:
    // The laps offered were found (with the 10 % questions) by `selection.Open`.
    explicit CTrackLapDialog(const CTrackMapLapSelection& selection);
    ChoiceField lap;
    // The lap chosen on OK; null for "<No Lap Selected>".
    const TrackLap* Chosen() const { return m_selection.Choose(lap.selected); }
    // Selects the entry of the lap with `code` (none: "<No Lap Selected>").
    void SelectCode(int32_t code);

  private:
    const CTrackMapLapSelection& m_selection;
};

// "Track Map Settings": "Calculate Distance From" (source_0 "Front Wheel", source_1 "Rear
// Wheel", source_2 "Front-Rear Accelerometer", source_3 "Engine RPM"; only the offered ones
// enabled), "Do NOT Close Map", "Calculate Track Banking" and "Defaults".
class CTrackSettingsDialog : public CDialogModel {
  public:
    // `settings` was opened on the shown sessions. `doc` takes the outcome on OK; null for
    // the default settings (the caller stores the fields).
    CTrackSettingsDialog(CTrackMapSettings& settings, CBriodashDoc* doc);
    RadioField source;
    CheckField openMap;
    CheckField banking;
    ButtonField defaults;

    // The speed source of radio option i, and back.
    static int SourceOfOption(int option);
    static int OptionOfSource(int speedSource);

    void Changed(const std::string& name) override;
    void Clicked(const std::string& name) override;
    bool Accept() override;
    bool SourceChanged() const { return m_bSourceChanged; }

  private:
    void Show();
    CTrackMapSettings& m_settings;
    CBriodashDoc* m_doc;
    bool m_bSourceChanged = false;
};

// "Track Map Segment Settings": the sliders "positive" and "negative" (0 to 100), their
// captions, the "%4.0f %%" and "%5.2f Gs" texts and "Defaults".
class CTrackSegmentDialog : public CDialogModel {
  public:
    explicit CTrackSegmentDialog(CTrackSegmentSettings& settings);
    LabelField title;  // "Track Map Front-Rear Settings" / "Track Map Left-Right Settings"
    LabelField positiveLabel, negativeLabel;
    NumberField positive, negative;
    LabelField positivePercent, negativePercent;
    LabelField positiveG, negativeG;
    ButtonField defaults;

    CTrackSegmentSettings& Settings() { return m_settings; }
    void Changed(const std::string& name) override;
    void Clicked(const std::string& name) override;

  private:
    void Show();
    CTrackSegmentSettings& m_settings;
};

// "Race Mode": the laps that can race ("available") and the laps chosen ("selected"), with
// the move buttons "add", "remove", "addAll" and "removeAll". OK hands the choice to the race
// record, which refuses fewer than two laps with its message (the dialog closes either way).
class CRaceLapDialog : public CDialogModel {
  public:
    CRaceLapDialog(CRaceModeData& race, IHostServices& host);
    ChoiceField available;
    ChoiceField selected;
    ButtonField add, remove, addAll, removeAll;

    // Indexes into the race record's available laps, in the chosen order.
    const std::vector<int>& Chosen() const { return m_chosen; }
    void Clicked(const std::string& name) override;
    bool Accept() override;
    bool RaceOn() const { return m_bRaceOn; }

  private:
    void Show();
    CRaceModeData& m_race;
    IHostServices& m_host;
    std::vector<int> m_chosen;
    bool m_bRaceOn = false;
};

}  // namespace orvex
