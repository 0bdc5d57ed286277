#include "SimScenario.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace orvexsim {

namespace {

// The logger's timer clock: 11.0592 MHz crystal, divided down to 307200 ticks per second and
// to a 200 Hz sampling tick.
constexpr double kCrystal = 11059200.0;
constexpr int kClockDiv = 12, kSampleDiv = 4608, kPcaDiv = 3;
constexpr uint32_t kVexaClock = 307200;
constexpr int kBaseTicksPerSecond = 200;

class Rng {
  public:
    explicit Rng(uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}
    uint32_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    // Uniform in [lo, hi].
    uint32_t In(uint32_t lo, uint32_t hi) { return lo + Next() % (hi - lo + 1); }

  private:
    uint32_t m_state;
};

std::string Fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* format, ...) {
    char buf[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v >> 16);
    Put16(out, v & 0xFFFF);
}
void Put32Le(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A slowly wandering value inside [lo, hi].
class Walk {
  public:
    Walk(Rng& rng, uint32_t lo, uint32_t hi) : m_rng(rng), m_lo(lo), m_hi(hi) {
        m_v = rng.In(lo, hi);
    }
    uint32_t Next() {
        uint32_t step = std::max<uint32_t>(1, (m_hi - m_lo) / 20);
        int64_t v = static_cast<int64_t>(m_v) + static_cast<int64_t>(m_rng.In(0, 2 * step)) -
                    static_cast<int64_t>(step);
        m_v = static_cast<uint32_t>(std::clamp<int64_t>(v, m_lo, m_hi));
        return m_v;
    }

  private:
    Rng& m_rng;
    uint32_t m_lo, m_hi, m_v;
};

std::string EngineText(const Options& o, int& ppr) {
    if (o.halfRate) {
        ppr = 1;
        return Fmt("%d CYL, %d CYCLE, 1/2 PPR", o.cylinders, o.strokes);
    }
    ppr = o.strokes == 4 ? std::max(1, o.cylinders / 2) : o.cylinders;
    return Fmt("%d CYL, %d CYCLE, %d PPR", o.cylinders, o.strokes, ppr);
}

// Sample count n of 16-bit records so that the last packet carries two bytes when asked.
long Count16(const Options& o, long n) {
    if (!o.tail2 || o.packet % 2) return n;
    while ((2 * n) % o.packet != 2) ++n;
    return n;
}

void BuildVexa(const Options& o, double seconds, Rng& rng, Session& s) {
    const float q = static_cast<float>(kVexaClock);
    std::vector<int32_t> engineTimes;
    for (int i = 0; i < 5; ++i) {
        if (!o.rpm.count(i + 1)) continue;
        Transfer tr;
        const int cmd = 0xA0 + i;
        if (i == 2) {  // lap channel: overflow count and timer value at each signal
            tr.preamble = Fmt("%u, LAP32", kVexaClock);
            uint64_t abs = 0, prev = 0;
            double lapTicks = 0;
            int lap = 0;
            while (lapTicks / kVexaClock < seconds) {
                uint32_t ticks = rng.In(kVexaClock / 3, kVexaClock * 2 / 3);
                abs += ticks;
                uint32_t h = static_cast<uint32_t>((abs >> 16) - (prev >> 16));
                Put16(tr.data, h);
                Put16(tr.data, static_cast<uint32_t>(abs & 0xFFFF));
                prev = abs;
                lapTicks += ticks;
                s.expect.push_back(Fmt("marker %d %d",
                                       static_cast<int32_t>(lapTicks / kVexaClock * 10000.0),
                                       100 * lap++));
            }
            s.channels[cmd] = tr;
            continue;
        }
        int ppr = 1;
        bool wide = false;
        std::string rate = o.perRev ? "REV" : Fmt("%dHZ", o.rate);
        if (i == 0) {
            tr.preamble = Fmt("%u, %s, %s", kVexaClock, rate.c_str(), EngineText(o, ppr).c_str());
        } else {
            static const char* kinds[5] = {"", "AXLE_RPM", "", "FRONT_RPM", "CLUTCH_RPM"};
            ppr = i == 3 ? 2 : 1;
            wide = o.bits32;
            tr.preamble = Fmt("%u, %s, %s, %s, %d PPR", kVexaClock, rate.c_str(), kinds[i],
                              wide ? "32Bit" : "16Bit", ppr);
        }
        long n = static_cast<long>(seconds * o.rate);
        if (!wide) n = Count16(o, n);
        Walk walk(rng, wide ? 2000 : 600, wide ? 200000 : 60000);
        double t = 0;
        for (long k = 0; k < n; ++k) {
            uint32_t v = walk.Next();
            if (wide) {
                Put32(tr.data, v);
            } else {
                Put16(tr.data, v);
            }
            if (wide || o.perRev) {
                float inc = static_cast<float>(v) * static_cast<float>(ppr) / q * 10000.0f;
                t += inc;
            } else if (k > 0) {
                t += 10000.0 / o.rate;
            }
            int32_t time = static_cast<int32_t>(t);
            if (i == 0) engineTimes.push_back(time);
            static const int series[5] = {1, 2, 0, 3, 4};  // lap channel has no RPM series
            s.expect.push_back(Fmt("rpm %d %d %u", series[i], time, v));
        }
        s.channels[cmd] = tr;
    }
    const int perTach = 4;
    for (int j = 0; j < 20; ++j) {
        if (!o.analog.count(j + 1)) continue;
        Transfer tr;
        tr.preamble = o.perRev ? Fmt("%u, REV, ANALOG, TACH:%d", kVexaClock, perTach)
                               : Fmt("%u, %dHZ, ANALOG", kVexaClock, o.analogRate);
        long n = o.perRev ? static_cast<long>(engineTimes.size() / perTach + 3)
                          : static_cast<long>(seconds * o.analogRate);
        n = Count16(o, n);
        Walk walk(rng, 100, 40000);
        double t = 0;
        for (long k = 0; k < n; ++k) {
            uint32_t v = walk.Next();
            if (k % 17 == 5) v = 0;    // no reading
            if (k % 23 == 7) v = 100;  // faster than the top of the range
            Put16(tr.data, v);
            uint64_t value = uint64_t{kVexaClock} * 100 / (v ? v : 0xFFFE);
            value = std::min<uint64_t>(value, 200000);
            int32_t time;
            if (o.perRev) {
                std::size_t at = static_cast<std::size_t>(k) * perTach;
                if (at >= engineTimes.size()) continue;  // the host drops these
                time = engineTimes[at];
            } else {
                t += 10000.0 / o.analogRate;
                time = static_cast<int32_t>(t);
            }
            s.expect.push_back(
                Fmt("analog %d %d %llu", j + 1, time, static_cast<unsigned long long>(value)));
        }
        s.channels[0xB0 + j] = tr;
    }
}

std::string ClockText() {
    return Fmt("%.0f CLK, %d CLK-DIV, %d SAMPLE-DIV, %d PCA-DIV", kCrystal, kClockDiv, kSampleDiv,
               kPcaDiv);
}

int DownCount(int rate) {
    return std::max(1, kBaseTicksPerSecond / std::max(1, rate));
}

double RateOf(int downCount) {
    return kCrystal / kClockDiv / kSampleDiv / downCount;
}

void BuildKavraneTimers(const Options& o, double seconds, Rng& rng, Session& s) {
    const double q = kCrystal / kClockDiv / kPcaDiv;
    for (int k = 0; k < 2; ++k) {
        if (!o.timers.count(k + 1)) continue;
        Transfer tr;
        TimerKind kind = o.timerKind[k];
        const char* what = kind == TimerKind::Lap     ? "Lap Timer"
                           : kind == TimerKind::Event ? "Trans-Brake"
                                                      : "GPS Receiver";
        tr.preamble = ClockText() + ", 32Bit Timer, " + what;
        double t = 0;
        int n = 0;
        if (kind == TimerKind::Gps) {
            uint32_t lat0 = 0x80000000u | (3352000u + rng.In(0, 5000));  // south
            uint32_t lon0 = 1512000u + rng.In(0, 5000);
            while (t / 10000.0 < seconds) {
                uint32_t ticks = static_cast<uint32_t>(q / 5) + rng.In(0, 50);
                uint32_t speed = rng.In(0, 2500), heading = rng.In(0, 3599);
                uint32_t lat = lat0, lon = lon0;
                if (n == 0) {
                    Put32(tr.data, ticks);
                    Put32(tr.data, 134502);
                    Put32(tr.data, lat0);
                    Put32(tr.data, lon0);
                    Put16(tr.data, speed);
                    Put16(tr.data, heading);
                    Put32(tr.data, 150624);
                    Put16(tr.data, 0);
                } else {
                    int16_t dlat = static_cast<int16_t>(rng.In(0, 2000) - 1000);
                    int16_t dlon = static_cast<int16_t>(rng.In(0, 2000) - 1000);
                    lat = lat0 + static_cast<uint32_t>(static_cast<int32_t>(dlat));
                    lon = lon0 + static_cast<uint32_t>(static_cast<int32_t>(dlon));
                    Put32(tr.data, ticks);
                    Put16(tr.data, static_cast<uint16_t>(dlat));
                    Put16(tr.data, static_cast<uint16_t>(dlon));
                    Put16(tr.data, speed);
                    Put16(tr.data, heading);
                }
                t += ticks / q * 10000.0;
                s.expect.push_back(
                    Fmt("gps %d %u %u %u %u", static_cast<int32_t>(t), speed, heading, lat, lon));
                ++n;
            }
        } else {
            while (t / 10000.0 < seconds) {
                uint32_t ticks = static_cast<uint32_t>(rng.In(kVexaClock / 4, kVexaClock / 2));
                Put32Le(tr.data, ticks);
                t += ticks / q * 10000.0;
                if (kind == TimerKind::Lap)
                    s.expect.push_back(Fmt("marker %d %d", static_cast<int32_t>(t), 100 * n));
                else
                    s.expect.push_back(Fmt("digital %d %d 0", 5 + k, static_cast<int32_t>(t)));
                ++n;
            }
        }
        s.timers[k] = tr;
    }
}

void BuildKavraneImage(const Options& o, double seconds, Rng& rng, Session& s) {
    static const char* sensors[5] = {"", "DRIVESHAFT_RPM, 1 PPR", "REAR_WHEEL_RPM, 1 PPR",
                                     "FRONT_WHEEL_RPM, 2 PPR", "CLUTCH_RPM, 1 PPR"};
    static const char* analogNames[8] = {"Shock-LF",         "Throttle",    "EGT Cyl # 3",
                                         "Brake Pressure",   "Ride Height", "Steering",
                                         "Left-Right Accel", "CHT #1"};
    static const char* switchNames[4] = {"Brake", "Throttle", "Generic", "Line Lock"};
    const int mRpm = DownCount(o.rate), mAnalog = DownCount(o.analogRate),
              mSwitch = DownCount(o.switchRate);
    for (int i : o.rpm) {
        int ppr = 1;
        std::string sensor = i == 1 ? EngineText(o, ppr) : sensors[i - 1];
        s.rpmPreamble[i - 1] = Fmt("%s, %d DN-CNT, %s", ClockText().c_str(), mRpm, sensor.c_str());
    }
    for (int j : o.analog)
        s.analogPreamble[j - 1] = Fmt("%s, %d DN-CNT, ANALOG, %d Bits, %s", ClockText().c_str(),
                                      mAnalog, o.analogBits, analogNames[(j - 1) % 8]);
    for (int j : o.switches)
        s.switchPreamble[j - 1] =
            Fmt("%s, %d DN-CNT, SWITCH, %s", ClockText().c_str(), mSwitch, switchNames[j - 1]);

    struct Channel {
        std::string series;
        int down = 1, countdown = 1;
        double t = 0;
        uint32_t lo = 0, hi = 0;
        int bytes = 2;
    };
    std::vector<Channel> channels;
    for (int i : o.rpm) channels.push_back({Fmt("rpm %d", i), mRpm, 1, 0, 600, 60000, 2});
    const int analogBytes = o.analogBits < 9 ? 1 : 2;
    const uint32_t full = (1u << std::min(o.analogBits, 16)) - 1;
    for (int j : o.analog)
        channels.push_back({Fmt("analog %d", j), mAnalog, 1, 0, 0, full, analogBytes});
    Channel sw{"", mSwitch, 1, 0, 0, 0, 1};
    uint8_t switchMask = 0;
    for (int j : o.switches) switchMask = static_cast<uint8_t>(switchMask | (1u << (j - 1)));

    long ticks = static_cast<long>(seconds * kBaseTicksPerSecond);
    long tick = 0;
    auto runTick = [&] {
        if (switchMask) {
            if (--sw.countdown == 0) {
                uint8_t w = static_cast<uint8_t>(rng.Next() & switchMask);
                s.image.push_back(w);
                sw.countdown = sw.down;
                for (int j = 0; j < 4; ++j)
                    if (switchMask & (1u << j))
                        s.expect.push_back(Fmt("digital %d %d %d", j + 1,
                                               static_cast<int32_t>(sw.t), (w >> j) & 1));
                sw.t += 10000.0 / RateOf(sw.down);
            }
        }
        for (Channel& c : channels) {
            if (--c.countdown != 0) continue;
            uint32_t v = c.lo + rng.Next() % (c.hi - c.lo + 1);
            if (c.bytes == 2)
                Put16(s.image, v);
            else
                s.image.push_back(static_cast<uint8_t>(v));
            s.expect.push_back(Fmt("%s %d %u", c.series.c_str(), static_cast<int32_t>(c.t), v));
            c.t += 10000.0 / RateOf(c.down);
            c.countdown = c.down;
        }
        ++tick;
    };
    if (channels.empty() && !switchMask) return;
    while (tick < ticks || static_cast<long>(s.image.size()) < o.imageBytes) runTick();
    if (o.tail2)
        for (int extra = 0; extra < 20000 && static_cast<long>(s.image.size()) % o.packet != 2;
             ++extra)
            runTick();
}

}  // namespace

