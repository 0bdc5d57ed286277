// orvex-logger-sim: plays a data logger on a pseudo-terminal for tests, demos and users
// without hardware. The first line on stdout is the terminal to open.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "SimConversations.h"
#include "SimLink.h"
#include "SimLogger.h"
#include "SimScenario.h"

namespace {

using namespace orvexsim;

const char* g_linkPath = nullptr;

void OnSignal(int) {
    if (g_linkPath) ::unlink(g_linkPath);
    ::_exit(0);
}

void Usage() {
    std::fprintf(stderr,
                 "usage: orvex-logger-sim [options]\n"
                 "  --family vexa|kavrane   logger family (vexa)\n"
                 "  --type CODE             identification type code (8 / 0x21)\n"
                 "  --firmware M.NN         firmware version (2.10)\n"
                 "  --rpm LIST              RPM-type channels 1-5, e.g. 1,2,3 (1)\n"
                 "  --analog LIST           analog channels 1-20 (none)\n"
                 "  --switches LIST         switch channels 1-4 (Kavrane)\n"
                 "  --timers LIST           event timers 1,2 (Kavrane)\n"
                 "  --timer1 K, --timer2 K  timer kind lap|event|gps (lap, event)\n"
                 "  --rate HZ, --analog-rate HZ, --switch-rate HZ   sample rates (50, 20, 10)\n"
                 "  --per-rev               Vexa-Log: sample per pulse / per revolution\n"
                 "  --bits32                Vexa-Log: 32-bit shaft records\n"
                 "  --half-rate             engine read at 1/2 PPR\n"
                 "  --cylinders N, --strokes N   engine (8, 4)\n"
                 "  --analog-bits N         Kavrane analog resolution (12)\n"
                 "  --sessions N, --offered N    recorded sessions, session offered (1, 0)\n"
                 "  --seconds S             session length (2)\n"
                 "  --image-bytes N         Kavrane: memory image of at least N bytes\n"
                 "  --tail2                 end transfers with a two-byte packet\n"
                 "  --packet N              data bytes per packet (128)\n"
                 "  --seed N                data seed (1)\n"
                 "  --fault LIST            badsum,syn,noise,stall,overlength,dead,hangup\n"
                 "  --stall-ms N            length of the stall (1500)\n"
                 "  --pace                  send at the line rate\n"
                 "  --serve-forever         keep serving until killed\n"
                 "  --idle-exit MS          quiet time that ends a conversation (3000)\n"
                 "  --link PATH             symbolic link to the terminal\n"
                 "  --expect FILE           write the samples of every session as text\n");
    ConversationUsage();
}

std::set<int> ParseList(const std::string& text, int hi) {
    std::set<int> out;
    if (text == "none" || text.empty()) return out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t comma = text.find(',', pos);
        int v = std::atoi(text.substr(pos, comma - pos).c_str());
        if (v < 1 || v > hi) throw std::runtime_error("channel out of range in " + text);
        out.insert(v);
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return out;
}

TimerKind ParseTimerKind(const std::string& s) {
    if (s == "lap") return TimerKind::Lap;
    if (s == "event") return TimerKind::Event;
    if (s == "gps") return TimerKind::Gps;
    throw std::runtime_error("unknown timer kind " + s);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    Faults faults;
    Conversations conversations;
    bool pace = false, forever = false;
    int idleExit = 3000;
    std::string link, expect;
    try {
        for (int i = 1; i < argc; ++i) {
            std::string a = argv[i];
            auto value = [&]() -> std::string {
                if (i + 1 >= argc) throw std::runtime_error(a + " needs a value");
                return argv[++i];
            };
            auto number = [&]() { return std::stol(value(), nullptr, 0); };
            if (a == "--family") {
                std::string f = value();
                if (f != "vexa" && f != "kavrane") throw std::runtime_error("unknown family " + f);
                o.family = f == "kavrane" ? Family::Kavrane : Family::Vexa;
            } else if (a == "--type") {
                o.typeCode = static_cast<int>(number());
            } else if (a == "--firmware") {
                if (std::sscanf(value().c_str(), "%d.%d", &o.major, &o.minor) != 2)
                    throw std::runtime_error("firmware is M.NN");
            } else if (a == "--rpm") {
                o.rpm = ParseList(value(), 5);
            } else if (a == "--analog") {
                o.analog = ParseList(value(), 20);
            } else if (a == "--switches") {
                o.switches = ParseList(value(), 4);
            } else if (a == "--timers") {
                o.timers = ParseList(value(), 2);
            } else if (a == "--timer1" || a == "--timer2") {
                o.timerKind[a == "--timer2"] = ParseTimerKind(value());
            } else if (a == "--rate") {
                o.rate = static_cast<int>(number());
            } else if (a == "--analog-rate") {
                o.analogRate = static_cast<int>(number());
            } else if (a == "--switch-rate") {
                o.switchRate = static_cast<int>(number());
            } else if (a == "--per-rev") {
                o.perRev = true;
            } else if (a == "--bits32") {
                o.bits32 = true;
            } else if (a == "--half-rate") {
                o.halfRate = true;
            } else if (a == "--cylinders") {
                o.cylinders = static_cast<int>(number());
            } else if (a == "--strokes") {
                o.strokes = static_cast<int>(number());
            } else if (a == "--analog-bits") {
                o.analogBits = static_cast<int>(number());
            } else if (a == "--sessions") {
                o.sessions = static_cast<int>(number());
            } else if (a == "--offered") {
                o.offered = static_cast<int>(number());
            } else if (a == "--seconds") {
                o.seconds = std::stod(value());
            } else if (a == "--image-bytes") {
                o.imageBytes = number();
            } else if (a == "--tail2") {
                o.tail2 = true;
            } else if (a == "--packet") {
                o.packet = static_cast<int>(number());
            } else if (a == "--seed") {
                o.seed = static_cast<uint32_t>(number());
            } else if (a == "--fault") {
                std::string list = value() + ",";
                for (std::size_t p = 0, c; (c = list.find(',', p)) != std::string::npos;
                     p = c + 1) {
                    std::string f = list.substr(p, c - p);
                    if (f == "badsum")
                        faults.badSum = true;
                    else if (f == "syn")
                        faults.syn = true;
                    else if (f == "noise")
                        faults.noise = true;
                    else if (f == "stall")
                        faults.stall = true;
                    else if (f == "overlength")
                        faults.overLength = true;
                    else if (f == "dead")
                        faults.dead = true;
                    else if (f == "hangup")
                        faults.hangUp = true;
                    else if (!f.empty())
                        throw std::runtime_error("unknown fault " + f);
                }
            } else if (a == "--stall-ms") {
                faults.stallMs = static_cast<int>(number());
            } else if (a == "--pace") {
                pace = true;
            } else if (a == "--serve-forever") {
                forever = true;
            } else if (a == "--idle-exit") {
                idleExit = static_cast<int>(number());
            } else if (a == "--link") {
                link = value();
            } else if (a == "--expect") {
                expect = value();
            } else if (ParseConversationOption(a, value, conversations)) {
            } else if (a == "--help" || a == "-h") {
                Usage();
                return 0;
            } else {
                throw std::runtime_error("unknown option " + a);
            }
        }
        if (o.packet < 1 || o.packet > 512) throw std::runtime_error("--packet is 1 to 512");
        if (o.rate < 1 || o.analogRate < 1 || o.switchRate < 1)
            throw std::runtime_error("rates must be positive");
        if (o.family == Family::Vexa && !o.analog.empty() && *o.analog.rbegin() > 8)
            throw std::runtime_error("Vexa-Log loggers have analog channels 1 to 8");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvex-logger-sim: %s\n", e.what());
        Usage();
        return 2;
    }

    ::signal(SIGPIPE, SIG_IGN);
    std::vector<Session> sessions = BuildSessions(o);
    if (!expect.empty() && !WriteExpect(expect, sessions)) {
        std::fprintf(stderr, "orvex-logger-sim: cannot write %s\n", expect.c_str());
        return 1;
    }
    SimLink line;
    if (!line.Create()) return 1;
    line.SetPace(pace);
    if (!link.empty()) {
        ::unlink(link.c_str());
        if (::symlink(line.SlavePath().c_str(), link.c_str()) != 0) {
            std::fprintf(stderr, "orvex-logger-sim: cannot link %s: %s\n", link.c_str(),
                         std::strerror(errno));
            return 1;
        }
        g_linkPath = link.c_str();
    }
    ::signal(SIGTERM, OnSignal);
    ::signal(SIGINT, OnSignal);
    std::printf("%s\n", line.SlavePath().c_str());
    std::fflush(stdout);

    std::FILE* log = nullptr;
    if (!conversations.log.empty() && !(log = std::fopen(conversations.log.c_str(), "wb"))) {
        std::fprintf(stderr, "orvex-logger-sim: cannot write %s\n", conversations.log.c_str());
        return 1;
    }
    line.SetLog(log);
    SimLogger logger(line, o, faults, sessions);
    logger.SetConversations(conversations);
    logger.Serve(forever, idleExit);
    if (g_linkPath) ::unlink(g_linkPath);
    return 0;
}
