// Options of the simulated logger's configuration menu, boot monitor with flash reload and
// live data, and the parsing of their command-line switches.
#pragma once

#include <functional>
#include <string>

namespace orvexsim {

struct MenuOptions {
    long configBytes = 984;  // the block size announced after "Bytes="
    int badReceptions = 0;   // uploads of the block that go out with a spoiled record
    int sendNaks = 0;        // downloads answered 0x15 before one is taken
    std::string configIn;    // the block served (default: generated)
    std::string configOut;   // where a downloaded block is written
    long clk = 11059200;     // the clock pre-amble
    int clkDiv = 12, sampleDiv = 4608, pcaDiv = 3;
    int eraseMs = 50;
};

struct BootOptions {
    int bootVersion = 103;  // 102: an old boot monitor that does not answer identification
    bool inBoot = false;    // the logger starts in its boot monitor
    bool fastCpu = false;
    bool battery = false;
    bool copyright = true;  // the sign-on text holds "Copyright"
    int eraseMs = 50;
    int reeraseMs = 3000;     // the erase after a refused reload, longer than the host's wait
    int flashNaks = 0;        // reloads answered 0x15 at the end
    bool flashAbort = false;  // the reload is answered 0x90 at the end
    std::string flashOut;     // where a reloaded image is written
};

struct LiveOptions {
    bool recording = false;
    int badPoll = 0;      // the poll (counted from 1) answered with a bad checksum
    int silentFrom = 0;   // polls from this one on go unanswered ...
    int silentCount = 0;  // ... this many of them
    int analogRamp = 0;   // counts the analog readings rise with every poll
};

struct Conversations {
    MenuOptions menu;
    BootOptions boot;
    LiveOptions live;
    std::string log;  // every byte received from the host is written here
};

// Takes option `a` when it is one of these conversations' switches (`value` gives its
// argument); false for any other option. Throws std::runtime_error on a bad value.
bool ParseConversationOption(const std::string& a, const std::function<std::string()>& value,
                             Conversations& c);
void ConversationUsage();

}  // namespace orvexsim
