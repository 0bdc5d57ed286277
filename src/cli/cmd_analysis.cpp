// orvex-cli commands of the lap and signal analysis: laps, export, convert, distance; and the
// displayed values behind "dump --values display".
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "app/DataAcqApp.h"
#include "app/DocumentSetup.h"
#include "cli/AnalysisOutput.h"
#include "cli/Command.h"
#include "files/AsciiFile.h"
#include "files/ExportFile.h"
#include "graph/MarkerValues.h"
#include "host/StderrHost.h"
#include "model/Document.h"
#include "processing/EtSlipReport.h"
#include "processing/LapTimesReport.h"
#include "processing/LapView.h"
#include "processing/Laps.h"
#include "processing/SpeedDistance.h"
#include "processing/SpikeFilter.h"

namespace orvex::cli {

namespace {

// A document opened the way the program opens a file, by the program's document factory.
struct OpenedDocument {
    explicit OpenedDocument(Context& context) : ctx(context), host(context.host) {}
    Context& ctx;
    CStderrHost& host;
    std::unique_ptr<CBriodashDoc> doc;

    bool Open(const std::string& path) {
        doc = ctx.Documents().OpenDocument(path);
        return doc != nullptr;
    }
    float VoltageCorrection() const { return std::max(ctx.App().GetAnalog20Offset(), 0.0f); }

    // The n-th shown session (1-based), or nullptr with the message.
    CBriodashDataset* Dataset(long n) {
        std::vector<CBriodashDataset*> shown = doc->ShownDatasets();
        if (n < 1 || static_cast<std::size_t>(n) > shown.size()) {
            ctx.PrintError("The file holds %zu data-set(s); there is no data-set %ld.\n",
                           shown.size(), n);
            return nullptr;
        }
        return shown[static_cast<std::size_t>(n - 1)];
    }
};

int Laps(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string path = args.Positional(0, "FILE");
    const long n = args.GetInt("dataset", 1, 1, 1000000);
    OpenedDocument d(ctx);
    if (!d.Open(path)) return 1;
    CBriodashDataset* ds = d.Dataset(n);
    if (!ds) return 1;
    if (IsEtConfigured(ds->m_markers)) {
        CEtSlipReport report;
        if (!report.Open({ds}, ds, d.host)) return 1;
        ctx.Print("Launch\t%s\n", report.LaunchText().c_str());
        for (int k = 0; k < kEtFields; ++k) {
            ctx.Print("%s\t%s", kEtFieldCaptions[static_cast<std::size_t>(k)],
                      report.FieldText(k).c_str());
            if (k > 0 && !report.IncrementalText(k).empty())
                ctx.Print("\t%s", report.IncrementalText(k).c_str());
            ctx.Print("\n");
        }
        return 0;
    }
    std::vector<LapMark> marks;
    for (const CSample& m : ds->m_markers.m_samples) marks.push_back({m.m_lTime, m.m_lRaw});
    for (const std::string& line : LapReportLines(marks)) ctx.Print("%s\n", line.c_str());
    return 0;
}

int Export(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string in = args.Positional(0, "IN");
    const std::string out = args.Positional(1, "OUT.asc");
    const long n = args.GetInt("dataset", 1, 1, 1000000);
    const long mask = args.GetInt("mask", 0, 0, 0xFFFFFFFFL);
    const double rate = args.GetDouble("rate", 0.0, 0.0, 10000.0);
    OpenedDocument d(ctx);
    if (!d.Open(in)) return 1;
    CBriodashDataset* ds = d.Dataset(n);
    if (!ds) return 1;
    // Distance, speed and slip were derived when the document was opened.
    ExportOptions options;
    options.distanceAxis = args.Has("distance");
    options.units = d.doc->m_options.units;
    options.voltageCorrection = d.VoltageCorrection();
    return ExportAscii(out, *ds, static_cast<uint32_t>(mask), rate, options, d.host) ? 0 : 1;
}

int Convert(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string in = args.Positional(0, "IN.tac");
    const std::string out = args.Positional(1, "OUT.tbc");
    OpenedDocument d(ctx);
    if (!d.Open(in)) return 1;
    return d.doc->Save(out) ? 0 : 1;
}

int Distance(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string path = args.Positional(0, "FILE");
    const long source = args.GetInt("source", 0, 1, 4);
    if (!args.Has("source")) throw UsageError("--source is required (1..4)");
    const long n = args.GetInt("dataset", 1, 1, 1000000);
    // The sessions are derived from the asked source when the file is read, so that the lap
    // check speaks once, of that source.
    ctx.App().SetXDistMode(static_cast<int>(source));
    OpenedDocument d(ctx);
    if (!d.Open(path)) return 1;
    CBriodashDataset* ds = d.Dataset(n);
    if (!ds) return 1;
    if (ds->m_nDistanceSource != source &&
        !ComputeDistance(*ds, static_cast<int>(source), d.doc->m_options.units, d.host)) {
        ctx.PrintError("Data-set %ld has no data for distance source %ld.\n", n, source);
        return 1;
    }
    int32_t total = 0;
    ds->ForEachChannel([&total](const CSeriesBase& s) {
        if (s.Size()) total = std::max(total, s.DistanceAt(s.Tail()));
    });
    ctx.Print("Distance: %.1f ft\n", total / 10.0);
    if (ds->m_lLapDistance >= 0)
        ctx.Print("Lap distance: %.1f ft\n", ds->m_lLapDistance / 10.0);
    else
        ctx.Print("Lap distance: not available\n");
    return 0;
}

// Channel number of a name like "rpm3" with `prefix` (0 when it does not match).
int Numbered(const std::string& name, const std::string& prefix, int count) {
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    const std::string digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 2 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int n = std::stoi(digits);
    return n >= 1 && n <= count ? n : 0;
}

std::string SecondsText(int32_t t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%d.%04d", t < 0 ? "-" : "", std::abs(t / 10000),
                  std::abs(t % 10000));
    return buf;
}

}  // namespace

