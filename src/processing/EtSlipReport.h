// State of the "ET Slip Report" dialog: per session the launch time and the five elapsed
// times of a drag-race time slip, the launch choices, the incrementals and writing the marks.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Dataset.h"

namespace orvex {

class IHostServices;

inline constexpr int kEtFields = 5;
// Captions of the five elapsed-time fields (60, 330, 660, 1000 and 1320 ft).
extern const std::array<const char*, kEtFields> kEtFieldCaptions;

struct TimeChoice {
    std::string text;
    int32_t time = 0;  // relative to the session's zero
    bool userDefined = false;
};

class CEtSlipReport {
  public:
    struct Session {
        CBriodashDataset* dataset = nullptr;
        std::optional<int32_t> launch;  // relative to the session's zero
        std::array<std::optional<int32_t>, kEtFields> elapsed;
    };

    // Reads every session (lap datasets are skipped); sessions whose marks are not
    // ET-configured are converted, shown empty or left out as the user answers. False when
    // no session is left.
    bool Open(const std::vector<CBriodashDataset*>& sessions, const CBriodashDataset* current,
              IHostServices& host);

    const std::vector<Session>& Sessions() const { return m_sessions; }
    int CurrentSession() const { return m_current; }
    void SelectSession(int index);

    // "Launch Time from:": "User Defined", the markers when set (times as the chart shows
    // them, kNotSet when unset) and the events of digital channels 5 and 6.
    std::vector<TimeChoice> LaunchChoices(int32_t green, int32_t red) const;
    void ChooseLaunch(const TimeChoice& choice);

    std::string LaunchText() const;
    std::string FieldText(int field) const;        // 0..4: 60 .. 1320 ft
    std::string IncrementalText(int field) const;  // 1..4: 330 .. 1320 ft
    // Typed entries; an empty text clears the field, a bad one is reported and refused.
    bool SetLaunchText(const std::string& text, IHostServices& host);
    bool SetFieldText(int field, const std::string& text, IHostServices& host);

    // Apply or OK: every session's marks are rewritten from its times and shown.
    void Apply();

  private:
    std::vector<Session> m_sessions;
    int m_current = -1;
    Session* Current();
    const Session* Current() const;
};

}  // namespace orvex