std::vector<Session> BuildSessions(const Options& o) {
    std::vector<Session> sessions;
    const bool kavrane = o.family == Family::Kavrane;
    for (int n = 1; n <= std::max(1, o.sessions); ++n) {
        Session s;
        Rng rng(o.seed * 7919u + static_cast<uint32_t>(n));
        double seconds = o.seconds * (1.0 + 0.25 * (n - 1));
        uint32_t analogMask = 0;
        for (int j : o.analog) analogMask |= 1u << (j - 1);
        uint8_t rpmMask = 0, switchMask = 0, timerMask = 0;
        for (int i : o.rpm) rpmMask = static_cast<uint8_t>(rpmMask | (1u << (i - 1)));
        for (int j : o.switches) switchMask = static_cast<uint8_t>(switchMask | (1u << (j - 1)));
        for (int k : o.timers) timerMask = static_cast<uint8_t>(timerMask | (1u << (k - 1)));
        int type = o.typeCode >= 0 ? o.typeCode : (kavrane ? 0x21 : 8);
        int analogCount = std::min<int>(15, static_cast<int>(o.analog.size()));
        uint8_t ident[13] = {static_cast<uint8_t>(type),
                             5,
                             static_cast<uint8_t>((kavrane ? 0x80 : 0) | analogCount),
                             static_cast<uint8_t>((o.sessions & 0x0F) | ((o.offered & 0x0F) << 4)),
                             static_cast<uint8_t>(o.major),
                             static_cast<uint8_t>(o.minor),
                             rpmMask,
                             static_cast<uint8_t>(analogMask),
                             static_cast<uint8_t>(analogMask >> 8),
                             static_cast<uint8_t>(analogMask >> 16),
                             static_cast<uint8_t>(analogMask >> 24),
                             switchMask,
                             timerMask};
        std::copy(ident, ident + 13, s.ident);
        if (kavrane) {
            BuildKavraneTimers(o, seconds, rng, s);
            BuildKavraneImage(o, seconds, rng, s);
        } else {
            BuildVexa(o, seconds, rng, s);
        }
        sessions.push_back(std::move(s));
    }
    return sessions;
}

bool WriteExpect(const std::string& path, const std::vector<Session>& sessions) {
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    for (std::size_t n = 0; n < sessions.size(); ++n) {
        std::fprintf(f, "session %zu\n", n + 1);
        for (const std::string& line : sessions[n].expect) std::fprintf(f, "%s\n", line.c_str());
    }
    return std::fclose(f) == 0;
}

}  // namespace orvexsim
