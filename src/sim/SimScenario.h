// The simulated logger's recorded sessions: channel set-up, the bytes each transfer sends and
// the samples a host must end up with, written out as text for the tests to compare.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace orvexsim {

enum class Family { Vexa, Kavrane };
enum class TimerKind { Lap, Event, Gps };

struct Options {
    Family family = Family::Vexa;
    int typeCode = -1;  // -1: 8 for Vexa-Log, 0x21 for Kavrane
    int major = 2, minor = 10;
    std::set<int> rpm{1};    // RPM-type channels 1..5
    std::set<int> analog;    // analog channels 1..20 (1..8 on Vexa-Log loggers)
    std::set<int> switches;  // Kavrane switches 1..4
    std::set<int> timers;    // Kavrane timers 1, 2
    TimerKind timerKind[2] = {TimerKind::Lap, TimerKind::Event};
    int rate = 50;        // RPM samples per second
    int analogRate = 20;  // analog samples per second
    int switchRate = 10;
    bool perRev = false;    // Vexa-Log: per pulse / per revolution sampling
    bool bits32 = false;    // Vexa-Log: 32-bit axle, front and clutch records
    bool halfRate = false;  // engine read at half rate ("1/2 PPR")
    int cylinders = 8, strokes = 4;
    int analogBits = 12;  // Kavrane analog resolution
    int sessions = 1;
    int offered = 0;  // session number offered by default
    double seconds = 2.0;
    long imageBytes = 0;  // Kavrane: grow the memory image to at least this size
    bool tail2 = false;   // make transfers end with a two-byte packet where possible
    int packet = 128;     // data bytes per packet
    uint32_t seed = 1;
};

struct Transfer {
    std::string preamble;
    std::vector<uint8_t> data;
};

struct Session {
    uint8_t ident[13] = {};
    std::map<int, Transfer> channels;  // Vexa-Log: by command byte (0xA0 + i, 0xB0 + i)
    std::map<int, Transfer> timers;    // Kavrane: by timer index 0, 1
    std::string rpmPreamble[5], analogPreamble[20], switchPreamble[4];
    std::vector<uint8_t> image;       // Kavrane memory image
    std::vector<std::string> expect;  // the samples a host must end up with
};

std::vector<Session> BuildSessions(const Options& o);
// Writes "session N" sections with one sample per line.
bool WriteExpect(const std::string& path, const std::vector<Session>& sessions);

}  // namespace orvexsim
