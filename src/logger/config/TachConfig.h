// The host's copy of one logger channel configuration: enables, rates, sensor kinds, event
// timers and the three trigger equations, with its wire record, text report and time estimate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

struct EquationChannels;  // logger/config/Thresholds.h

// One event timer: kind, trigger edge, maximum events and minimum event time (clock ticks).
struct TachTimer {
    uint8_t m_nKind = 1;     // 1 Generic, 2 Lap Timer, 3 Trans-Brake, 4 Throttle Stop, 5 GPS
    uint8_t m_nTrigger = 2;  // 1 Opening, 2 Closing, 3 Opening & Closing
    uint16_t m_nMaxEvents = 50;
    uint16_t m_nMinTime = 5000;
    bool operator==(const TachTimer&) const = default;
};

// One RPM channel: rate divider, pulses per revolution and sensor kind (bit 6: no filter).
struct TachFreq {
    uint8_t m_nDivider = 10;
    uint8_t m_nPPR = 4;
    uint8_t m_nKind = 10;
    bool operator==(const TachFreq&) const = default;
};

// One analog channel: rate divider and analog kind.
struct TachAnalog {
    uint8_t m_nDivider = 10;
    uint8_t m_nKind = 1;
    bool operator==(const TachAnalog&) const = default;
};

// One term of a trigger equation. Channel byte: bit 7 in use, bits 5-6 the group
// (0 RPM, 1 digital On/Off, 2 digital time, 3 analog), bits 0-4 the channel number - 1.
struct TachTerm {
    uint8_t m_nChannel = 0;
    uint8_t m_nOperator = 0;
    uint16_t m_nValue = 0;  // threshold in the channel's raw units
    uint16_t m_nSpare = 0;  // raw value of the negated threshold for absolute-value operators
    bool operator==(const TachTerm&) const = default;
};

// The shape of one record as the logger announces it by its block size ("Bytes=").
struct TachRecordForm {
    int m_nAnalogs = 20;       // 19 or 20 analog channels on the wire
    bool m_bEquations = true;  // long form: equation flags, auto-start time and terms

    std::size_t RecordSize() const;
    std::size_t BlockSize() const { return 4 * RecordSize(); }
    // 316, 324, 976 or 984; any other size has no form.
    static std::optional<TachRecordForm> FromBlockSize(long blockBytes);
    bool operator==(const TachRecordForm&) const = default;
};

enum class TachDecode {
    Read,         // every field taken from the record
    Skipped,      // bit 7 of byte 0 clear: the configuration keeps its values
    BadSize,      // the record is not as long as the form says
    BadChecksum,  // the record's bytes do not sum to 0 modulo 256
};

class CTachConfig {
  public:
    static constexpr int kRpmChannels = 5;
    static constexpr int kAnalogChannels = 20;
    static constexpr int kSwitches = 4;
    static constexpr int kTimers = 2;
    static constexpr int kEquations = 3;
    static constexpr int kTerms = 9;

    CTachConfig();

    int32_t m_nClockRate = 200;
    float m_fPcaClock = 307200.0f;
    uint8_t m_nActive = 0;
    uint8_t m_nTimerStatus = 0;
    uint8_t m_nSwitchStatus = 0;
    uint8_t m_nSwitchDivider = 20;
    uint8_t m_nFreqStatus = 0;
    int32_t m_lAnalogStatus = 0;
    uint8_t m_switch[kSwitches] = {1, 1, 1, 1};
    TachTimer m_timer[kTimers];
    TachFreq m_freq[kRpmChannels];
    TachAnalog m_analog[kAnalogChannels];
    uint8_t m_nEqnFlags = 0;
    uint16_t m_nAutoStartTime = 1;
    TachTerm m_eqn[kEquations][kTerms];

    bool operator==(const CTachConfig&) const = default;

    // Wire record (most significant byte first, closed by the checksum byte).
    std::vector<uint8_t> EncodeRecord(const TachRecordForm& form) const;
    TachDecode DecodeRecord(const uint8_t* data, std::size_t size, const TachRecordForm& form);
    TachDecode DecodeRecord(const std::vector<uint8_t>& record, const TachRecordForm& form) {
        return DecodeRecord(record.data(), record.size(), form);
    }
    // The byte sum of a record modulo 256; 0 for a sound record.
    static uint8_t RecordSum(const uint8_t* data, std::size_t size);

    // The text report of the configuration. The equation terms are described with the
    // application's default channel setups; without them the terms show raw values.
    std::string Report(const EquationChannels* channels = nullptr) const;
    std::string ReportRpm() const;
    std::string ReportSwitches() const;
    std::string ReportTimers() const;
    std::string ReportAnalogs() const;
    std::string ReportEquation(int e, const EquationChannels* channels) const;

    // Bytes recorded per second, and the "Recording Time :" text for `segments` (1, 2, 4, 8).
    long BytesPerSecond() const;
    std::string RecordingTimeText(int segments) const;

    // Recomputes bit e of m_nEqnFlags from the terms in use; returns whether any is.
    bool UpdateEquationFlag(int e);

    // Kind names for the report and the editor pages ("Unknown" for kinds without a name).
    static std::string RpmKindName(int kind);
    static std::string AnalogKindName(int kind);
    static std::string SwitchKindName(int kind);
    static std::string TimerKindName(int kind);
    static std::string TriggerName(int trigger);
    static const char* OperatorText(int op);  // 0..9, nullptr outside
};

}  // namespace orvex
