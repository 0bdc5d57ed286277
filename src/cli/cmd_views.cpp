// orvex-cli commands of the auxiliary views: histogram band times, traction circle ranges and
// the lap segment report, computed as the windows compute them and printed as JSON.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/DataAcqApp.h"
#include "app/DocumentSetup.h"
#include "cli/Command.h"
#include "cli/TrackMapOfLap.h"
#include "host/StderrHost.h"
#include "model/Document.h"
#include "views/Histogram.h"
#include "views/LapSegmentReport.h"
#include "views/SelectionDialogs.h"
#include "views/TractionCircle.h"
#include "views/ViewData.h"

namespace orvex::cli {

namespace {

std::string JsonText(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

// A number with every digit it has (integers without a fraction).
std::string JsonNumber(double v) {
    if (!std::isfinite(v)) return "null";
    char buf[40];
    if (v == std::trunc(v) && std::fabs(v) < 1e15)
        std::snprintf(buf, sizeof buf, "%.0f", v);
    else
        std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// A float field with the fewest digits that read back as the same float.
std::string JsonFloat(float v) {
    if (!std::isfinite(v)) return "null";
    char buf[40];
    for (int digits = 6; digits <= 9; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, static_cast<double>(v));
        if (std::strtof(buf, nullptr) == v) break;
    }
    return buf;
}

// A document opened as the program opens a file.
struct ViewDocument {
    explicit ViewDocument(Context& context)
        : ctx(context), host(context.host), app(context.App()) {}
    Context& ctx;
    CStderrHost& host;
    CDataAcqApp& app;
    std::unique_ptr<CBriodashDoc> doc;

    bool Open(const std::string& path) {
        doc = ctx.Documents().OpenDocument(path);
        return doc != nullptr;
    }
    Units GetUnits() const { return doc->m_options.units; }
    float VoltageCorrection() const { return std::max(app.GetAnalog20Offset(), 0.0f); }
};

// The sessions or laps named by the options (dataset 1 whole by default); false after the
// message when one is not in the file.
bool SelectedEntries(ViewDocument& d, const std::vector<std::string>& specs,
                     std::vector<CDatasetList>& out) {
    const std::vector<CBriodashDataset*> shown = d.doc->ShownDatasets();
    for (const std::string& spec : specs.empty() ? std::vector<std::string>{"1"} : specs) {
        long n = 0, lap = 0;
        char tail = 0;
        const int fields = std::sscanf(spec.c_str(), "%ld:%ld%c", &n, &lap, &tail);
        if (fields < 1 || fields > 2 || (fields == 1 && spec.find(':') != std::string::npos))
            throw UsageError("--dataset takes N or N:L, not '" + spec + "'");
        if (n < 1 || static_cast<std::size_t>(n) > shown.size()) {
            d.ctx.PrintError("The file holds %zu data-set(s); there is no data-set %ld.\n",
                             shown.size(), n);
            return false;
        }
        CBriodashDataset& ds = *shown[static_cast<std::size_t>(n - 1)];
        if (fields == 1) {
            out.push_back(SessionEntry(ds));
            continue;
        }
        int32_t start = 0, end = 0;
        if (!LapBounds(ds, static_cast<int>(lap), start, end)) {
            d.ctx.PrintError("Data-set %ld has no lap %ld.\n", n, lap);
            return false;
        }
        out.push_back(LapEntry(ds, static_cast<int>(lap)));
    }
    return true;
}

// "rpm3", "analog12", "digital2" as kind and number; false when the name is not one of them.
bool ParseChannel(const std::string& name, ChannelKind& kind, int& number) {
    const std::pair<const char*, ChannelKind> prefixes[] = {{"rpm", ChannelKind::Rpm},
                                                            {"analog", ChannelKind::Analog},
                                                            {"digital", ChannelKind::Digital}};
    const int counts[] = {kRpmChannels, kAnalogChannels, kHistogramDigitalChannels};
    for (int i = 0; i < 3; ++i) {
        const std::string prefix = prefixes[i].first;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.empty() || digits.size() > 2 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        number = std::stoi(digits);
        kind = prefixes[i].second;
        return number >= 1 && number <= counts[i];
    }
    return false;
}

int32_t SecondsOption(const Args& args, const char* name) {
    if (!args.Has(name)) return kNotSet;
    const double s = args.GetDouble(name, 0.0, -200000.0, 200000.0);
    return static_cast<int32_t>(std::llround(s * 10000.0));
}

int Histogram(const Args& args, Context& ctx) {
    const std::string path = args.Positional(0, "FILE");
    const std::string channelList = args.Get("channel", "");
    if (channelList.empty()) throw UsageError("--channel is required");
    const std::string scale = args.Get("scale", "time");
    if (scale != "time" && scale != "range" && scale != "selected")
        throw UsageError("--scale is time, range or selected");
    std::vector<std::pair<ChannelKind, int>> wanted;
    for (std::size_t from = 0; from <= channelList.size();) {
        const std::size_t comma = std::min(channelList.find(',', from), channelList.size());
        const std::string name = channelList.substr(from, comma - from);
        ChannelKind kind{};
        int number = 0;
        if (!ParseChannel(name, kind, number)) throw UsageError("unknown channel '" + name + "'");
        wanted.push_back({kind, number});
        from = comma + 1;
    }

    ViewDocument d(ctx);
    if (!d.Open(path)) return 1;
    std::vector<CDatasetList> entries;
    if (!SelectedEntries(d, args.GetAll("dataset"), entries)) return 1;

    const int32_t start = SecondsOption(args, "start"), end = SecondsOption(args, "end");
    CSessionSelectDialog sessions(d.host, "Select Sessions for Histogram", entries, {},
                                  static_cast<int>(wanted.size()));
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        if (!sessions.Add(i)) return 1;
        const CDatasetList& e = sessions.Selected().back();
        sessions.SetTimes(i, start != kNotSet ? start : e.m_lStart,
                          end != kNotSet ? end : e.m_lEnd);
    }
    if (!sessions.Accept()) return 1;

    CHistogramSelection selection;
    selection.SetSessions(sessions.Selected(), d.GetUnits());
    CChannelSelectDialog channels(d.host, selection.available, {},
                                  static_cast<int>(selection.sessions.size()));
    for (auto [kind, number] : wanted) {
        int index = -1;
        for (int i = 0; i < static_cast<int>(selection.available.size()); ++i) {
            const CChannelList& c = selection.available[static_cast<std::size_t>(i)];
            if (c.Kind() == kind && c.m_nChannel == number) index = i;
        }
        if (index < 0) {
            d.ctx.PrintError("The selected session(s) do not all hold channel %s%d.\n",
                             kind == ChannelKind::Rpm      ? "rpm"
                             : kind == ChannelKind::Analog ? "analog"
                                                           : "digital",
                             number);
            return 1;
        }
        if (!channels.Add(index)) return 1;
        const CChannelList& c = channels.Selected().back();
        const int k = static_cast<int>(channels.Selected().size()) - 1;
        channels.SetBands(k, static_cast<float>(args.GetDouble("min", c.m_fMinimum, -1e9, 1e9)),
                          static_cast<float>(args.GetDouble("max", c.m_fMaximum, -1e9, 1e9)),
                          static_cast<float>(args.GetDouble("inc", c.m_fIncrement, 0, 1e9)));
    }
    selection.channels = channels.Selected();

    HistogramFlags flags;
    flags.timeScale = scale == "time";
    flags.selectedTimeBase = scale == "selected";
    const HistogramChart chart = ComputeHistogram(selection.sessions, selection.channels, flags,
                                                  d.GetUnits(), d.VoltageCorrection());
    std::string out = "{\"value_axis\": " + JsonText(chart.valueAxis) +
                      ", \"axis_max\": " + JsonNumber(chart.axisMax) + ", \"channels\": [";
    for (std::size_t i = 0; i < selection.channels.size(); ++i) {
        const CChannelList& c = selection.channels[i];
        out += (i ? ", " : "") + std::string("{\"name\": ") + JsonText(c.m_strName) +
               ", \"min\": " + JsonFloat(c.m_fMinimum) + ", \"max\": " + JsonFloat(c.m_fMaximum) +
               ", \"inc\": " + JsonFloat(c.m_fIncrement) + "}";
    }
    out += "], \"rows\": [";
    for (std::size_t r = 0; r < chart.rows.size(); ++r) {
        const HistogramRow& row = chart.rows[r];
        out += (r ? ", " : "") + std::string("{\"legend\": ") + JsonText(row.legend) +
               ", \"total_s\": " + JsonNumber(row.totalSeconds) + ", \"bands\": [";
        for (int k = 0; k < chart.bands; ++k) {
            const auto b = static_cast<std::size_t>(k);
            out += (k ? ", " : "") + std::string("{\"lower\": ") +
                   JsonFloat(static_cast<float>(chart.lowerEdges[b])) +
                   ", \"label\": " + JsonText(chart.bandLabels[b]) +
                   ", \"seconds\": " + JsonNumber(b < row.seconds.size() ? row.seconds[b] : 0.0) +
                   ", \"value\": " + JsonNumber(row.values[b]) + "}";
        }
        out += "]}";
    }
    out += "]}\n";
    ctx.out << out;
    return 0;
}

// Collects the view's messages instead of printing them.
class CollectingHost : public CStderrHost {
  public:
    void Message(const std::string& text, Icon) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

int SmoothingOption(const Args& args, const char* name) {
    const std::string level = args.Get(name, "none");
    for (int i = 0; i < 4; ++i) {
        std::string lower = kSmoothingNames[i];
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (level == lower) return kSmoothingWords[i];
    }
    throw UsageError(std::string("--") + name + " is none, light, medium or heavy");
}

int Traction(const Args& args, Context& ctx) {
    const std::string path = args.Positional(0, "FILE");
    FrictionSettings settings;
    settings.lrSmoothing = SmoothingOption(args, "lr-smoothing");
    settings.frSmoothing = SmoothingOption(args, "fr-smoothing");
    const int32_t at = SecondsOption(args, "at");

    ViewDocument d(ctx);
    if (!d.Open(path)) return 1;
    std::vector<CDatasetList> entries;
    if (!SelectedEntries(d, args.GetAll("dataset"), entries)) return 1;
    CFrictionCircle circle(settings, d.GetUnits(), d.VoltageCorrection());
    circle.SetSelection(entries);
    std::string valueText;
    if (at != kNotSet) {
        CollectingHost host;
        circle.MoveMarker(true, at, host);
        valueText = circle.Marker(true).drawn || host.messages.empty() ? circle.ValueText(true)
                                                                       : host.messages.front();
    }
    const bool any = circle.PointCount() > 0;
    auto range = [any](int32_t v) { return any ? JsonNumber(v) : std::string("null"); };
    std::string out =
        "{\"lr_min\": " + range(circle.LrMin()) + ", \"lr_max\": " + range(circle.LrMax()) +
        ", \"fr_min\": " + range(circle.FrMin()) + ", \"fr_max\": " + range(circle.FrMax()) +
        ", \"lr_units_per_g\": " + JsonNumber(circle.LrUnitsPerG()) +
        ", \"fr_units_per_g\": " + JsonNumber(circle.FrUnitsPerG()) +
        ", \"points\": " + JsonNumber(static_cast<double>(circle.PointCount())) +
        ", \"value_text\": " + JsonText(valueText) + "}\n";
    ctx.out << out;
    return 0;
}

// "3,5,6" as lap numbers.
std::set<int> LapList(const std::string& text) {
    std::set<int> laps;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        const std::string word = text.substr(from, comma - from);
        if (word.empty() || word.size() > 6 ||
            word.find_first_not_of("0123456789") != std::string::npos || std::stoi(word) < 1)
            throw UsageError("--laps takes lap numbers L1,L2,..., not '" + text + "'");
        laps.insert(std::stoi(word));
        from = comma + 1;
    }
    return laps;
}

int LapReport(const Args& args, Context& ctx) {
    const std::string path = args.Positional(0, "FILE");
    if (!args.Has("map-lap")) throw UsageError("--map-lap is required");
    const std::set<int> selected =
        args.Has("laps") ? LapList(args.Get("laps", "")) : std::set<int>{};
    LapReportOptions options;
    options.displaySpeeds = args.Has("speeds");
    options.highliteBest = args.Has("highlight");
    options.calculateBest = args.Has("best-lap");
    options.useSelected = args.Has("use-selected");
    options.viewAll = !args.Has("view-selected");

    ViewDocument d(ctx);
    if (!d.Open(path)) return 1;
    CTrackMap map;
    const LapMapOutcome made = TrackMapOfLap(args, "map-lap", ctx, *d.doc, map);
    if (!made.ok) return 1;
    const LapReportTable table =
        BuildLapReport(*made.session, d.doc->m_options.distanceMode, SegmentsOfMap(map), options,
                       selected, d.GetUnits(), {}, d.doc->m_bLapView);

    std::string out = "{\"headers\": [";
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        out += (i ? ", " : "") + JsonText(table.columns[i].header);
    out += "], \"rows\": [";
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const LapReportRow& row = table.rows[r];
        std::string cells, best;
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            cells += (c ? ", " : "") + JsonText(row.cells[c].text);
            best += (c ? ", " : "") + std::string(row.cells[c].best ? "true" : "false");
        }
        out += (r ? ", " : "") + std::string("{\"lap\": ") + JsonText(row.lap) + ", \"cells\": [" +
               cells + "], \"best\": [" + best + "]}";
    }
    out += "]}\n";
    ctx.out << out;
    return 0;
}

}  // namespace

