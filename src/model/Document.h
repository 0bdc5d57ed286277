// The document of one data window: the datasets of one data file (plus files overlaid on it,
// or one upload), the marker positions, the lap-view and race-mode switches, open/save/overlay
// and the edits that cut, delete, rename and comment datasets.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/Dataset.h"
#include "model/Units.h"
#include "model/ViewHints.h"

namespace orvex {

class IHostServices;

enum class ViewKind { Graph, MarkerList, TrackMap, TractionCircle, LapReport, Histogram };

// A view of a document: told of every change with an update (hint word, payload, sender).
class IDocumentView {
  public:
    virtual ~IDocumentView() = default;
    virtual ViewKind Kind() const = 0;
    virtual void OnUpdate(const ViewUpdate& update) = 0;
    // The view's current dataset was deleted or replaced (nullptr: none).
    virtual void OnDatasetReplaced(const CBriodashDataset* /*old*/, CBriodashDataset* /*now*/) {}
};

// Race mode as the document needs it for its channel-change guard.
class IRaceMode {
  public:
    virtual ~IRaceMode() = default;
    virtual bool IsActive() const = 0;
    virtual bool Contains(const CBriodashDataset& ds) const = 0;
    virtual bool Add(CBriodashDataset& ds) = 0;
};

// The application options a document copies when it is created.
struct DocumentOptions {
    uint16_t openTrackMap = 0;
    uint16_t calcBanking = 0;
    uint16_t groundSpeedMap = 1;
    int32_t distanceMode = 2;
    Units units = Units::Imperial;
};

// One dataset's channel choices from the channel dialogs.
struct ChannelChoice {
    bool markersOn = false;
    int32_t markerColour = 0;
    bool rpmOn[kRpmChannels] = {};
    bool slipOn[kRpmChannels] = {};
    int32_t rpmColour[kRpmChannels] = {};
    int32_t slipColour[kRpmChannels] = {};
    bool analogOn[kAnalogChannels] = {};
    int32_t analogColour[kAnalogChannels] = {};
    bool digitalOn[kDigitalChannels] = {};
    int32_t digitalColour[kDigitalChannels] = {};

    bool AnyOn() const;
    static ChannelChoice From(const CBriodashDataset& ds);
    void ApplyTo(CBriodashDataset& ds) const;
};

// Whether `after` switches on a channel that is off in `before`.
bool TurnsOnAny(const ChannelChoice& before, const ChannelChoice& after);

class CBriodashDoc {
  public:
    CBriodashDoc(IHostServices& host, DocumentOptions options);
    ~CBriodashDoc();

    // Platform document state.
    std::string m_strPathName;
    std::string m_strTitle;
    bool m_bModified = false;

    DocumentOptions m_options;
    uint16_t m_nMajor = 3, m_nMinor = 3, m_nLetter = 'e';
    int32_t m_lGreenTime = kNotSet, m_lRedTime = kNotSet;
    int32_t m_lGreenDistance = kNotSet, m_lRedDistance = kNotSet;
    bool m_bLapView = false;
    int32_t m_nOverlayCount = 0;
    std::vector<std::unique_ptr<CBriodashDataset>> m_datasets;

    // Open a data file: ".tbc" (any case, or no extension) is binary, others are ASCII files.
    bool Open(const std::string& path);
    bool Save(const std::string& path);
    bool AddOverlay(const std::string& path);

    // The upload's producer entry: a new dataset at the head of the list.
    CBriodashDataset& AddUploadDataset();

    void DeleteDataset(CBriodashDataset& ds);
    // Cuts the data of `ds` before and/or after the given times (kNotSet when not given), times
    // relative to the dataset's zero. Returns the dataset that holds the kept data, or nullptr
    // when nothing was done (the reason has been shown).
    CBriodashDataset* DeleteData(CBriodashDataset& ds, int32_t before, int32_t after);
    // "A Name must be specified!" for an empty name.
    bool Rename(CBriodashDataset& ds, const std::string& name);
    static std::string CommentsText(const CBriodashDataset& ds);
    void SetComments(CBriodashDataset& ds, const std::string& text);

    // Applies the channel dialogs' choices to each shown dataset, guarded by race mode.
    void ApplyChannelChanges(
        const std::vector<std::pair<CBriodashDataset*, ChannelChoice>>& changes);
    void SetRaceMode(IRaceMode* race) { m_pRaceMode = race; }

    // Shown datasets and aggregate queries over them.
    std::vector<CBriodashDataset*> ShownDatasets(bool flag = false) const;
    int ShownCount() const { return static_cast<int>(ShownDatasets().size()); }
    int32_t EarliestStart(bool relative = true) const;
    int32_t LatestEnd(bool relative = true) const;
    bool AnyRpmData() const;
    bool AnyChannelOn() const;

    // Completes the green and red marker positions: a time without distance gets the distance
    // at that time and the reverse, from the first shown dataset that has distances.
    void SyncMarkerPositions();

    // Views.
    void AddView(IDocumentView* view);
    void RemoveView(IDocumentView* view);
    IDocumentView* FindView(ViewKind kind) const;
    // Tells every view but the update's sender.
    void UpdateAllViews(const ViewUpdate& update);
    void UpdateAllViews(uint32_t hint) { UpdateAllViews(ViewUpdate{.hint = hint}); }

    // Reports that an ASCII file was stored in other units than the current ones.
    void ReportUnitsMismatch();

    // Lap view: sessions split into lap datasets. Installed by the lap analysis.
    std::function<void(CBriodashDoc&, bool)> m_setLapView;
    // Lap analysis run again on a dataset after its data were cut.
    std::function<void(CBriodashDoc&, CBriodashDataset&)> m_reanalyseLaps;
    // Distance, speed, slip and laps derived after datasets were read or uploaded.
    std::function<void(CBriodashDoc&)> m_derive;
    // Readers for files that are not binary data files.
    std::function<bool(CBriodashDoc&, const std::string&)> m_readAscii;

    IHostServices& Host() { return m_host; }

  private:
    void SetLapView(bool on);
    void NameOpenedDatasets();
    std::vector<std::unique_ptr<CBriodashDataset>>::iterator Find(const CBriodashDataset& ds);

    IHostServices& m_host;
    IRaceMode* m_pRaceMode = nullptr;
    std::vector<IDocumentView*> m_views;
};

// The "Delete Data from Session/Pass" dialog's choice of a cut point: only one group of
// green, red or lap marker choices at a time, or the whole data-set.
class CDeleteDataSelection {
  public:
    enum Group { None = 0, Green = 1, Red = 2, Lap = 3 };
    explicit CDeleteDataSelection(IHostServices& host) : m_host(host) {}

    // Clicking "Delete before/after" of a group; asks before replacing another group's choice.
    void Choose(Group group, bool before);
    // "Delete Data-Set": clears the marker choices (asks when any was set). Returns whether
    // the whole data-set is now chosen.
    bool ChooseWholeDataset();

    Group m_group = None;
    bool m_bBefore = false, m_bAfter = false;
    bool m_bWholeDataset = false;

  private:
    IHostServices& m_host;
};

}  // namespace orvex
