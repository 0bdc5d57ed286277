#include "files/ExportFile.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "host/AtomicWrite.h"
#include "host/HostServices.h"
#include "host/Progress.h"
#include "processing/Laps.h"
#include "processing/SpeedDistance.h"

namespace orvex {

namespace {

void AppendF(std::string& out, const char* format, ...) {
    char buf[512];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n < 0) return;
    if (static_cast<std::size_t>(n) < sizeof buf) {
        out.append(buf, static_cast<std::size_t>(n));
        return;
    }
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(big.data(), big.size(), format, args);
    va_end(args);
    out.append(big.data(), static_cast<std::size_t>(n));
}

double Seconds(int64_t t) {
    return static_cast<double>(t) / 10000.0;
}

// Digital kinds whose samples are event times, not states: lap timer and event timer.
bool IsEventChannel(const CDigitalSetup* setup) {
    return setup && (setup->m_nType == 2 || setup->m_nType == 3);
}

// One exported column and its cursor into the series.
struct Column {
    enum Kind { Rpm, Analog, Digital } kind;
    int channel;
    const CSeriesBase* series;
    const CFreqSetup* rpmSetup = nullptr;
    const CAnalogSetup* analogSetup = nullptr;
    Pos cursor = kNoPos;
    bool finished = false;
};

}  // namespace

uint32_t ExportEverything(const CBriodashDataset& ds) {
    uint32_t mask = 0;
    for (int c = 1; c <= kRpmChannels; ++c)
        if (!ds.m_rpm[static_cast<std::size_t>(c - 1)].IsEmpty()) mask |= RpmBit(c);
    for (int c = 1; c <= kAnalogChannels; ++c)
        if (!ds.m_analog[static_cast<std::size_t>(c - 1)].IsEmpty()) mask |= AnalogBit(c);
    for (int c = 1; c <= kDigitalChannels; ++c)
        if (!ds.m_digital[static_cast<std::size_t>(c - 1)].IsEmpty()) mask |= DigitalBit(c);
    if (!ds.m_markers.IsEmpty()) mask |= kExportTimesBit;
    return mask;
}

namespace {

void WriteTimes(std::string& out, const CBriodashDataset& ds) {
    const auto& marks = ds.m_markers.m_samples;
    if (IsEtConfigured(ds.m_markers)) {
        static const char* const kLines[] = {"Launch  @%12.4f\n", "  60 Ft @%12.4f\n",
                                             " 330 Ft @%12.4f\n", " 660 Ft @%12.4f\n",
                                             "1000 Ft @%12.4f\n", "1320 Ft @%12.4f\n"};
        out += "ET-Slip Times:\n";
        int64_t launch = 0;
        for (const CSample& m : marks)
            if (m.m_lRaw == kEtLaunch) launch = m.m_lTime;
        for (int code = 0; code <= 5; ++code) {
            for (const CSample& m : marks) {
                if (m.m_lRaw != code) continue;
                AppendF(out, kLines[code],
                        code == 0 ? Seconds(m.m_lTime) : Seconds(m.m_lTime - launch));
                break;
            }
        }
        return;
    }
    const int64_t zero = ds.m_nTimeRef != 0 ? ds.m_lZeroTime : 0;
    AppendF(out, "Lap Beacons: %d\n", ds.m_nBeaconsPerLap);
    AppendF(out, "Lap Times: %d\n", static_cast<int>(marks.size()));
    for (const CSample& m : marks) AppendF(out, "%12.4f\n", Seconds(m.m_lTime - zero));
}

// Value of an analog or digital column at row time t: the linear interpolation between the
// sample before the cursor and the cursor, of the converted values (raw values for digital
// channels); a finished column gives its last value.
double ColumnValue(const Column& c, int32_t t, Units units, float correction) {
    auto value = [&](Pos p) -> double {
        const int32_t raw = c.series->GetSampleValue(p);
        if (c.kind == Column::Analog)
            return c.analogSetup ? AnalogValue(*c.analogSetup, raw, units, correction) : raw;
        return raw;
    };
    const Pos b = c.cursor;
    if (c.finished) return value(b);
    const Pos a = c.series->Prev(b);
    const int32_t tb = c.series->TimeAt(b);
    if (a == kNoPos || tb == t) return value(b);
    const int32_t ta = c.series->TimeAt(a);
    if (tb <= ta) return value(b);
    const double va = value(a), vb = value(b);
    return va + (vb - va) * (static_cast<double>(t) - ta) / (static_cast<double>(tb) - ta);
}

// Builds the file text; `progress` (may be null) shows the written time and may abort.
bool BuildExport(CBriodashDataset& ds, uint32_t mask, double rate, const ExportOptions& options,
                 IProgress* progress, std::string& out);

}  // namespace

std::string ExportText(CBriodashDataset& ds, uint32_t mask, double rate,
                       const ExportOptions& options) {
    std::string out;
    BuildExport(ds, mask, rate, options, nullptr, out);
    return out;
}

