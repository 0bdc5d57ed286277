// Vexa-Log channel transfers: pre-amble text, byte count and the channel's records.
#include <algorithm>
#include <cstring>

#include "logger/upload/UploadRun.h"

namespace orvex {

namespace {

enum class VexaKind { Lap, Axle, Analog, Front, Clutch, Engine };

// Unpacks the records of one channel as they arrive; records may straddle packets.
class CVexaUnpacker {
  public:
    CVexaUnpacker(CBriodashDataset& ds, VexaKind kind, int series, bool wide, bool perRev, int rate,
                  float ppr, double clock, int perTach)
        : m_ds(ds),
          m_kind(kind),
          m_series(series),
          m_wide(wide),
          m_perRev(perRev),
          m_rate(rate),
          m_ppr(ppr),
          m_clock(clock),
          m_perTach(perTach) {}

    std::size_t RecordSize() const { return m_kind == VexaKind::Lap || m_wide ? 4 : 2; }
    int32_t TimeSoFar() const { return ToTime(m_kind == VexaKind::Lap ? m_lapTime : m_t); }

    void Feed(const uint8_t* p, std::size_t n) {
        m_pending.insert(m_pending.end(), p, p + n);
        const std::size_t size = RecordSize();
        std::size_t at = 0;
        for (; at + size <= m_pending.size(); at += size) Record(m_pending.data() + at);
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(at));
    }

  private:
    void Record(const uint8_t* r) {
        switch (m_kind) {
            case VexaKind::Lap:
                return Lap(r);
            case VexaKind::Analog:
                return Analog(Be16(r));
            default:
                return Shaft(m_wide ? Be32(r) : Be16(r));
        }
    }

    void Lap(const uint8_t* r) {
        const uint32_t high = Be16(r), low = Be16(r + 2);
        const int64_t ticks = static_cast<int64_t>(high) * 65536 + low - m_prevLow;
        m_prevLow = low;
        m_lapTicks += static_cast<double>(ticks);
        m_lapTime = m_lapTicks / m_clock * 10000.0;
        const int32_t code = 100 * m_lap + m_beacon;
        if (++m_beacon >= std::max(1, m_ds.m_nBeaconsPerLap)) {
            m_beacon = 0;
            ++m_lap;
        }
        CSample s;
        s.m_lTime = ToTime(m_lapTime);
        s.m_lRaw = s.m_lFiltered = code;
        m_ds.m_markers.AddTail(s);
    }

    void Shaft(uint32_t v) {
        if (m_wide || m_perRev) {
            float inc = static_cast<float>(v) * m_ppr / static_cast<float>(m_clock) * 10000.0f;
            m_t += inc;
        } else if (!m_first) {
            m_t += 10000.0 / m_rate;
        }
        CShaftList& list = m_ds.m_rpm[static_cast<std::size_t>(m_series - 1)];
        CShaft s;
        s.m_lTime = ToTime(m_t);
        s.m_lRaw = s.m_lFiltered = static_cast<int32_t>(v);
        list.AddTail(s);
        // The minimum period is the peak speed; readings below 80 % of the running average are
        // spikes and never become the minimum.
        const int64_t value = static_cast<int32_t>(v);
        if (m_first) {
            list.m_pMin = list.Tail();
            m_smallest = m_average = value;
        } else {
            if (value<m_smallest&& static_cast<double>(value)> 0.8 * m_average) {
                list.m_pMin = list.Tail();
                m_smallest = value;
            }
            m_average = (value + 4 * m_average) / 5;
        }
        m_first = false;
    }

    void Analog(uint32_t v) {
        CSampleList& list = m_ds.m_analog[static_cast<std::size_t>(m_series - 1)];
        if (m_perRev) {
            const CShaftList& engine = m_ds.m_rpm[0];
            if (m_enginePos >= engine.Size()) return;  // no engine sample left to stand on
            m_t = engine[static_cast<Pos>(m_enginePos)].m_lTime;
            m_enginePos += static_cast<std::size_t>(m_perTach);
        } else {
            m_t += 10000.0 / m_rate;
        }
        const uint64_t period = v ? v : 0xFFFE;
        const uint64_t value =
            std::min<uint64_t>(static_cast<uint64_t>(m_clock) * 100 / period, 200000);
        CSample s;
        s.m_lTime = ToTime(m_t);
        s.m_lRaw = s.m_lFiltered = static_cast<int32_t>(value);
        list.AddTail(s);
        const Pos p = list.Tail();
        if (p == 0) {
            list.m_pMin = list.m_pMax = p;
        } else if (s.m_lRaw < list[list.m_pMin].m_lRaw) {
            list.m_pMin = p;
        } else if (s.m_lRaw > list[list.m_pMax].m_lRaw) {
            list.m_pMax = p;
        }
    }

