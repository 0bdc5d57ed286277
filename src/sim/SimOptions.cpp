#include <cstdio>
#include <stdexcept>

#include "SimConversations.h"

namespace orvexsim {

bool ParseConversationOption(const std::string& a, const std::function<std::string()>& value,
                             Conversations& c) {
    auto number = [&]() { return std::stol(value(), nullptr, 0); };
    if (a == "--config-bytes") {
        c.menu.configBytes = number();
    } else if (a == "--config-bad") {
        c.menu.badReceptions = static_cast<int>(number());
    } else if (a == "--config-naks") {
        c.menu.sendNaks = static_cast<int>(number());
    } else if (a == "--config-in") {
        c.menu.configIn = value();
    } else if (a == "--config-out") {
        c.menu.configOut = value();
    } else if (a == "--clock") {
        if (std::sscanf(value().c_str(), "%ld,%d,%d,%d", &c.menu.clk, &c.menu.clkDiv,
                        &c.menu.sampleDiv, &c.menu.pcaDiv) != 4 ||
            c.menu.clk <= 0 || c.menu.clkDiv <= 0 || c.menu.sampleDiv <= 0 || c.menu.pcaDiv <= 0)
            throw std::runtime_error("--clock is CLK,CLK-DIV,SAMPLE-DIV,PCA-DIV");
    } else if (a == "--erase-ms") {
        c.menu.eraseMs = c.boot.eraseMs = static_cast<int>(number());
    } else if (a == "--boot-version") {
        c.boot.bootVersion = static_cast<int>(number());
    } else if (a == "--in-boot") {
        c.boot.inBoot = true;
    } else if (a == "--fast-cpu") {
        c.boot.fastCpu = true;
    } else if (a == "--battery") {
        c.boot.battery = true;
    } else if (a == "--no-copyright") {
        c.boot.copyright = false;
    } else if (a == "--reerase-ms") {
        c.boot.reeraseMs = static_cast<int>(number());
    } else if (a == "--flash-naks") {
        c.boot.flashNaks = static_cast<int>(number());
    } else if (a == "--flash-abort") {
        c.boot.flashAbort = true;
    } else if (a == "--flash-out") {
        c.boot.flashOut = value();
    } else if (a == "--recording") {
        c.live.recording = true;
    } else if (a == "--bad-poll") {
        c.live.badPoll = static_cast<int>(number());
    } else if (a == "--silent-polls") {
        if (std::sscanf(value().c_str(), "%d:%d", &c.live.silentFrom, &c.live.silentCount) != 2)
            throw std::runtime_error("--silent-polls is FROM:COUNT");
    } else if (a == "--analog-ramp") {
        c.live.analogRamp = static_cast<int>(number());
    } else if (a == "--log") {
        c.log = value();
    } else {
        return false;
    }
    return true;
}

void ConversationUsage() {
    std::fprintf(stderr,
                 "Kavrane configuration menu, boot monitor and live data:\n"
                 "  --config-bytes N        block size after \"Bytes=\" (984)\n"
                 "  --config-bad N          uploads of the block with a spoiled record (0)\n"
                 "  --config-naks N         downloads answered 0x15 first (0)\n"
                 "  --config-in FILE, --config-out FILE   block served / block received\n"
                 "  --clock K,DC,DS,DP      clock pre-amble (11059200,12,4608,3)\n"
                 "  --erase-ms N            time a memory or flash erase takes (50)\n"
                 "  --boot-version N        boot monitor 102 (old) or 103 (103)\n"
                 "  --in-boot               start in the boot monitor\n"
                 "  --fast-cpu, --battery   firmware options named in the sign-on text\n"
                 "  --no-copyright          sign-on text without \"Copyright\"\n"
                 "  --flash-naks N          reloads answered 0x15 (0)\n"
                 "  --reerase-ms N          erase after a refused reload (3000)\n"
                 "  --flash-abort           answer a reload with 0x90\n"
                 "  --flash-out FILE        write a reloaded image\n"
                 "  --recording             report that the logger is recording\n"
                 "  --bad-poll N            poll N answered with a bad checksum\n"
                 "  --silent-polls F:C      C polls from poll F go unanswered\n"
                 "  --analog-ramp N         analog readings rise N counts a poll (0)\n"
                 "  --log FILE              write every byte received from the host\n");
}

}  // namespace orvexsim