namespace {

bool BuildExport(CBriodashDataset& ds, uint32_t mask, double rate, const ExportOptions& options,
                 IProgress* progress, std::string& out) {
    if (mask == 0) mask = ExportEverything(ds);
    out.clear();
    std::string header;
    AppendF(header, "%12s", "Time");
    if (options.distanceAxis) AppendF(header, "\t%12s", "Distance");
    std::vector<Column> columns;
    const CCarSetup& car = ds.m_carSetup;

    for (int c = 1; c <= kRpmChannels; ++c) {
        if (!(mask & RpmBit(c))) continue;
        const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(c - 1)];
        const CFreqSetup* setup = car.FindRpmSetup(c);
        const bool speed = setup && setup->m_nDisplayMode == 0;
        const char* unit = speed ? (options.units == Units::Metric ? "KPH" : "MPH") : "RPM";
        AppendF(out, "RPM #%1d: %s %s @ %1.0f Hz, PPR: %1d\n", c,
                setup ? setup->m_strDescription.c_str() : "", unit, static_cast<double>(s.m_fRate),
                setup ? setup->m_nPPR : s.m_nPerLap);
        AppendF(header, "\tRPM #%1d", c);
        columns.push_back({Column::Rpm, c, &s, setup, nullptr});
    }
    for (int c = 1; c <= kAnalogChannels; ++c) {
        if (!(mask & AnalogBit(c))) continue;
        const CSampleList& s = ds.m_analog[static_cast<std::size_t>(c - 1)];
        const CAnalogSetup* setup = car.FindAnalogSetup(c);
        const std::string name =
            setup && !setup->m_strDescription.empty() ? setup->m_strDescription : "<none>";
        const std::string type = setup ? setup->TypeName() : AnalogTypeName(0);
        AppendF(out, "Analog #%1d: %s @ %1.0f Hz, Type: %s\n", c, name.c_str(),
                static_cast<double>(s.m_fRate), type.c_str());
        AppendF(header, "\t  Ana #%1d", c);
        columns.push_back({Column::Analog, c, &s, nullptr, setup});
    }
    for (int c = 1; c <= kDigitalChannels; ++c) {
        if (!(mask & DigitalBit(c))) continue;
        const CSampleList& s = ds.m_digital[static_cast<std::size_t>(c - 1)];
        const CDigitalSetup* setup = car.FindDigitalSetup(c);
        const std::string name =
            setup && !setup->m_strDescription.empty() ? setup->m_strDescription : "<none>";
        AppendF(out, "Digital #%1d: %s, Type: %s\n", c, name.c_str(),
                DigitalTypeName(setup ? setup->m_nType : 0).c_str());
        if (IsEventChannel(setup)) {
            AppendF(out, "Digital #%1d Times: %d\n", c, static_cast<int>(s.GetCount()));
            for (Pos p = s.First(); p != kNoPos; p = s.Next(p))
                AppendF(out, "%16.4f %1d\n", Seconds(s.TimeAt(p)), s.GetSampleValue(p));
            continue;
        }
        AppendF(header, "\t  Dig #%1d", c);
        columns.push_back({Column::Digital, c, &s, nullptr, nullptr});
    }
    if ((mask & kExportTimesBit) && !ds.m_markers.IsEmpty()) WriteTimes(out, ds);
    out += header;
    out += "\n";

    // Rows from the start of data at the chosen rate (0: the fastest column channel).
    columns.erase(std::remove_if(columns.begin(), columns.end(),
                                 [](const Column& c) { return c.series->IsEmpty(); }),
                  columns.end());
    if (columns.empty()) return true;
    if (!(rate > 0.0)) {
        for (const Column& c : columns)
            rate = std::max(rate, static_cast<double>(c.series->m_fRate));
    }
    const int32_t step =
        rate > 0.0 ? std::max<int32_t>(static_cast<int32_t>(10000.0 / rate), 1) : 1;
    for (Column& c : columns) c.cursor = c.series->First();
    int64_t t = ds.GetStartTime(true);
    int64_t nextReport = t + 50000;
    long counter = 0;
    while (t <= kNotSet) {
        if (progress && t >= nextReport) {
            nextReport += 50000;
            counter += 5;
            char buf[48];
            std::snprintf(buf, sizeof buf, "Saved: %02ld:%02ld", counter / 60, counter % 60);
            progress->SetStatus(2, buf);
            if (progress->Pump()) return false;
        }
        bool allFinished = true;
        for (Column& c : columns) {
            if (c.finished) continue;
            while (c.cursor != kNoPos && c.series->TimeAt(c.cursor) < t)
                c.cursor = c.series->Next(c.cursor);
            if (c.cursor == kNoPos) {
                c.finished = true;
                c.cursor = c.series->Last();
            } else {
                allFinished = false;
            }
        }
        if (allFinished) break;
        const int32_t rowTime = static_cast<int32_t>(t);
        AppendF(out, "%12.4f", Seconds(rowTime));
        if (options.distanceAxis) AppendF(out, "\t%12.1f", DistanceAtTime(ds, rowTime) / 10.0);
        for (const Column& c : columns) {
            if (c.kind == Column::Rpm) {
                const auto& shaft = static_cast<const CShaftList&>(*c.series);
                const int32_t milli =
                    shaft.GetRPMMilli(static_cast<uint32_t>(shaft.GetSampleValue(c.cursor)));
                if (!c.rpmSetup) {
                    AppendF(out, "\t%8.0f", milli / 1000.0);
                    continue;
                }
                const int32_t v = ConvertRPM(car, *c.rpmSetup, c.rpmSetup->m_nDisplayMode, milli,
                                             shaft[c.cursor].m_nGear, options.units);
                if (c.rpmSetup->m_nDisplayMode == 0)
                    AppendF(out, "\t%8.2f", v / 100.0);
                else
                    AppendF(out, "\t%8.0f", v / 1000.0);
            } else if (c.kind == Column::Analog) {
                const double r = c.analogSetup ? std::max(c.analogSetup->m_nResolution, 1) : 1;
                AppendF(out, "\t%8.3f",
                        ColumnValue(c, rowTime, options.units, options.voltageCorrection) / r);
            } else {
                AppendF(out, "\t%2.0f", ColumnValue(c, rowTime, options.units, 0.0f));
            }
        }
        out += "\n";
        t += step;
    }
    return true;
}

}  // namespace