    CBriodashDataset& m_ds;
    VexaKind m_kind;
    int m_series;
    bool m_wide, m_perRev;
    int m_rate;
    float m_ppr;
    double m_clock;
    int m_perTach;
    std::vector<uint8_t> m_pending;
    double m_t = 0;
    bool m_first = true;
    int64_t m_smallest = 0, m_average = 0;
    double m_lapTicks = 0, m_lapTime = 0;
    uint32_t m_prevLow = 0;
    int m_lap = 0, m_beacon = 0;
    std::size_t m_enginePos = 0;
};

}  // namespace

TransferStatus CUploadRun::VexaChannel(uint8_t command) {
    CBriodashDataset& ds = *m_ds;
    Status(kLinkLine2, "Getting Pre-Amble");
    m_port.Write({command});
    uint8_t buf[kMaxPacketData + 8] = {};
    std::size_t len = 0;
    auto fail = [this](const char* text) {
        Status(kLinkLine4, text);
        return TransferStatus::Failed;
    };
    if (!m_port.ReceivePacket(buf, len, 0)) return fail("User Aborted (Clock)...");
    const std::string pre(reinterpret_cast<const char*>(buf),
                          strnlen(reinterpret_cast<const char*>(buf), len));
    std::vector<char> restBuf(pre.size() + 1, '\0');
    unsigned long clock = 0;
    if (std::sscanf(pre.c_str(), "%lu, %[^\n]", &clock, restBuf.data()) < 1 || clock == 0)
        return fail("User Aborted (Clock)...");
    const std::string rest = restBuf.data();
    ds.m_fClock = static_cast<float>(clock);
    auto has = [&pre](const char* s) { return pre.find(s) != std::string::npos; };

    VexaKind kind = VexaKind::Engine;
    int series = 1, type = 0;
    if (has("LAP32")) {
        kind = VexaKind::Lap;
    } else if (has("AXLE_RPM") || has("REAR_RPM")) {
        kind = VexaKind::Axle;
        series = 2;
        type = has("AXLE_RPM") ? 10 : 12;
    } else if (has("ANALOG")) {
        kind = VexaKind::Analog;
        series = command - 0xB0 + 1;
        if (series < 1 || series > kAnalogChannels) return fail("User Aborted (Clock)...");
    } else if (has("FRONT_RPM") || has("WHEEL_RPM")) {
        kind = VexaKind::Front;
        series = 3;
        type = 11;
    } else if (has("CLUTCH_RPM")) {
        kind = VexaKind::Clutch;
        series = 4;
        type = 13;
    }
    const bool shaft = kind != VexaKind::Lap && kind != VexaKind::Analog;
    const bool perRev = rest.find("REV") != std::string::npos;
    int rate = 0;
    std::vector<char> rest2(rest.size() + 1, '\0');
    if (!perRev) std::sscanf(rest.c_str(), "%dHZ, %[^\n]", &rate, rest2.data());
    const bool wide =
        (kind == VexaKind::Axle || kind == VexaKind::Front || kind == VexaKind::Clutch) &&
        has("32Bit");
    const bool needsRate = !perRev && (kind == VexaKind::Analog || (shaft && !wide));
    if (needsRate && rate <= 0) return fail("User Aborted (Clock)...");
    if (shaft) {
        CShaftList& list = ds.m_rpm[static_cast<std::size_t>(series - 1)];
        list.m_bFramed = perRev ? 0 : 1;
        if (!perRev) list.m_fRate = static_cast<float>(rate);
        list.m_fClock = static_cast<float>(clock);
    }

    int ppr = 1, perTach = 1;
    std::string description;
    const char* bits = wide ? "32Bit" : "16Bit";
    if (kind == VexaKind::Axle || kind == VexaKind::Front || kind == VexaKind::Clutch) {
        ppr = PprBeforeMarker(pre);
        CFreqSetup& setup = RpmSetupOf(ds, series, type, m_defaults.units);
        setup.m_nPPR = ppr;
        ds.m_rpm[static_cast<std::size_t>(series - 1)].m_nPerLap = ppr;
        if (kind == VexaKind::Axle)
            description = perRev ? FormatText("Data: %s, Axle RPM @ %1d PPR", bits, ppr)
                                 : FormatText("Data: %s Drive Shaft/Axle RPM-%1d PPR @ %1d Hz",
                                              bits, ppr, rate);
        else if (kind == VexaKind::Clutch)
            description = perRev
                              ? FormatText("Data: %s, Clutch RPM @ %1d PPR", bits, ppr)
                              : FormatText("Data: %s Clutch RPM-%1d PPR @ %1d Hz", bits, ppr, rate);
        else
            description = perRev ? FormatText("Data: %s, Front Wheel RPM @ %1d PPR", bits, ppr)
                                 : FormatText("Data: Front Wheel RPM-%1d PPR @ %1d Hz", ppr, rate);
    } else if (kind == VexaKind::Engine) {
        const char* from =
            perRev ? (rest.rfind("REV, ", 0) == 0 ? rest.c_str() + 5 : "") : rest2.data();
        EngineSpec e = ParseEngine(from);
        ppr = e.ppr;
        int engineType = EngineRpmType(e.cylinders, e.cycle);
        CFreqSetup& setup = RpmSetupOf(ds, 1, engineType, m_defaults.units);
        setup.m_nPPR = RpmDefaultPPR(engineType);
        ds.m_rpm[0].m_nPerLap = setup.m_nPPR;
        description = e.halfRate ? FormatText("Data: %d Cylinders, 4 Cycle @ 1/2 PPR", e.cylinders)
                                 : FormatText("Data: %d Cylinders, %d Cycle @ %d PPR", e.cylinders,
                                              e.cycle, e.ppr);
    } else if (kind == VexaKind::Analog) {
        if (perRev) {
            std::size_t at = pre.find("TACH:");
            if (at == std::string::npos || std::sscanf(pre.c_str() + at + 5, "%d", &perTach) != 1 ||
                perTach < 1)
                return fail("User Aborted (Clock)...");
        }
        CAnalogSetup fresh;
        fresh.m_nChannel = series;
        CAnalogSetup& setup = FindOrInsert(ds.m_carSetup.m_analog, series, fresh);
        setup.m_nFamily = 1;
        NameAnalogSetup(setup, FormatText("Analog %1d", series), false);
        ds.m_analog[static_cast<std::size_t>(series - 1)].m_fRate =
            static_cast<float>(perRev ? perTach : rate);
        description = perRev ? FormatText("Data: Analog Freq @ 1/%1d Tach", perTach)
                             : FormatText("Data: Analog Freq @ %1d Hz", rate);
    } else {
        ds.m_markers.m_nPerLap = ds.m_nBeaconsPerLap;
        description = "Data: 32Bit Lap";
    }

    if (!m_port.ReceivePacket(buf, len, 0) || len < 4) return fail("User Aborted (Total Bytes)...");
    const uint32_t total = Le32(buf);
    Status(kLinkLine2, description);
    Status(kLinkLine3, FormatText("Total Bytes: %lu", static_cast<unsigned long>(total)));

    CVexaUnpacker unpack(ds, kind, series, wide, perRev, rate, static_cast<float>(ppr),
                         static_cast<double>(clock), perTach);
    uint32_t left = total;
    int packet = 1;
    auto packetLine = [&] {
        int32_t t = unpack.TimeSoFar();
        Status(kLinkLine4,
               FormatText("Packet:%3d, Time %02d:%02d, Bytes left: %5lu", packet, t / 600000,
                          (t / 10000) % 60, static_cast<unsigned long>(left)));
    };
    while (left > 0) {
        packetLine();
        if (!m_port.ReceivePacket(buf, len, static_cast<long>(left)))
            return fail("User Aborted (Packet Failure)...");
        std::size_t take = std::min<std::size_t>(len, left);
        unpack.Feed(buf, take);
        left -= static_cast<uint32_t>(take);
        ++packet;
    }
    --packet;
    packetLine();
    m_port.DiscardInput();
    return TransferStatus::Ok;
}

}  // namespace orvex
