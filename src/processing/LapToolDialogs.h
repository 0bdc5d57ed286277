// The small dialogs of the lap tools: "Number of Beacons" (beacons per lap of each session),
// "Move Lap Markers" (a distance per session), "Data Alignment Menu" (the session whose drive
// shaft is slid into line) and "Switch/Timer Data" (the events of the digital channels).
#pragma once

#include <string>
#include <vector>

#include "host/DialogModel.h"
#include "host/HostServices.h"
#include "model/Document.h"
#include "processing/Laps.h"

namespace orvex {

// Fields: the sessions with lap marks ("session") and their beacons per lap ("beacons",
// 1 to 100). OK renumbers the marks of every session whose number changed.
class CBeaconsDialog : public CDialogModel {
  public:
    CBeaconsDialog(CBriodashDoc& doc, const CBriodashDataset* current);
    static std::string Title() { return "Number of Beacons"; }

    ChoiceField m_session;
    NumberField m_beacons;

    void Changed(const std::string& name) override;
    bool Accept() override;

  private:
    struct Row {
        CBriodashDataset* dataset;
        int beacons;
    };
    CBriodashDoc& m_doc;
    std::vector<Row> m_rows;
};

// Fields: the shown sessions ("session") and the distance in feet each one's marks move
// ("distance", negative moves left). OK moves the marks of every session with a distance.
class CMoveLapMarksDialog : public CDialogModel {
  public:
    CMoveLapMarksDialog(CBriodashDoc& doc, const CBriodashDataset* current);

    ChoiceField m_session;
    TextField m_distance;
    LabelField m_note;  // why the selected session's marks cannot move, when they cannot

    void Changed(const std::string& name) override;
    // A distance that cannot be read is reported and keeps the dialog open.
    bool Accept() override;

  private:
    struct Row {
        CBriodashDataset* dataset;
        std::string distance;
    };
    void ShowSession();
    CBriodashDoc& m_doc;
    std::vector<Row> m_rows;
};

// Fields: the shown sessions ("session") and the two marker positions it aligns ("green",
// "red"). OK shifts the drive shaft of the chosen session.
class CDataAlignmentDialog : public CDialogModel {
  public:
    // `green` and `red` are the marker times as the chart shows them.
    CDataAlignmentDialog(CBriodashDoc& doc, const CBriodashDataset* current, int32_t green,
                         int32_t red);
    // Both markers must be set before the dialog opens (the message tells the user).
    static bool CanOpen(int32_t green, int32_t red, IHostServices& host);

    ChoiceField m_session;
    LabelField m_green, m_red;

    bool Accept() override;

  private:
    CBriodashDoc& m_doc;
    std::vector<CBriodashDataset*> m_sessions;
    int32_t m_lGreen, m_lRed;
};

// Fields: "Viewed Data-Sets" / "All Data-Sets" ("dataSets"), "Viewed Data Pts" / "Viewed
// Channels" / "All Channels" ("channels"), the events ("events", several may be selected) and
// "Time Difference between Selected Events" ("difference").
class CSwitchTimerDialog : public CDialogModel {
  public:
    // `windowStart` and `windowEnd` bound the graph's window (times relative to the zero).
    CSwitchTimerDialog(CBriodashDoc& doc, int32_t windowStart, int32_t windowEnd);

    RadioField m_dataSets;
    RadioField m_channels;
    ChoiceField m_events;
    LabelField m_difference;

    void Changed(const std::string& name) override;
    const std::vector<DigitalEvent>& Events() const { return m_list; }

  private:
    void Rebuild();
    CBriodashDoc& m_doc;
    SwitchEventFilter m_filter;
    std::vector<DigitalEvent> m_list;
};

}  // namespace orvex