bool ExportAscii(const std::string& path, CBriodashDataset& ds, uint32_t mask, double rate,
                 const ExportOptions& options, IHostServices& host) {
    const std::string name = path.substr(path.find_last_of('/') + 1);
    auto progress = OpenProgressWindow(host, "Saving Data To " + name);
    progress->SetAbortText("Abort Save");
    progress->SetStatus(1, "Opening " + name);
    std::string text;
    if (!BuildExport(ds, mask, rate, options, progress.get(), text)) return false;
    AtomicWriteResult result = WriteFileAtomically(path, text);
    if (!result) {
        char buf[512];
        std::snprintf(buf, sizeof buf, "Unable to create the export file %s\n%s", path.c_str(),
                      std::strerror(result.error));
        host.Message(buf, Icon::Stop);
        return false;
    }
    return true;
}

std::vector<ExportChannel> ExportChannels(const CBriodashDataset& ds) {
    std::vector<ExportChannel> out;
    const CCarSetup& car = ds.m_carSetup;
    char buf[256];
    for (int c = 1; c <= kRpmChannels; ++c) {
        const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(c - 1)];
        if (s.IsEmpty()) continue;
        const CFreqSetup* setup = car.FindRpmSetup(c);
        std::snprintf(buf, sizeof buf, "RPM #%d:%s", c,
                      setup ? setup->m_strDescription.c_str() : "");
        out.push_back({RpmBit(c), buf, s.m_fRate});
    }
    for (int c = 1; c <= kAnalogChannels; ++c) {
        const CSampleList& s = ds.m_analog[static_cast<std::size_t>(c - 1)];
        if (s.IsEmpty()) continue;
        const CAnalogSetup* setup = car.FindAnalogSetup(c);
        std::snprintf(buf, sizeof buf, "Analog #%d:%s", c,
                      setup ? setup->m_strDescription.c_str() : "");
        out.push_back({AnalogBit(c), buf, s.m_fRate});
    }
    for (int c = 1; c <= kDigitalChannels; ++c) {
        const CSampleList& s = ds.m_digital[static_cast<std::size_t>(c - 1)];
        if (s.IsEmpty()) continue;
        const CDigitalSetup* setup = car.FindDigitalSetup(c);
        std::snprintf(buf, sizeof buf, "Digital #%d:%s", c,
                      setup ? setup->m_strDescription.c_str() : "");
        out.push_back({DigitalBit(c), buf, s.m_fRate});
    }
    if (!ds.m_markers.IsEmpty())
        out.push_back(
            {kExportTimesBit, IsEtConfigured(ds.m_markers) ? "ET-Slip Times" : "Lap Times", 0.0f});
    return out;
}

ExportRateList ExportRates(const CBriodashDataset& ds, uint32_t selectedMask, float previousRate) {
    ExportRateList list;
    for (const ExportChannel& c : ExportChannels(ds)) {
        if (!(selectedMask & c.bit) || c.bit == kExportTimesBit) continue;
        if (std::find(list.rates.begin(), list.rates.end(), c.rate) == list.rates.end())
            list.rates.push_back(c.rate);
    }
    std::sort(list.rates.begin(), list.rates.end());
    char buf[48];
    for (float r : list.rates) {
        std::snprintf(buf, sizeof buf, "%1.0f Hz", static_cast<double>(r));
        list.texts.push_back(buf);
    }
    if (list.rates.empty()) return list;
    auto it = std::find(list.rates.begin(), list.rates.end(), previousRate);
    list.selected = it != list.rates.end() ? static_cast<int>(it - list.rates.begin())
                                           : static_cast<int>(list.rates.size()) - 1;
    return list;
}

}  // namespace orvex
