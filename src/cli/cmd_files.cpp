// orvex-cli commands on data files: demo, info, dump, resave.
#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/AnalysisOutput.h"
#include "cli/Command.h"
#include "cli/Json.h"
#include "demo/SessionGenerator.h"
#include "files/DataFile.h"
#include "host/StderrHost.h"
#include "model/Dataset.h"
#include "model/Document.h"

namespace orvex::cli {
namespace {

// Whether a path names a binary data file: the extension ".tbc" in any case, or none.
bool IsBinaryDataFile(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return true;
    std::string ext = path.substr(dot);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".tbc";
}

// The datasets of a data file as stored: a binary file is read as it is, any other file (the
// ASCII data file) is opened by the program's document factory.
bool Open(const std::string& path, Context& ctx, DataFileContents& out) {
    if (IsBinaryDataFile(path)) return ReadDataFile(path, ctx.host, DataFileReadOptions{}, out);
    std::unique_ptr<CBriodashDoc> doc = ctx.Documents().OpenDocument(path);
    if (!doc) return false;
    out.major = doc->m_nMajor;
    out.minor = doc->m_nMinor;
    out.letter = doc->m_nLetter;
    out.openTrackMap = doc->m_options.openTrackMap;
    out.calcBanking = doc->m_options.calcBanking;
    out.groundSpeedMap = doc->m_options.groundSpeedMap;
    out.datasets = std::move(doc->m_datasets);
    return true;
}

// A channel name of the command line: markers, rpm1..5, analog1..20, digital1..6.
struct ChannelRef {
    const CSeriesBase* series = nullptr;
    const CShaftList* shaft = nullptr;
};

ChannelRef FindChannel(const CBriodashDataset& ds, const std::string& name) {
    auto numbered = [&](const char* prefix, int count) -> int {
        std::string p = prefix;
        if (name.compare(0, p.size(), p) != 0) return 0;
        std::string digits = name.substr(p.size());
        if (digits.empty() || digits.size() > 2 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            return 0;
        int n = std::stoi(digits);
        return n >= 1 && n <= count ? n : 0;
    };
    ChannelRef ref;
    if (name == "markers") {
        ref.series = &ds.m_markers;
    } else if (int n = numbered("rpm", kRpmChannels)) {
        ref.shaft = &ds.m_rpm[static_cast<std::size_t>(n - 1)];
        ref.series = ref.shaft;
    } else if (int a = numbered("analog", kAnalogChannels)) {
        ref.series = &ds.m_analog[static_cast<std::size_t>(a - 1)];
    } else if (int d = numbered("digital", kDigitalChannels)) {
        ref.series = &ds.m_digital[static_cast<std::size_t>(d - 1)];
    }
    return ref;
}

std::string Colour(int32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(c) & 0xFFFFFFu);
    return buf;
}

std::string Seconds(int32_t t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%d.%04d", t < 0 ? "-" : "", std::abs(t / 10000),
                  std::abs(t % 10000));
    return buf;
}

std::string Float(double v, const char* format = "%g") {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

std::string VersionText(const DataFileContents& c) {
    std::string v = std::to_string(c.major) + "." + std::to_string(c.minor);
    if (c.letter) v += static_cast<char>(c.letter);
    return v;
}

void DescribeSeries(JsonWriter& j, const std::string& name, const CSeriesBase& s) {
    j.BeginObject();
    j.Field("channel", name);
    j.Field("dataMode", s.m_nDataMode);
    j.Field("on", s.m_nOn);
    j.Field("colour", Colour(s.m_crTrace));
    j.Field("samples", static_cast<int64_t>(s.Size()));
    if (s.Size() > 0) {
        j.Field("first", Seconds(s.TimeAt(0)) + " " + std::to_string(s.GetSampleValue(0)));
        j.Field("last",
                Seconds(s.TimeAt(s.Tail())) + " " + std::to_string(s.GetSampleValue(s.Tail())));
    }
    j.EndObject();
}

void DescribeCarSetup(JsonWriter& j, const CCarSetup& car) {
    j.Key("carSetup");
    j.BeginObject();
    j.Field("gears", car.m_nGears);
    j.Key("gearRatios");
    j.BeginArray();
    for (int i = 0; i < car.m_nGears && i < 6; ++i) j.Value(Float(car.m_fGearRatio[i], "%.4f"));
    j.EndArray();
    j.Field("rearEndMode", car.m_nRearEndMode);
    j.Field("driveTeeth", car.m_nDriveTeeth);
    j.Field("axleTeeth", car.m_nAxleTeeth);
    j.Field("rearEndRatio", Float(car.m_fRearEndRatio, "%.4f"));
    j.Key("rpmSetups");
    j.BeginArray();
    for (const CFreqSetup& f : car.m_rpm) {
        j.BeginObject();
        j.Field("channel", f.m_nChannel);
        j.Field("description", f.m_strDescription);
        j.Field("type", f.m_nRpmType);
        j.Field("ppr", f.m_nPPR);
        j.Field("displayMode", f.m_nDisplayMode);
        j.Field("slipPartner", f.m_nSlipPartner);
        j.Field("smoothing", f.m_nSmoothing);
        j.Field("diameter", Float(f.m_fDiameter, "%.4f"));
        j.Field("circumference", Float(f.m_fCircumference, "%.4f"));
        j.EndObject();
    }
    j.EndArray();
    j.Key("analogSetups");
    j.BeginArray();
    for (const CAnalogSetup& a : car.m_analog) {
        j.BeginObject();
        j.Field("channel", a.m_nChannel);
        j.Field("description", a.m_strDescription);
        j.Field("family", a.m_nFamily);
        j.Field("type", a.m_nType);
        j.Field("invert", a.m_nInvert);
        j.Field("bits", a.m_nBits);
        j.Field("resolution", a.m_nResolution);
        j.Field("smoothing", a.m_nSmoothing);
        j.Field("scaleMode", a.m_nScaleMode);
        j.Field("min", Float(a.m_fMin, "%.3f"));
        j.Field("max", Float(a.m_fMax, "%.3f"));
        j.Field("offset", Float(a.m_fOffset, "%.3f"));
        j.EndObject();
    }
    j.EndArray();
    j.Key("digitalSetups");
    j.BeginArray();
    for (const CDigitalSetup& d : car.m_digital) {
        j.BeginObject();
        j.Field("channel", d.m_nChannel);
        j.Field("description", d.m_strDescription);
        j.Field("type", d.m_nType);
        j.Field("band", d.m_nBand);
        j.Field("invert", d.m_nInvert);
        j.EndObject();
    }
    j.EndArray();
    j.EndObject();
}

int Info(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string path = args.Positional(0, "FILE");
    DataFileContents contents;
    if (!Open(path, ctx, contents)) return 1;

    JsonWriter j(args.Has("json"));
    j.BeginObject();
    j.Field("file", path);
    j.Field("version", VersionText(contents));
    j.Field("OpenTrackMap", contents.openTrackMap);
    j.Field("CalcBanking", contents.calcBanking);
    j.Field("GroundSpeedMap", contents.groundSpeedMap);
    j.Key("datasets");
    j.BeginArray();
    for (const auto& ds : contents.datasets) {
        j.BeginObject();
        j.Field("name", ds->m_strName);
        j.Key("comments");
        j.BeginArray();
        for (const std::string& c : ds->m_lstComments) j.Value(c);
        j.EndArray();
        j.Field("clock", Float(ds->m_fClock, "%.1f"));
        j.Field("framed", ds->m_nFramed);
        j.Field("loggerFamily", ds->m_nLoggerFamily);
        j.Field("beaconsPerLap", ds->m_nBeaconsPerLap);
        j.Field("timeRef", ds->m_nTimeRef);
        j.Field("zeroTime", Seconds(ds->m_lZeroTime));
        DescribeCarSetup(j, ds->m_carSetup);
        j.Key("series");
        j.BeginArray();
        DescribeSeries(j, "markers", ds->m_markers);
        for (int i = 0; i < kRpmChannels; ++i)
            DescribeSeries(j, "rpm" + std::to_string(i + 1),
                           ds->m_rpm[static_cast<std::size_t>(i)]);
        for (int i = 0; i < kAnalogChannels; ++i)
            DescribeSeries(j, "analog" + std::to_string(i + 1),
                           ds->m_analog[static_cast<std::size_t>(i)]);
        for (int i = 0; i < kDigitalChannels; ++i)
            DescribeSeries(j, "digital" + std::to_string(i + 1),
                           ds->m_digital[static_cast<std::size_t>(i)]);
        j.EndArray();
        j.EndObject();
    }
    j.EndArray();
    j.EndObject();
    ctx.out << j.Text().c_str();
    return 0;
}

int Dump(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string path = args.Positional(0, "FILE");
    const std::string channel = args.Get("channel", "");
    const std::string values = args.Get("values", "raw");
    if (channel.empty()) throw UsageError("--channel is required");
    if (values != "raw" && values != "filtered" && values != "display")
        throw UsageError("--values must be raw, filtered or display");
    const long n = args.GetInt("dataset", 1, 1, 1000000);
    DataFileContents contents;
    if (!Open(path, ctx, contents)) return 1;
    if (static_cast<std::size_t>(n) > contents.datasets.size()) {
        ctx.PrintError("The file holds %zu data-set(s); there is no data-set %ld.\n",
                       contents.datasets.size(), n);
        return 1;
    }
    if (values == "display") {
        std::string text;
        const CDataAcqApp& app = ctx.App();
        if (!DisplayValueLines(*contents.datasets[static_cast<std::size_t>(n - 1)], channel,
                               app.GetUnits(), app.GetXDistMode(),
                               std::max(app.GetAnalog20Offset(), 0.0f), text))
            throw UsageError("unknown channel '" + channel + "'");
        ctx.out.write(text.data(), static_cast<std::streamsize>(text.size()));
        return 0;
    }
    const CBriodashDataset& ds = *contents.datasets[static_cast<std::size_t>(n - 1)];
    ChannelRef ref = FindChannel(ds, channel);
    if (!ref.series) throw UsageError("unknown channel '" + channel + "'");
    const bool filtered = values == "filtered";
    std::string out;
    out.reserve(ref.series->Size() * 24);
    char line[64];
    auto emit = [&](int32_t t, int32_t v, const int16_t* gear) {
        int len =
            gear ? std::snprintf(line, sizeof line, "%s\t%d\t%d\n", Seconds(t).c_str(), v, *gear)
                 : std::snprintf(line, sizeof line, "%s\t%d\n", Seconds(t).c_str(), v);
        out.append(line, static_cast<std::size_t>(len));
    };
    if (ref.shaft) {
        for (const CShaft& s : ref.shaft->m_samples)
            emit(s.m_lTime, filtered ? s.m_lFiltered : s.m_lRaw, &s.m_nGear);
    } else {
        const auto& list = static_cast<const CSampleList&>(*ref.series);
        for (const CSample& s : list.m_samples)
            emit(s.m_lTime, filtered ? s.m_lFiltered : s.m_lRaw, nullptr);
    }
    ctx.out.write(out.data(), static_cast<std::streamsize>(out.size()));
    return 0;
}

int Resave(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string in = args.Positional(0, "IN.tbc");
    const std::string out = args.Positional(1, "OUT.tbc");
    CStderrHost& host = ctx.host;
    DataFileContents contents;
    if (!Open(in, ctx, contents)) return 1;
    return WriteDataFile(out, contents, host, Units::Imperial) ? 0 : 1;
}

int Demo(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string out = args.Get("out", "");
    if (out.empty()) throw UsageError("--out is required");
    GeneratorOptions options;
    options.minutes = args.GetDouble("minutes", options.minutes, 0.05, 24 * 60);
    options.rateHz = args.GetDouble("rate", options.rateHz, 1, 2000);
    options.seed = static_cast<uint32_t>(args.GetInt("seed", options.seed, 0, 0xFFFFFFFFL));
    options.circuitId = args.Get("circuit", options.circuitId);
    std::unique_ptr<CBriodashDataset> ds = GenerateSession(options);
    if (!ds) {
        std::string known;
        for (const auto& id : GeneratorCircuitIds()) known += " " + std::string(id);
        ctx.PrintError("Cannot generate a session on circuit '%s' (known:%s).\n",
                       options.circuitId.c_str(), known.c_str());
        return 1;
    }
    CStderrHost& host = ctx.host;
    DataFileContents contents;
    contents.groundSpeedMap = 1;  // engine RPM, as new documents have it
    contents.datasets.push_back(std::move(ds));
    return WriteDataFile(out, contents, host, Units::Imperial) ? 0 : 1;
}

}  // namespace
void AddFileCommands(std::vector<CommandInfo>& table) {
    table.push_back({"demo",
                     "demo --out FILE.tbc [--minutes M] [--rate HZ] [--seed S] [--circuit ID]",
                     {},
                     {"circuit", "minutes", "out", "rate", "seed"},
                     Demo});
    table.push_back({"info", "info FILE [--json]", {"json"}, {}, Info});
    table.push_back({"dump",
                     "dump FILE --dataset N --channel C [--values raw|filtered|display]",
                     {},
                     {"channel", "dataset", "values"},
                     Dump});
    table.push_back({"resave", "resave IN.tbc OUT.tbc", {}, {}, Resave});
}

}  // namespace orvex::cli
