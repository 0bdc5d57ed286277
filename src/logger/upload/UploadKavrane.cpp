// Kavrane transfers: event timers, channel pre-ambles and the interleaved memory image.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>

#include "logger/upload/UploadRun.h"

namespace orvex {

namespace {

// Larger byte counts than this are not believed (the logger's memory is far smaller).
constexpr uint32_t kLargestTransfer = 64u << 20;

std::string AfterFirstComma(const std::string& s) {
    std::size_t at = s.find(", ");
    return at == std::string::npos ? std::string() : s.substr(at + 2);
}

// Marker code 100 x lap + beacon, counting on after each marker.
struct LapCounter {
    int lap = 0, beacon = 0;
    int32_t Next(int beaconsPerLap) {
        int32_t code = 100 * lap + beacon;
        if (++beacon >= std::max(1, beaconsPerLap)) {
            beacon = 0;
            ++lap;
        }
        return code;
    }
};

}  // namespace

void CUploadRun::ShowRecordingTime(double t) {
    int32_t v = ToTime(t);
    Status(kLinkLine4, FormatText("Recording Time %02d:%02d", v / 600000, (v / 10000) % 60));
}

TransferStatus CUploadRun::ReceiveData(uint32_t total, std::vector<uint8_t>& data) {
    if (total > kLargestTransfer) {
        Status(kLinkLine4, "Failed Allocating Memory!");
        return TransferStatus::Failed;
    }
    data.clear();
    data.reserve((total + 127) / 128 * 128 + 128);
    uint8_t buf[kMaxPacketData + 8];
    uint32_t left = total;
    long estimate = static_cast<long>(total / 960);
    const auto start = std::chrono::steady_clock::now();
    for (int packet = 1; left > 0; ++packet) {
        Status(kLinkLine4, FormatText("Packet:%3d, Bytes left: %5lu, Time left: %1ld:%02d", packet,
                                      static_cast<unsigned long>(left), estimate / 60,
                                      static_cast<int>(estimate % 60)));
        std::size_t len = 0;
        if (!m_port.ReceivePacket(buf, len, static_cast<long>(left))) {
            Status(kLinkLine4, "User Aborted (Packet Failure)...");
            if (m_host.Ask("Do you wish to process uploaded data?", Buttons::YesNo, Answer::No) !=
                Answer::Yes)
                return TransferStatus::Failed;
            m_port.ClearAbort();
            return TransferStatus::Partial;
        }
        std::size_t take = std::min<std::size_t>(len, left);
        data.insert(data.end(), buf, buf + take);
        left -= static_cast<uint32_t>(take);
        double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // Bytes per second so far; empty packets give no rate to estimate from.
        const double rate = elapsed > 0 ? static_cast<double>(data.size()) / elapsed : 0.0;
        estimate = rate > 0 ? static_cast<long>(std::min(left / rate, 1.0e6)) : 6000;
    }
    return TransferStatus::Ok;
}

TransferStatus CUploadRun::KavraneTimer(int k) {
    CBriodashDataset& ds = *m_ds;
    auto fail = [this](const char* text) {
        Status(kLinkLine4, text);
        return TransferStatus::Failed;
    };
    m_port.Write({static_cast<uint8_t>(0xD0 + k)});
    uint8_t buf[kMaxPacketData + 8] = {};
    std::size_t len = 0;
    if (!m_port.ReceivePacket(buf, len, 0)) return fail("User Aborted (Clock)...");
    KavraneClock clock;
    const std::string pre(reinterpret_cast<const char*>(buf),
                          strnlen(reinterpret_cast<const char*>(buf), len));
    if (!ParseKavraneClock(pre, clock)) return fail("User Aborted (Clock)...");
    const double q = clock.TickRate();
    ds.m_fClock = static_cast<float>(q);
    std::vector<char> what(clock.rest.size() + 1, '\0');
    std::string description = clock.rest;
    if (std::sscanf(clock.rest.c_str(), "32Bit Timer, %[^\n]", what.data()) == 1)
        description = what.data();
    int mode = 0;  // 0 lap, 1 event, 2 GPS
    if (description.find("Lap Timer") != std::string::npos) {
        ds.m_markers.m_nPerLap = ds.m_nBeaconsPerLap;
    } else {
        CDigitalSetup fresh;
        fresh.m_nChannel = 5 + k;
        NameDigitalSetup(FindOrInsert(ds.m_carSetup.m_digital, 5 + k, fresh), description);
        mode = description.find("GPS") != std::string::npos ? 2 : 1;
    }
    if (!m_port.ReceivePacket(buf, len, 0) || len < 4) return fail("User Aborted (Total Bytes)...");
    const uint32_t total = Le32(buf);
    Status(kLinkLine2, FormatText("Data: Event Timer #%d", k + 1));
    Status(kLinkLine3, FormatText("Total Bytes: %lu", static_cast<unsigned long>(total)));
    std::vector<uint8_t> data;
    TransferStatus status = ReceiveData(total, data);
    if (status == TransferStatus::Failed) return status;
    Status(kLinkLine3, "");
    UnpackTimer(data, k, mode, q);
    m_port.DiscardInput();
    return status;
}

void CUploadRun::UnpackTimer(const std::vector<uint8_t>& data, int k, int mode, double q) {
    CBriodashDataset& ds = *m_ds;
    double t = 0, shown = 0;
    LapCounter laps;
    const std::size_t first = mode == 2 ? 26 : 4, size = mode == 2 ? 12 : 4;
    uint32_t lat0 = 0, lon0 = 0;
    for (std::size_t at = 0, n = 0; at + (n ? size : first) <= data.size();
         at += n ? size : first, ++n) {
        if (m_port.PumpAndTestAbort()) return;
        const uint8_t* r = data.data() + at;
        if (mode == 2) {
            uint32_t lat, lon, speed, heading;
            if (n == 0) {
                lat0 = lat = Be32(r + 8);
                lon0 = lon = Be32(r + 12);
                speed = Be16(r + 16);
                heading = Be16(r + 18);
                // UTC time of day and date of the first fix give the start of recording.
                uint32_t hms = Be32(r + 4), dmy = Be32(r + 20);
                std::tm tm{};
                tm.tm_mday = static_cast<int>(dmy / 10000);
                tm.tm_mon = static_cast<int>(dmy / 100 % 100) - 1;
                tm.tm_year = 100 + static_cast<int>(dmy % 100);
                tm.tm_hour = static_cast<int>(hms / 10000);
                tm.tm_min = static_cast<int>(hms / 100 % 100);
                tm.tm_sec = static_cast<int>(hms % 100);
                if (tm.tm_mday >= 1 && tm.tm_mon >= 0 && tm.tm_mon < 12)
                    m_result.recordingStart = static_cast<int64_t>(::timegm(&tm));
            } else {
                lat = lat0 + static_cast<uint32_t>(static_cast<int32_t>(
                                 static_cast<int16_t>(static_cast<uint16_t>(Be16(r + 4)))));
                lon = lon0 + static_cast<uint32_t>(static_cast<int32_t>(
                                 static_cast<int16_t>(static_cast<uint16_t>(Be16(r + 6)))));
                speed = Be16(r + 8);
                heading = Be16(r + 10);
            }
            t += Be32(r) / q * 10000.0;
            CGPSSample s = CGPSSample::FromLoggerWords(static_cast<uint32_t>(ToTime(t)), speed,
                                                       heading, lat, lon);
            s.m_lTime = ToTime(t);
            ds.m_gps.AddTail(s);
        } else {
            t += Le32(r) / q * 10000.0;
            CSample s;
            s.m_lTime = ToTime(t);
            if (mode == 0) {
                s.m_lRaw = s.m_lFiltered = laps.Next(ds.m_nBeaconsPerLap);
                ds.m_markers.AddTail(s);
            } else {
                s.m_lRaw = s.m_lFiltered = 0;
                ds.m_digital[static_cast<std::size_t>(4 + k)].AddTail(s);
            }
        }
        if (t - shown >= 50000) {
            shown = t;
            ShowRecordingTime(t);
        }
    }
    ShowRecordingTime(t);
}

bool CUploadRun::KavranePreamble(uint8_t command, int channel, const char* failure,
                                 KavraneClock& clock, int& downCount, std::string& rest) {
    m_port.Delay(0.5);
    m_port.Write({command, static_cast<uint8_t>(channel)});
    uint8_t buf[kMaxPacketData + 8] = {};
    std::size_t len = 0;
    bool ok = m_port.ReceivePacket(buf, len, 0);
    if (ok) {
        const std::string pre(reinterpret_cast<const char*>(buf),
                              strnlen(reinterpret_cast<const char*>(buf), len));
        std::vector<char> tail(pre.size() + 1, '\0');
        ok = ParseKavraneClock(pre, clock) &&
             std::sscanf(clock.rest.c_str(), "%d DN-CNT, %[^\n]", &downCount, tail.data()) >= 1 &&
             downCount >= 1;
        rest = tail.data();
    }
    if (!ok) Status(kLinkLine4, failure);
    return ok;
}

TransferStatus CUploadRun::KavraneMemory() {
    CBriodashDataset& ds = *m_ds;
    Status(kLinkLine2, "Uploading Channel Info...");
    KavraneClock clock;
    std::string rest;
    int down = 1;
    for (int i = 0; i < kRpmChannels; ++i) {
        if (!(m_ident[6] & (1 << i))) continue;
        Status(kLinkLine4, FormatText("RPM Channel #%1d", i + 1));
        if (!KavranePreamble(0xD8, i, "User Aborted (RPM Pre-Amble)...", clock, down, rest))
            return TransferStatus::Failed;
        ds.m_fClock = static_cast<float>(clock.TickRate());
        const double rate = clock.crystal / clock.clockDiv / clock.sampleDiv / down;
        int type = 0, ppr = 1;
        if (rest.find("DRIVESHAFT_RPM") != std::string::npos) {
            type = 10;
        } else if (rest.find("REAR_WHEEL_RPM") != std::string::npos) {
            type = 12;
        } else if (rest.find("FRONT_WHEEL_RPM") != std::string::npos) {
            type = 11;
        } else if (rest.find("CLUTCH_RPM") != std::string::npos) {
            type = 13;
        }
        if (type) {
            ppr = PprBeforeMarker(rest);
        } else {
            EngineSpec e = ParseEngine(rest.c_str());
            type = EngineRpmType(e.cylinders, e.cycle);
            ppr = RpmDefaultPPR(type);
        }
        CFreqSetup& setup = RpmSetupOf(ds, i + 1, type, m_defaults.units);
        setup.m_nPPR = ppr;
        CShaftList& list = ds.m_rpm[static_cast<std::size_t>(i)];
        list.m_nPerLap = ppr;
        list.m_fClock = ds.m_fClock;
        list.m_bFramed = 1;
        list.m_fRate = static_cast<float>(rate);
        m_rpmDown[i] = down;
        m_rpmRate[i] = rate;
    }
    if (m_ident[2] & 0x0F) {
        for (int j = 0; j < kAnalogChannels; ++j) {
            if (!(ds.m_nChannelEnable & (1u << j))) continue;
            Status(kLinkLine4, FormatText("Analog Channel #%1d", j + 1));
            if (!KavranePreamble(0xD9, j, "User Aborted (Analog Pre-Amble)...", clock, down, rest))
                return TransferStatus::Failed;
            const double rate = clock.crystal / clock.clockDiv / clock.sampleDiv / down;
            const std::string text = AfterFirstComma(rest);
            int bits = 12;
            std::vector<char> name(text.size() + 1, '\0');
            if (std::sscanf(text.c_str(), "%d Bits, %[^\n]", &bits, name.data()) < 1 || bits < 1 ||
                bits > 16)
                bits = 12;
            CAnalogSetup fresh;
            fresh.m_nChannel = j + 1;
            CAnalogSetup& setup = FindOrInsert(ds.m_carSetup.m_analog, j + 1, fresh);
            setup.m_nFamily = 0;
            setup.m_nBits = bits;
            NameAnalogSetup(setup, name.data(), true);
            ds.m_analog[static_cast<std::size_t>(j)].m_fRate = static_cast<float>(rate);
            m_analogDown[j] = down;
            m_analogRate[j] = rate;
            m_analogBits = bits;
        }
    }
    for (int j = 0; j < 4; ++j) {
        if (!(m_ident[11] & (1 << j))) continue;
        Status(kLinkLine4, FormatText("Switch Channel #%1d", j + 1));
        if (!KavranePreamble(0xDA, j, "User Aborted (Switch Pre-Amble)...", clock, down, rest))
            return TransferStatus::Failed;
        const double rate = clock.crystal / clock.clockDiv / clock.sampleDiv / down;
        CDigitalSetup fresh;
        fresh.m_nChannel = j + 1;
        NameDigitalSetup(FindOrInsert(ds.m_carSetup.m_digital, j + 1, fresh),
                         AfterFirstComma(rest));
        ds.m_digital[static_cast<std::size_t>(j)].m_fRate = static_cast<float>(rate);
        m_switchDown = down;
        m_switchRate = rate;
    }

    Status(kLinkLine2, "Retrieving recorded data...");
    if (m_ident[4] == 2 && m_ident[5] <= 8)
        m_port.Write({0xDF, 0x01});
    else
        m_port.Write({0xDF});
    uint8_t buf[kMaxPacketData + 8] = {};
    std::size_t len = 0;
    if (!m_port.ReceivePacket(buf, len, 0) || len < 4) {
        Status(kLinkLine4, "User Aborted (Total Bytes)...");
        return TransferStatus::Failed;
    }
    const uint32_t total = Le32(buf);
    Status(kLinkLine3, FormatText("Total Bytes: %lu", static_cast<unsigned long>(total)));
    std::vector<uint8_t> image;
    TransferStatus status = ReceiveData(total, image);
    if (status == TransferStatus::Failed) return status;
    Status(kLinkLine2, "Processing Channels...");
    Status(kLinkLine3, "");
    UnpackImage(image);
    m_port.DiscardInput();
    return status;
}

void CUploadRun::UnpackImage(const std::vector<uint8_t>& data) {
    CBriodashDataset& ds = *m_ds;
    struct Channel {
        int down = 1, countdown = 1;
        double t = 0, step = 0;
    };
    Channel rpm[kRpmChannels], analog[kAnalogChannels], sw;
    const uint8_t switches = m_ident[11] & 0x0F;
    sw.down = m_switchDown;
    sw.step = 10000.0 / m_switchRate;
    int64_t smallest[kRpmChannels] = {}, average[kRpmChannels] = {};
    bool any = switches != 0;
    for (int i = 0; i < kRpmChannels; ++i) {
        rpm[i].down = m_rpmDown[i];
        rpm[i].step = m_rpmRate[i] > 0 ? 10000.0 / m_rpmRate[i] : 0;
        any = any || (m_ident[6] & (1 << i));
    }
    const bool analogOn = (m_ident[2] & 0x0F) != 0;
    for (int j = 0; j < kAnalogChannels; ++j) {
        analog[j].down = m_analogDown[j];
        analog[j].step = m_analogRate[j] > 0 ? 10000.0 / m_analogRate[j] : 0;
        any = any || (analogOn && (ds.m_nChannelEnable & (1u << j)));
    }
    if (!any) return;  // nothing would ever read a byte
    const std::size_t analogBytes = m_analogBits < 9 ? 1 : 2;
    std::size_t at = 0;
    double latest = 0, shown = 0;
    long turns = 0;
    while (at < data.size()) {
        if ((++turns & 0x3FF) == 0 && m_port.PumpAndTestAbort()) return;
        if (switches && --sw.countdown == 0) {
            const uint8_t w = data[at++];
            sw.countdown = sw.down;
            for (int j = 0; j < 4; ++j) {
                if (!(switches & (1 << j))) continue;
                CSample s;
                s.m_lTime = ToTime(sw.t);
                s.m_lRaw = s.m_lFiltered = (w >> j) & 1;
                ds.m_digital[static_cast<std::size_t>(j)].AddTail(s);
            }
            sw.t += sw.step;
        }
        for (int i = 0; i < kRpmChannels; ++i) {
            if (!(m_ident[6] & (1 << i)) || --rpm[i].countdown != 0) continue;
            if (at + 2 > data.size()) return;
            const int64_t v = Be16(data.data() + at);
            at += 2;
            CShaftList& list = ds.m_rpm[static_cast<std::size_t>(i)];
            CShaft s;
            s.m_lTime = ToTime(rpm[i].t);
            s.m_lRaw = s.m_lFiltered = static_cast<int32_t>(v);
            list.AddTail(s);
            if (list.Size() == 1) {
                list.m_pMin = 0;
                smallest[i] = average[i] = v;
            } else {
                if (v < smallest[i] && static_cast<double>(v) > 0.8 * average[i]) {
                    list.m_pMin = list.Tail();
                    smallest[i] = v;
                }
                average[i] = (v + 4 * average[i]) / 5;
            }
            latest = std::max(latest, rpm[i].t);
            rpm[i].t += rpm[i].step;
            rpm[i].countdown = rpm[i].down;
        }
        for (int j = 0; analogOn && j < kAnalogChannels; ++j) {
            if (!(ds.m_nChannelEnable & (1u << j)) || --analog[j].countdown != 0) continue;
            if (at + analogBytes > data.size()) return;
            const int32_t v =
                static_cast<int32_t>(analogBytes == 1 ? data[at] : Be16(data.data() + at));
            at += analogBytes;
            CSampleList& list = ds.m_analog[static_cast<std::size_t>(j)];
            CSample s;
            s.m_lTime = ToTime(analog[j].t);
            s.m_lRaw = s.m_lFiltered = v;
            list.AddTail(s);
            const Pos p = list.Tail();
            if (p == 0)
                list.m_pMin = list.m_pMax = p;
            else if (v < list[list.m_pMin].m_lRaw)
                list.m_pMin = p;
            else if (v > list[list.m_pMax].m_lRaw)
                list.m_pMax = p;
            latest = std::max(latest, analog[j].t);
            analog[j].t += analog[j].step;
            analog[j].countdown = analog[j].down;
        }
        if (latest - shown >= 50000) {
            shown = latest;
            ShowRecordingTime(latest);
        }
    }
    ShowRecordingTime(latest);
}

}  // namespace orvex
