#include "model/Document.h"

#include <algorithm>
#include <cctype>

#include "files/DataFile.h"
#include "host/HostServices.h"

namespace orvex {

namespace {

std::string Extension(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot);
}

std::string Directory(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsTbc(const std::string& ext) {
    std::string e = ext;
    for (char& c : e) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return e == ".TBC";
}

// An overlaid dataset whose first comment names a lap segment takes it into its name, cut
// before the blank that precedes the last hyphen ("Run:Lap 3 - 12:00" -> "Run:Lap 3").
std::string OverlayName(const CBriodashDataset& ds) {
    std::string comment = ds.GetFirstComment();
    std::string name = ds.m_strName;
    if (comment.find("Start") != std::string::npos || comment.find("Lap") != std::string::npos ||
        comment.find("End") != std::string::npos) {
        name += ":" + comment;
        std::size_t hyphen = name.find_last_of('-');
        if (hyphen != std::string::npos) name = name.substr(0, hyphen > 0 ? hyphen - 1 : 0);
    }
    return name;
}

}  // namespace

bool TurnsOnAny(const ChannelChoice& before, const ChannelChoice& after) {
    if (after.markersOn && !before.markersOn) return true;
    for (int i = 0; i < kRpmChannels; ++i)
        if ((after.rpmOn[i] && !before.rpmOn[i]) || (after.slipOn[i] && !before.slipOn[i]))
            return true;
    for (int i = 0; i < kAnalogChannels; ++i)
        if (after.analogOn[i] && !before.analogOn[i]) return true;
    for (int i = 0; i < kDigitalChannels; ++i)
        if (after.digitalOn[i] && !before.digitalOn[i]) return true;
    return false;
}

bool ChannelChoice::AnyOn() const {
    if (markersOn) return true;
    for (int i = 0; i < kRpmChannels; ++i)
        if (rpmOn[i] || slipOn[i]) return true;
    for (bool on : analogOn)
        if (on) return true;
    for (bool on : digitalOn)
        if (on) return true;
    return false;
}

ChannelChoice ChannelChoice::From(const CBriodashDataset& ds) {
    ChannelChoice c;
    c.markersOn = ds.m_markers.m_nOn != 0;
    c.markerColour = ds.m_markers.m_crTrace;
    for (int i = 0; i < kRpmChannels; ++i) {
        c.rpmOn[i] = ds.m_rpm[static_cast<std::size_t>(i)].m_nOn != 0;
        c.slipOn[i] = ds.m_rpm[static_cast<std::size_t>(i)].m_nSlipOn != 0;
        c.rpmColour[i] = ds.m_rpm[static_cast<std::size_t>(i)].m_crTrace;
        c.slipColour[i] = ds.m_rpm[static_cast<std::size_t>(i)].m_crSlip;
    }
    for (int i = 0; i < kAnalogChannels; ++i) {
        c.analogOn[i] = ds.m_analog[static_cast<std::size_t>(i)].m_nOn != 0;
        c.analogColour[i] = ds.m_analog[static_cast<std::size_t>(i)].m_crTrace;
    }
    for (int i = 0; i < kDigitalChannels; ++i) {
        c.digitalOn[i] = ds.m_digital[static_cast<std::size_t>(i)].m_nOn != 0;
        c.digitalColour[i] = ds.m_digital[static_cast<std::size_t>(i)].m_crTrace;
    }
    return c;
}

void ChannelChoice::ApplyTo(CBriodashDataset& ds) const {
    ds.m_markers.m_nOn = markersOn;
    ds.m_markers.m_crTrace = markerColour;
    for (int i = 0; i < kRpmChannels; ++i) {
        CShaftList& s = ds.m_rpm[static_cast<std::size_t>(i)];
        s.m_nOn = rpmOn[i];
        s.m_nSlipOn = slipOn[i];
        s.m_crTrace = rpmColour[i];
        s.m_crSlip = slipColour[i];
    }
    for (int i = 0; i < kAnalogChannels; ++i) {
        ds.m_analog[static_cast<std::size_t>(i)].m_nOn = analogOn[i];
        ds.m_analog[static_cast<std::size_t>(i)].m_crTrace = analogColour[i];
    }
    for (int i = 0; i < kDigitalChannels; ++i) {
        ds.m_digital[static_cast<std::size_t>(i)].m_nOn = digitalOn[i];
        ds.m_digital[static_cast<std::size_t>(i)].m_crTrace = digitalColour[i];
    }
}

CBriodashDoc::CBriodashDoc(IHostServices& host, DocumentOptions options)
    : m_options(options), m_host(host) {}

CBriodashDoc::~CBriodashDoc() = default;

bool CBriodashDoc::Open(const std::string& requested) {
    std::string path = requested;
    std::string ext = Extension(path);
    if (ext.empty()) {
        path += ".tbc";
        ext = ".tbc";
    }
    if (!IsTbc(ext)) {
        if (!m_readAscii) return false;
        if (!m_readAscii(*this, path)) return false;
        m_strPathName = path;
        m_strTitle = FileName(path);
        NameOpenedDatasets();
        if (m_derive) m_derive(*this);
        m_bModified = false;
        return true;
    }
    DataFileReadOptions options;
    options.units = m_options.units;
    DataFileContents contents;
    if (!ReadDataFile(path, m_host, options, contents)) return false;
    m_nMajor = contents.major;
    m_nMinor = contents.minor;
    m_nLetter = contents.letter;
    m_options.openTrackMap = contents.openTrackMap;
    m_options.calcBanking = contents.calcBanking;
    m_options.groundSpeedMap = contents.groundSpeedMap;
    m_datasets = std::move(contents.datasets);
    m_strPathName = path;
    m_strTitle = FileName(path);
    NameOpenedDatasets();
    if (m_derive) m_derive(*this);
    m_bModified = false;
    return true;
}

void CBriodashDoc::NameOpenedDatasets() {
    for (auto& ds : m_datasets) {
        ds->m_strName = OverlayName(*ds);
        ds->m_nGroup = ++m_nOverlayCount;
    }
}

bool CBriodashDoc::Save(const std::string& requested) {
    std::string path = requested;
    if (Extension(path).empty()) path += ".tbc";
    // Deleted datasets are dropped before the save; lap datasets are written as whole sessions.
    m_datasets.erase(std::remove_if(m_datasets.begin(), m_datasets.end(),
                                    [](const auto& ds) { return ds->m_bDeleted != 0; }),
                     m_datasets.end());
    const bool lapView = m_bLapView;
    if (lapView) SetLapView(false);
    DataFileContents contents;
    contents.openTrackMap = m_options.openTrackMap;
    contents.calcBanking = m_options.calcBanking;
    contents.groundSpeedMap = m_options.groundSpeedMap;
    contents.datasets = std::move(m_datasets);
    const bool ok = WriteDataFile(path, contents, m_host, m_options.units);
    m_datasets = std::move(contents.datasets);
    if (lapView) SetLapView(true);
    if (!ok) return false;
    m_strPathName = path;
    m_strTitle = FileName(path);
    m_bModified = false;
    UpdateAllViews(kHintRepaint);
    return true;
}

void CBriodashDoc::SetLapView(bool on) {
    if (m_setLapView) {
        m_setLapView(*this, on);
        return;
    }
    m_bLapView = on;
}

bool CBriodashDoc::AddOverlay(const std::string& path) {
    std::string title = m_strTitle;
    DataFileReadOptions options;
    options.units = m_options.units;
    options.overlay = true;
    DataFileContents contents;
    if (!ReadDataFile(path, m_host, options, contents)) return false;
    std::string previous;
    bool first = true;
    for (auto& ds : contents.datasets) {
        ds->m_strName = OverlayName(*ds);
        if (first || ds->m_strName != previous) {
            ++m_nOverlayCount;
            title += " & " + ds->m_strName;
        }
        first = false;
        previous = ds->m_strName;
        ds->m_nGroup = m_nOverlayCount;
        m_datasets.push_back(std::move(ds));
    }
    std::string base = m_strPathName.empty() ? path : m_strPathName;
    std::string ext = Extension(base);
    m_strPathName = Directory(base) + "ZODARU" + std::to_string(m_nOverlayCount) + ext;
    m_strTitle = title;
    if (m_derive) m_derive(*this);
    m_bModified = true;
    UpdateAllViews(kHintRepaint);
    return true;
}

CBriodashDataset& CBriodashDoc::AddUploadDataset() {
    m_datasets.insert(m_datasets.begin(), std::make_unique<CBriodashDataset>());
    return *m_datasets.front();
}

std::vector<std::unique_ptr<CBriodashDataset>>::iterator CBriodashDoc::Find(
    const CBriodashDataset& ds) {
    return std::find_if(m_datasets.begin(), m_datasets.end(),
                        [&](const auto& p) { return p.get() == &ds; });
}

void CBriodashDoc::DeleteDataset(CBriodashDataset& ds) {
    auto it = Find(ds);
    if (it == m_datasets.end()) return;
    const int32_t group = ds.m_nGroup;
    for (auto from = it; it != m_datasets.end(); ++it) {
        if (it != from && (*it)->m_nGroup != group) continue;
        (*it)->m_bDeleted = 1;
        (*it)->m_lstComments.insert((*it)->m_lstComments.begin(), "DELETED");
        for (IDocumentView* v : m_views) v->OnDatasetReplaced(it->get(), nullptr);
    }
    m_bModified = true;
    UpdateAllViews(kHintMarkersShown);
}

CBriodashDataset* CBriodashDoc::DeleteData(CBriodashDataset& ds, int32_t before, int32_t after) {
    if (m_host.Ask("You are about to delete data, there is no 'undo'.\nDo you wish to continue?",
                   Buttons::YesNo, Answer::No) != Answer::Yes)
        return nullptr;
    if (before == kNotSet && after == kNotSet) {
        m_host.Message("Nothing has been selected to delete!", Icon::Warning);
        return nullptr;
    }
    if (before != kNotSet && after != kNotSet && after < before) {
        m_host.Message("Deleting an Interior selection of data NOT currently supported!",
                       Icon::Warning);
        return nullptr;
    }
    // Times given relative to the zero are made absolute.
    if (ds.m_nTimeRef != 0) {
        if (before != kNotSet) before += ds.m_lZeroTime;
        if (after != kNotSet) after += ds.m_lZeroTime;
    }
    auto markDeleted = [](CBriodashDataset& d) {
        d.m_bDeleted = 1;
        d.m_lstComments.insert(d.m_lstComments.begin(), "DELETED");
    };
    CBriodashDataset* kept = &ds;
    if (before != kNotSet) {
        auto copy = std::make_unique<CBriodashDataset>(ds);
        const int32_t zero = ds.m_lZeroTime;
        ds.SplitAt(before, *copy);
        // A zero before the cut keeps pointing at the same data in the re-based copy.
        if (zero < before) copy->m_lZeroTime = zero - before;
        kept = copy.get();
        auto it = Find(ds);
        m_datasets.insert(it + 1, std::move(copy));
        markDeleted(ds);
        for (IDocumentView* v : m_views) v->OnDatasetReplaced(&ds, kept);
        auto shift = [&](int32_t& time, int32_t& distance) {
            if (time == kNotSet) return;
            time -= before;
            if (time < 0) time = distance = kNotSet;
        };
        shift(m_lGreenTime, m_lGreenDistance);
        shift(m_lRedTime, m_lRedDistance);
        if (after != kNotSet) after -= before;
    }
    if (after != kNotSet) {
        auto tail = std::make_unique<CBriodashDataset>(*kept);
        kept->SplitAt(after, *tail);
        markDeleted(*tail);
        auto it = Find(*kept);
        m_datasets.insert(it + 1, std::move(tail));
        if (m_lGreenTime != kNotSet && m_lGreenTime > after)
            m_lGreenTime = m_lGreenDistance = kNotSet;
        if (m_lRedTime != kNotSet && m_lRedTime > after) m_lRedTime = m_lRedDistance = kNotSet;
    }
    for (auto& s : kept->m_rpm) {
        s.ClearMinMax();
        s.FindMinMax(true);
    }
    for (auto& s : kept->m_analog) {
        s.ClearMinMax();
        s.FindMinMax(true);
    }
    if (m_reanalyseLaps) m_reanalyseLaps(*this, *kept);
    m_bModified = true;
    UpdateAllViews(kHintMarkersShown);
    m_host.Message("Data has been deleted.", Icon::Information);
    return kept;
}

bool CBriodashDoc::Rename(CBriodashDataset& ds, const std::string& name) {
    if (name.empty()) {
        m_host.Message("A Name must be specified!", Icon::Warning);
        return false;
    }
    if (ds.m_strName != name) {
        ds.m_strName = name;
        m_bModified = true;
        UpdateAllViews(kHintRepaint);
    }
    return true;
}

std::string CBriodashDoc::CommentsText(const CBriodashDataset& ds) {
    std::string text;
    for (std::size_t i = 0; i < ds.m_lstComments.size(); ++i) {
        if (i) text += "\r\n";
        text += ds.m_lstComments[i];
    }
    return text;
}

void CBriodashDoc::SetComments(CBriodashDataset& ds, const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        std::string line =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (lines.size() == 1 && lines[0].empty()) lines.clear();
    if (lines != ds.m_lstComments) {
        ds.m_lstComments = std::move(lines);
        m_bModified = true;
        UpdateAllViews(kHintRepaint);
    }
}

void CBriodashDoc::ApplyChannelChanges(
    const std::vector<std::pair<CBriodashDataset*, ChannelChoice>>& changes) {
    char buf[1024];
    for (const auto& [ds, choice] : changes) {
        if (!ds || !ds->IsShown(false)) continue;
        if (m_pRaceMode && m_pRaceMode->IsActive()) {
            const std::string name = ds->GetDisplayName(3);
            const bool inRace = m_pRaceMode->Contains(*ds);
            if (!inRace && TurnsOnAny(ChannelChoice::From(*ds), choice)) {
                std::snprintf(buf, sizeof buf,
                              "Session '%s' is NOT currently being used for Race Mode\n"
                              "and some of it's channels have been turned on for viewing.\n\n"
                              "Do you wish to to add it to Race Mode?",
                              name.c_str());
                if (m_host.Ask(buf, Buttons::YesNo, Answer::No) != Answer::Yes) {
                    std::snprintf(buf, sizeof buf, "Changes to Session '%s' will be ignored!",
                                  name.c_str());
                    m_host.Message(buf, Icon::Warning);
                    continue;
                }
                if (!m_pRaceMode->Add(*ds)) {
                    std::snprintf(buf, sizeof buf,
                                  "Session '%s' could NOT be added to Race Mode!"
                                  "Changes to this Session will be ignored.",
                                  name.c_str());
                    m_host.Message(buf, Icon::Warning);
                    continue;
                }
            } else if (inRace && !choice.AnyOn()) {
                std::snprintf(buf, sizeof buf,
                              "All channels have been turned off for %s.\n"
                              "This Session is being used for Race Mode.\n"
                              "Changes to this Session will be ignored.",
                              name.c_str());
                m_host.Message(buf, Icon::Warning);
                continue;
            }
        }
        choice.ApplyTo(*ds);
    }
    UpdateAllViews(kHintRepaint);
}

std::vector<CBriodashDataset*> CBriodashDoc::ShownDatasets(bool flag) const {
    std::vector<CBriodashDataset*> out;
    for (const auto& ds : m_datasets)
        if (ds->IsShown(flag)) out.push_back(ds.get());
    return out;
}

int32_t CBriodashDoc::EarliestStart(bool relative) const {
    int32_t t = kNotSet;
    for (CBriodashDataset* ds : ShownDatasets()) t = std::min(t, ds->GetStartTime(false, relative));
    return t;
}

int32_t CBriodashDoc::LatestEnd(bool relative) const {
    int32_t t = kMinInt32;
    for (CBriodashDataset* ds : ShownDatasets()) t = std::max(t, ds->GetEndTime(false, relative));
    return t;
}

bool CBriodashDoc::AnyRpmData() const {
    for (CBriodashDataset* ds : ShownDatasets())
        for (const CShaftList& s : ds->m_rpm)
            if (!s.IsEmpty()) return true;
    return false;
}

bool CBriodashDoc::AnyChannelOn() const {
    for (const auto& ds : m_datasets)
        if (ChannelChoice::From(*ds).AnyOn()) return true;
    return false;
}

namespace {

// The first non-empty series of the dataset's distance source, or of any RPM channel.
const CSeriesBase* DistanceSeries(const CBriodashDataset& ds) {
    for (const CShaftList& s : ds.m_rpm)
        if (!s.IsEmpty()) return &s;
    return nullptr;
}

}  // namespace

void CBriodashDoc::SyncMarkerPositions() {
    const CBriodashDataset* source = nullptr;
    for (CBriodashDataset* ds : ShownDatasets()) {
        if (ds->m_nDistanceSource != 0 && DistanceSeries(*ds)) {
            source = ds;
            break;
        }
    }
    if (!source) return;
    const CSeriesBase& s = *DistanceSeries(*source);
    auto complete = [&](int32_t& time, int32_t& distance) {
        if (time != kNotSet && distance == kNotSet) {
            Pos p = s.FindAfter(time, s.First(), false, false);
            if (p != kNoPos) distance = s.DistanceAt(p);
        } else if (distance != kNotSet && time == kNotSet) {
            Pos p = s.FindAfter(distance, s.First(), true, false);
            if (p != kNoPos) time = s.GetSampleTime(p, true);
        }
    };
    complete(m_lGreenTime, m_lGreenDistance);
    complete(m_lRedTime, m_lRedDistance);
}

void CBriodashDoc::AddView(IDocumentView* view) {
    m_views.push_back(view);
}

void CBriodashDoc::RemoveView(IDocumentView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

IDocumentView* CBriodashDoc::FindView(ViewKind kind) const {
    for (IDocumentView* v : m_views)
        if (v->Kind() == kind) return v;
    return nullptr;
}

void CBriodashDoc::UpdateAllViews(const ViewUpdate& update) {
    // A view may close or open another while it is told: walk a copy of the list.
    const std::vector<IDocumentView*> views = m_views;
    for (IDocumentView* v : views)
        if (v != update.sender && std::find(m_views.begin(), m_views.end(), v) != m_views.end())
            v->OnUpdate(update);
}

void CBriodashDoc::ReportUnitsMismatch() {
    m_host.Message(
        "Error: Attempting to read a file stored in\nunits that differs from current settings\n\n"
        "Change the units in \"Settings\" - \"Units\"",
        Icon::Warning);
}

void CDeleteDataSelection::Choose(Group group, bool before) {
    static const char* names[] = {"", "Green Marker", "Red Marker", "Lap Marker"};
    if (m_group == group) {
        // Clicking a chosen option again clears it.
        bool& option = before ? m_bBefore : m_bAfter;
        option = !option;
        if (!m_bBefore && !m_bAfter) m_group = None;
        return;
    }
    if (m_group != None) {
        std::string q = std::string(names[group]) + " selection overlaps " + names[m_group] +
                        " selection.\nRemove " + names[m_group] + " selection?";
        if (m_host.Ask(q, Buttons::YesNo, Answer::No) != Answer::Yes) return;
    }
    m_group = group;
    m_bBefore = before;
    m_bAfter = !before;
    m_bWholeDataset = false;
}

bool CDeleteDataSelection::ChooseWholeDataset() {
    if (m_group != None) {
        if (m_host.Ask("Entire Data-Set selection overlaps other marker selection(s).\n"
                       "Remove other marker selection(s)?",
                       Buttons::YesNo, Answer::No) != Answer::Yes)
            return m_bWholeDataset;
        m_group = None;
        m_bBefore = m_bAfter = false;
    }
    m_bWholeDataset = true;
    return true;
}

}  // namespace orvex
