#include "app/LapTrackMap.h"

#include <cstdio>

#include "app/DataAcqApp.h"
#include "model/Document.h"
#include "trackmap/TrackSamples.h"

namespace orvex {

LapMapOutcome MakeLapTrackMap(CBriodashDoc& doc, const CDataAcqApp& app, const LapMapChoice& choice,
                              CTrackMap& map, IHostServices& host) {
    LapMapOutcome out;
    map.RemoveAll();
    char buf[160];
    const std::vector<CBriodashDataset*> shown = doc.ShownDatasets();
    if (choice.dataset < 1 || static_cast<std::size_t>(choice.dataset) > shown.size()) {
        std::snprintf(buf, sizeof buf, "The file holds %zu data-set(s); there is no data-set %ld.",
                      shown.size(), choice.dataset);
        out.error = buf;
        return out;
    }
    CBriodashDataset& ds = *shown[static_cast<std::size_t>(choice.dataset - 1)];
    out.session = &ds;
    const int source =
        choice.speedSource == 0 ? static_cast<int>(app.GetGroundSpeedMap()) : choice.speedSource;
    if (!HasSpeedSource(ds, source)) {
        out.error = std::string(SpeedSourceName(source)) + " channel NOT valid.";
        return out;
    }
    const std::optional<TrackLap> lap = FindTrackLap(ds, static_cast<int32_t>(choice.lap));
    if (!lap) {
        std::snprintf(buf, sizeof buf, "Data-set %ld has no lap %ld.", choice.dataset, choice.lap);
        out.error = buf;
        return out;
    }
    if (LapDistanceDiffers(*lap) && !choice.acceptOddDistance) {
        out.error = LapDistanceQuestion(*lap);
        return out;
    }
    TrackMapOptions options;
    options.speedSource = source;
    options.open = choice.open;
    options.banking = choice.banking;
    options.lateralPos = app.GetTrackMapLateralPos();
    options.lateralNeg = app.GetTrackMapLateralNeg();
    options.longitudePos = app.GetTrackMapLongitudePos();
    options.longitudeNeg = app.GetTrackMapLongitudeNeg();
    out.ok = MakeTrackMap(*lap, options, doc.m_options.units, map, host) == TrackMapResult::Ok;
    return out;
}

}  // namespace orvex