bool DisplayValueLines(CBriodashDataset& ds, const std::string& channel, Units units,
                       int distanceSource, float voltageCorrection, std::string& out) {
    out.clear();
    char line[96];
    if (int c = Numbered(channel, "rpm", kRpmChannels)) {
        CStderrHost host;
        DeriveAfterLoad(ds, distanceSource, units, host);
        const CFreqSetup* setup = ds.m_carSetup.FindRpmSetup(c);
        CShaftList& s = ds.m_rpm[static_cast<std::size_t>(c - 1)];
        const std::vector<int32_t> values = SmoothedRpmValues(ds, c, -1, units, false);
        std::size_t i = 0;
        for (Pos p = s.First(); p != kNoPos && i < values.size(); p = s.Next(p), ++i) {
            // Written as the marker list writes them.
            const bool speed = setup && setup->m_nDisplayMode == 0;
            const int32_t slip = s[p].m_lSlip;
            out += SecondsText(s.TimeAt(p)) + "\t" +
                   (speed ? FormatMarkerSpeed(values[i]) : FormatMarkerRpm(values[i]));
            if (slip != -1) {
                std::snprintf(line, sizeof line, "\t%.3f", slip / 1000.0);
                out += line;
            }
            out += "\n";
        }
        return true;
    }
    if (int c = Numbered(channel, "analog", kAnalogChannels)) {
        const CAnalogSetup* setup = ds.m_carSetup.FindAnalogSetup(c);
        CSampleList& s = ds.m_analog[static_cast<std::size_t>(c - 1)];
        const int n = setup ? std::max<int>(setup->m_nSmoothing, 1) : 1;
        const int r = setup ? std::max(setup->m_nResolution, 1) : 1;
        const int decimals = r >= 1000 ? 3 : r >= 100 ? 2 : r >= 10 ? 1 : 0;
        bool started = false;
        for (Pos p = s.First(); p != kNoPos; p = s.Next(p)) {
            const int64_t sum = started ? SmoothContinue(s, p) : SmoothStart(s, p, n);
            started = true;
            const auto raw = static_cast<int32_t>(sum / n);
            const double v =
                setup ? AnalogValue(*setup, raw, units, voltageCorrection) / static_cast<double>(r)
                      : raw;
            std::snprintf(line, sizeof line, "%s\t%.*f\n", SecondsText(s.TimeAt(p)).c_str(),
                          decimals, v);
            out += line;
        }
        return true;
    }
    if (int c = Numbered(channel, "digital", kDigitalChannels)) {
        const CSampleList& s = ds.m_digital[static_cast<std::size_t>(c - 1)];
        for (Pos p = s.First(); p != kNoPos; p = s.Next(p)) {
            std::snprintf(line, sizeof line, "%s\t%d\n", SecondsText(s.TimeAt(p)).c_str(),
                          s.GetSampleValue(p));
            out += line;
        }
        return true;
    }
    return false;
}

void AddAnalysisCommands(std::vector<CommandInfo>& table) {
    table.push_back({"laps", "laps FILE [--dataset N]", {}, {"dataset"}, Laps});
    table.push_back({"export",
                     "export IN OUT.asc [--dataset N] [--mask M] [--rate HZ] [--distance]",
                     {"distance"},
                     {"dataset", "mask", "rate"},
                     Export});
    table.push_back({"convert", "convert IN.tac OUT.tbc", {}, {}, Convert});
    table.push_back({"distance",
                     "distance FILE --source S [--dataset N]",
                     {},
                     {"dataset", "source"},
                     Distance});
}

}  // namespace orvex::cli
