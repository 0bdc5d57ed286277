// State of the "Lap Times Report" dialog: one working copy of the marks of every session, the
// report lines, inserting marks by elapsed or relative time, deleting marks, and writing back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Dataset.h"

namespace orvex {

class IHostServices;

struct LapMark {
    int32_t time = 0;
    int32_t code = 0;
};

// Label of a mark: "Start", "  3" or "  3.1".
std::string LapLabel(int32_t code);
// The report lines of a list of marks: label, elapsed, split and lap time, tab separated.
std::vector<std::string> LapReportLines(const std::vector<LapMark>& marks);

class CLapTimesReport {
  public:
    struct Session {
        CBriodashDataset* dataset = nullptr;
        std::vector<LapMark> marks;
        bool changed = false;
    };

    // Opens on the sessions of the document (lap datasets are skipped), asking about those
    // whose marks are ET-configured. False, after "No Valid Session for Lap Report!", when no
    // session is left. `current` is selected when it is offered.
    bool Open(const std::vector<CBriodashDataset*>& sessions, const CBriodashDataset* current,
              IHostServices& host);

    const std::vector<Session>& Sessions() const { return m_sessions; }
    std::vector<std::string> SessionNames() const;
    int CurrentSession() const { return m_current; }
    void SelectSession(int index);

    std::vector<std::string> Lines() const;
    int SelectedLine() const { return m_selected; }
    void SelectLine(int line);  // -1: none

    bool m_bUpdateElapsed = false;  // "Update Elapsed Time"

    static std::string ElapsedPrompt() { return "Enter an absolute time from 0.000"; }
    // The question of "Relative Time"; nothing without a selected line.
    std::optional<std::string> RelativePrompt() const;

    // Each returns whether the marks changed; bad entries and missing selections are reported.
    bool InsertElapsed(const std::string& entry, IHostServices& host);
    bool InsertRelative(const std::string& entry, IHostServices& host);
    bool DeleteSelected(IHostServices& host);

    // OK: asks about changed sessions whose marks pass the end of their data; No selects that
    // session and returns false (the dialog stays). Otherwise the marks are written back and
    // shown; the changed sessions are returned through `written`.
    bool Ok(IHostServices& host, std::vector<CBriodashDataset*>* written = nullptr);

  private:
    std::vector<Session> m_sessions;
    int m_current = -1;
    int m_selected = -1;

    Session* Current();
    void InsertAt(int32_t time, std::size_t index);
};

}  // namespace orvex
