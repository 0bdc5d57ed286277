// orvex-cli trackmap: the track map of one lap, its figures, segments and samples.
#include <cstdio>
#include <memory>
#include <string>

#include "app/DataAcqApp.h"
#include "app/DocumentSetup.h"
#include "cli/Command.h"
#include "cli/TrackMapOfLap.h"
#include "host/StderrHost.h"
#include "model/Document.h"
#include "trackmap/TrackMap.h"

namespace orvex::cli {

namespace {

void PrintSegments(Context& ctx, const char* what, const CTrackMap& map,
                   const CTrackSegments& segments) {
    for (std::size_t j = 0; j < segments.Count(); ++j) {
        const int32_t at = segments.m_bounds[j];
        ctx.Print("%s\t%d\t%.9g\t%d\n", what, at, map.m_samples[static_cast<std::size_t>(at)].m_dS,
                  segments.m_kinds[j]);
    }
}

bool WriteCsv(Context& ctx, const std::string& path, const CTrackMap& map) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) {
        ctx.PrintError("Could not create the file %s.\n", path.c_str());
        return false;
    }
    std::fprintf(f, "x,y,s,t,long_g,lat_g,vert_g,v,curvature,radius,bank,heading\n");
    for (const CTrackSample& p : map.m_samples)
        std::fprintf(f, "%.9g,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g\n", p.m_dX,
                     p.m_dY, p.m_dS, p.m_dTime, p.m_dLongG, p.m_dLatG, p.m_dVertG, p.m_dSpeed,
                     p.m_dCurvature, p.m_dRadius, p.m_dBank, p.m_dHeading);
    const bool ok = std::fflush(f) == 0 && !std::ferror(f);
    if (std::fclose(f) != 0 || !ok) {
        ctx.PrintError("Could not write the file %s.\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

LapMapOutcome TrackMapOfLap(const Args& args, const char* lapOption, Context& ctx,
                            CBriodashDoc& doc, CTrackMap& map) {
    if (!args.Has(lapOption)) throw UsageError(std::string("--") + lapOption + " is required");
    LapMapChoice choice;
    choice.lap = args.GetInt(lapOption, 1, 1, 1000000);
    choice.dataset = args.GetInt("dataset", 1, 1, 1000000);
    choice.speedSource =
        static_cast<int>(args.GetInt("source", ctx.App().GetGroundSpeedMap(), 1, 4));
    choice.open = args.Has("open");
    choice.banking = args.Has("banking");
    choice.acceptOddDistance = args.Has("yes");
    LapMapOutcome outcome = MakeLapTrackMap(doc, ctx.App(), choice, map, ctx.host);
    if (!outcome.ok && !outcome.error.empty()) ctx.PrintError("%s\n", outcome.error.c_str());
    return outcome;
}

namespace {

int TrackMapCommand(const Args& args, Context& ctx) {
    const std::string path = args.Positional(0, "FILE");
    if (!args.Has("lap")) throw UsageError("--lap is required");
    std::unique_ptr<CBriodashDoc> doc = ctx.Documents().OpenDocument(path);
    if (!doc) return 1;
    CTrackMap map;
    if (!TrackMapOfLap(args, "lap", ctx, *doc, map).ok) return 1;

    const CTrackSample& last = map.m_samples.back();
    ctx.Print("samples\t%.9g\n", static_cast<double>(map.GetCount()));
    ctx.Print("cycles\t%.9g\n", static_cast<double>(map.m_nCycles));
    ctx.Print("heading\t%.9g\n", last.m_dHeading);
    ctx.Print("direction\t%d\n", map.m_bDirection);
    ctx.Print("length_ft\t%.9g\n", last.m_dS);
    ctx.Print("bbox\t%.9g\t%.9g\t%.9g\t%.9g\n", map.m_dMinX, map.m_dMinY, map.m_dMaxX, map.m_dMaxY);
    if (args.Has("segments")) {
        PrintSegments(ctx, "accel", map, map.m_accel);
        PrintSegments(ctx, "corner", map, map.m_corners);
    }
    if (auto csv = args.Get("csv"); csv && !WriteCsv(ctx, *csv, map)) return 1;
    return 0;
}

}  // namespace

void AddTrackMapCommands(std::vector<CommandInfo>& table) {
    table.push_back({"trackmap",
                     "trackmap FILE --lap L [--dataset N] [--source 1|2|3|4] [--open] [--banking] "
                     "[--yes] [--csv OUT] [--segments]",
                     {"open", "banking", "yes", "segments"},
                     {"lap", "dataset", "source", "csv"},
                     TrackMapCommand});
}

}  // namespace orvex::cli
