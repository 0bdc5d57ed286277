#include "processing/LapView.h"

#include <optional>

#include "host/HostServices.h"
#include "host/Progress.h"
#include "processing/Laps.h"
#include "processing/SpeedDistance.h"

namespace orvex {

namespace {

using DatasetList = std::vector<std::unique_ptr<CBriodashDataset>>;

// Removes the lap datasets that follow `at` and inserts the session's new ones there.
DatasetList::iterator InsertLaps(DatasetList& list, DatasetList::iterator at, bool oneColour,
                                 IProgress* progress) {
    CBriodashDataset& session = **at;
    auto next = at + 1;
    while (next != list.end() && (*next)->m_nLap != 0) next = list.erase(next);
    auto laps = CutLaps(session, oneColour, progress);
    const auto index = at - list.begin();
    for (auto& lap : laps) lap->m_nGroup = session.m_nGroup;
    list.insert(at + 1, std::make_move_iterator(laps.begin()), std::make_move_iterator(laps.end()));
    return list.begin() + index + 1 + static_cast<std::ptrdiff_t>(laps.size());
}

// Whether the lap datasets that follow the session at `it` show every channel in their lap's
// colour (the answer to the colour question when they were cut).
bool LapsInOneColour(const DatasetList& list, DatasetList::const_iterator it) {
    const CBriodashDataset& session = **it;
    return it + 1 != list.end() && (*(it + 1))->m_nLap == 1 &&
           (*(it + 1))->m_rpm[0].m_crTrace == LapColour(1) &&
           session.m_rpm[0].m_crTrace != LapColour(1);
}

// Sets the lap view; entering it asks the colour question unless `oneColour` answers it.
void ApplyLapView(CBriodashDoc& doc, bool on, std::optional<bool> oneColour) {
    DatasetList& list = doc.m_datasets;
    // Whatever the mode, the old lap datasets go first.
    std::erase_if(list,
                  [](const std::unique_ptr<CBriodashDataset>& ds) { return ds->m_nLap != 0; });
    doc.m_bLapView = on;
    if (on) {
        bool started = false;
        std::unique_ptr<IProgress> progress;
        for (auto it = list.begin(); it != list.end();) {
            CBriodashDataset& session = **it;
            if (session.m_bDeleted || LapDatasetCount(session) == 0) {
                ++it;
                continue;
            }
            if (!started) {
                started = true;
                if (!oneColour)
                    oneColour =
                        doc.Host().Ask("Do you wish to set all channels in a Lap to one color?",
                                       Buttons::YesNo, Answer::No) == Answer::Yes;
                progress = OpenProgressWindow(doc.Host(), "Analyzing Laps");
            }
            it = InsertLaps(list, it, oneColour.value_or(false), progress.get());
        }
    }
    doc.UpdateAllViews(kHintRepaint);
}

}  // namespace

void SetLapView(CBriodashDoc& doc, bool on) {
    ApplyLapView(doc, on, std::nullopt);
}

CPlainViewScope::CPlainViewScope(CBriodashDoc& doc) : m_doc(doc), m_bWasOn(doc.m_bLapView) {
    if (!m_bWasOn) return;
    const DatasetList& list = doc.m_datasets;
    for (auto it = list.begin(); it != list.end(); ++it)
        if ((*it)->m_nLap == 0 && !(*it)->m_bDeleted && it + 1 != list.end() &&
            (*(it + 1))->m_nLap != 0) {
            m_bOneColour = LapsInOneColour(list, it);
            break;
        }
    ApplyLapView(doc, false, std::nullopt);
}

CPlainViewScope::~CPlainViewScope() {
    if (m_bWasOn) ApplyLapView(m_doc, true, m_bOneColour);
}

void RebuildLapDatasets(CBriodashDoc& doc, CBriodashDataset& session) {
    if (!doc.m_bLapView || session.m_nLap != 0) return;
    DatasetList& list = doc.m_datasets;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->get() != &session) continue;
        // Keep the colour choice the existing laps show.
        const bool oneColour = LapsInOneColour(list, it);
        auto progress = OpenProgressWindow(doc.Host(), "Analyzing Laps");
        InsertLaps(list, it, oneColour, progress.get());
        break;
    }
    doc.UpdateAllViews(kHintRepaint);
}

void ChangeBeaconsPerLap(CBriodashDoc& doc, CBriodashDataset& session, int32_t beaconsPerLap) {
    RenumberBeacons(session, beaconsPerLap);
    RebuildLapDatasets(doc, session);
    doc.m_bModified = true;
}

void DeriveDocument(CBriodashDoc& doc) {
    for (auto& ds : doc.m_datasets) {
        if (ds->m_nLap != 0 || ds->m_bDeleted) continue;
        DeriveAfterLoad(*ds, doc.m_options.distanceMode, doc.m_options.units, doc.Host());
    }
}

}  // namespace orvex