void AddViewCommands(std::vector<CommandInfo>& table) {
    table.push_back({"histogram",
                     "histogram FILE --channel C[,C...] [--dataset N[:L]]... [--start T] "
                     "[--end T] [--min X] [--max Y] [--inc Z] [--scale time|range|selected] "
                     "--json",
                     {"json"},
                     {"channel", "dataset", "start", "end", "min", "max", "inc", "scale"},
                     Histogram});
    table.push_back({"traction",
                     "traction FILE [--dataset N[:L]]... [--at T] "
                     "[--lr-smoothing none|light|medium|heavy] [--fr-smoothing ...] --json",
                     {"json"},
                     {"dataset", "at", "lr-smoothing", "fr-smoothing"},
                     Traction});
    table.push_back({"lap-report",
                     "lap-report FILE --map-lap L [--dataset N] [--source 1|2|3|4] [--speeds] "
                     "[--highlight] [--best-lap] [--laps L1,L2,...] [--use-selected] "
                     "[--view-selected] [--open] [--banking] [--yes] --json",
                     {"json", "speeds", "highlight", "best-lap", "use-selected", "view-selected",
                      "open", "banking", "yes"},
                     {"map-lap", "dataset", "source", "laps"},
                     LapReport});
}

}  // namespace orvex::cli
