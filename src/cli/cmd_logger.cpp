// orvex-cli commands for the logger's configuration, firmware and live data:
//   hex-info FILE                 what a firmware image file holds
//   config retrieve|send          the logger's four configurations to and from the settings
//   firmware analyze|update       the logger's boot monitor and a flash reload
//   live                          readings of every live-data page, one line per poll
#include <cctype>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/DataAcqApp.h"
#include "cli/Command.h"
#include "host/StderrHost.h"
#include "logger/config/ConfigTransfer.h"
#include "logger/firmware/FirmwareImage.h"
#include "logger/firmware/FirmwareUpdate.h"
#include "logger/live/LiveData.h"

namespace {

using namespace orvex;

void PrintImage(orvex::cli::Context& ctx, const CIntelHexFile& hex) {
    ctx.Print("file: %s\n", hex.m_strPath.c_str());
    ctx.Print("version: %s\n", hex.m_bVersionFound ? hex.VersionText().c_str() : "Unknown");
    ctx.Print("boot version: %d.%02d\n", hex.m_nBootVersion / 100, hex.m_nBootVersion % 100);
    ctx.Print("cpu: %s\n", hex.m_bFastCpu ? "fast (22MHz)" : "slow");
    ctx.Print("battery: %s\n", hex.m_bBattery ? "yes" : "no");
    ctx.Print("start: 0x%04X\n", static_cast<unsigned>(hex.m_nStart));
    ctx.Print("end: 0x%04X\n", static_cast<unsigned>(hex.m_nEnd));
}

bool EndsWith(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    std::string end = s.substr(s.size() - tail.size());
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == tail;
}

int RunHexInfo(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string path = args.Positional(0, "FILE");
    CStderrHost& host = ctx.host;
    std::vector<CIntelHexFile> images;
    if (EndsWith(path, ".cfw")) {
        if (!ReadFirmwareArchive(path, images, host)) return 1;
    } else {
        CIntelHexFile hex;
        if (!hex.ReadHexFile(path, host)) return 1;
        images.push_back(std::move(hex));
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (i) ctx.Print("\n");
        PrintImage(ctx, images[i]);
    }
    return 0;
}

// The port of --port (a number 1 to 8 or a device path), else the settings' port.
CLinkOptions LinkOptions(const cli::Args& args, const CDataAcqApp& app) {
    CLinkOptions options;
    options.device = args.Has("port") ? ResolvePortArgument(args.Get("port", ""))
                                      : LoggerDevicePath(app.GetComPort(), app.GetComDevice());
    return options;
}

// Questions are answered Yes with --yes, else with their default (No).
void QueueAnswers(const cli::Args& args, CStderrHost& host) {
    if (args.Has("yes"))
        for (int i = 0; i < 8; ++i) host.QueueAnswer(Answer::Yes);
}

int RunConfig(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string what = args.Positional(0, "retrieve|send");
    if (what != "retrieve" && what != "send") throw cli::UsageError("config retrieve|send");
    CStderrHost& host = ctx.host;
    host.ShowProgress(true);
    CDataAcqApp& app = ctx.App();
    QueueAnswers(args, host);
    CConfigWorkset work;
    for (int i = 0; i < 4; ++i) work.configs[static_cast<std::size_t>(i)] = app.GetLoggerConfig(i);
    work.segments = app.GetRecordSegments();
    if (args.Has("segments")) {
        work.segments = static_cast<int>(args.GetInt("segments", 1, 1, 8));
        if (!IsSegmentChoice(work.segments)) throw cli::UsageError("--segments is 1, 2, 4 or 8");
    }
    work.shown = FirstActiveConfig(work.configs);
    const CLinkOptions options = LinkOptions(args, app);
    auto line = MakePosixSerialLine();
    bool ok;
    if (what == "retrieve") {
        ok = RetrieveConfiguration(*line, app.GetSharedPort(), work, options, host);
    } else {
        ok = SendConfiguration(*line, app.GetSharedPort(), work, app.GetEquationChannels(), options,
                               host);
    }
    if (!ok) return 1;
    for (int i = 0; i < 4; ++i) app.SetLoggerConfig(i, work.configs[static_cast<std::size_t>(i)]);
    app.SetRecordSegments(work.segments);
    if (!app.SaveSettings(host)) return 1;
    ctx.Print("%s: 4 configurations, configuration %d active, %d segment%s\n",
              what == "retrieve" ? "retrieved" : "sent", work.shown + 1, work.segments,
              work.segments == 1 ? "" : "s");
    return 0;
}

std::string PageLine(const CLivePropertyPage& page) {
    std::string line = page.Title() + ":";
    char buf[160];
    for (const LiveGauge& g : page.Gauges()) {
        switch (page.Kind()) {
            case LivePageKind::RpmSensors:
                std::snprintf(buf, sizeof buf, " #%d %s=%s", g.m_nChannel, g.m_strName.c_str(),
                              g.m_bIndicator ? "on" : "off");
                break;
            case LivePageKind::Switches:
                if (g.m_nChannel >= 5)
                    std::snprintf(buf, sizeof buf, " #%d [%s]", g.m_nChannel,
                                  g.m_strCaption.c_str());
                else
                    std::snprintf(buf, sizeof buf, " #%d %s=%s", g.m_nChannel, g.m_strName.c_str(),
                                  g.m_bIndicator ? "on" : "off");
                break;
            default:
                std::snprintf(buf, sizeof buf, " #%d %s=%.3f", g.m_nChannel, g.m_strName.c_str(),
                              g.m_fValue);
                break;
        }
        line += buf;
    }
    return line;
}

int RunLive(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    if (!args.Positional().empty()) throw cli::UsageError("unexpected argument");
    const double seconds = args.GetDouble("seconds", 1.0, 0.0, 86400.0);
    CStderrHost& host = ctx.host;
    host.ShowProgress(true);
    CDataAcqApp& app = ctx.App();
    const CLinkOptions options = LinkOptions(args, app);
    auto line = MakePosixSerialLine();
    CLiveDataSheet sheet(*line, host, options, app.GetDefaultCarSetup(), app.GetUnits(),
                         app.GetAnalog20Offset(), args.Has("demo") || app.GetLiveDemo(),
                         app.GetSharedPort());
    if (!sheet.Start()) return 1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    auto& pages = sheet.Pages();
    do {
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (sheet.ActivePage() != static_cast<int>(i)) sheet.ActivatePage(static_cast<int>(i));
            if (!sheet.Poll()) {
                if (!sheet.Reconnect()) return 1;
                continue;
            }
            ctx.Print("%s\n", PageLine(*pages[i]).c_str());
            ctx.out.flush();
            std::this_thread::sleep_for(std::chrono::milliseconds(CLiveDataSheet::kPollMs));
        }
    } while (!pages.empty() && std::chrono::steady_clock::now() < end);
    sheet.Close();
    return 0;
}

int RunFirmware(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string what = args.Positional(0, "analyze|update");
    if (what != "analyze" && what != "update") throw cli::UsageError("firmware analyze|update");
    const std::string imagePath = args.Get("image", "");
    if (what == "update" && imagePath.empty()) throw cli::UsageError("--image FILE is required");
    CStderrHost& host = ctx.host;
    host.ShowProgress(true);
    CDataAcqApp& app = ctx.App();
    QueueAnswers(args, host);
    const CLinkOptions options = LinkOptions(args, app);
    auto line = MakePosixSerialLine();
    CFirmwareDlg dlg(*line, host, options, app.GetSharedPort(), "");
    if (!dlg.AnalyzeLogger()) return 1;
    ctx.Print("boot version: %d.%02d\ncpu: %s\nfirmware: %s\n", dlg.BootVersion() / 100,
              dlg.BootVersion() % 100, dlg.FastCpu() ? "fast (22MHz)" : "slow",
              dlg.CurrentVersionText().c_str());
    int status = 0;
    if (what == "update") {
        std::vector<CIntelHexFile> images;
        if (EndsWith(imagePath, ".cfw")) {
            ReadFirmwareArchive(imagePath, images, host);
        } else {
            CIntelHexFile hex;
            if (hex.ReadHexFile(imagePath, host)) images.push_back(std::move(hex));
        }
        // The image is offered as the dialog offers it: an older version, a change of the
        // battery option or the same firmware again is only sent when the user agrees (--yes).
        dlg.OfferImages(std::move(images));
        if (dlg.Suitable().empty()) {
            ctx.PrintError("orvex-cli firmware: %s holds no image for this logger\n",
                           imagePath.c_str());
            status = 1;
        } else if (!dlg.OnUpdate()) {
            status = 1;
        } else {
            ctx.Print("updated to %s\n", dlg.CurrentVersionText().c_str());
        }
    }
    dlg.OnExit();
    return status;
}

}  // namespace

namespace orvex::cli {

void AddLoggerCommands(std::vector<CommandInfo>& table) {
    table.push_back({"config",
                     "config retrieve|send [--port DEVICE|1..8] [--segments N] [--yes]",
                     {"yes"},
                     {"port", "segments"},
                     RunConfig});
    table.push_back({"firmware",
                     "firmware analyze|update [--port DEVICE|1..8] [--image FILE] [--yes]",
                     {"yes"},
                     {"image", "port"},
                     RunFirmware});
    table.push_back({"live",
                     "live [--port DEVICE|1..8] [--seconds S] [--demo]",
                     {"demo"},
                     {"port", "seconds"},
                     RunLive});
    table.push_back({"hex-info", "hex-info FILE.hex|FILE.cfw", {}, {}, RunHexInfo});
}

}  // namespace orvex::cli
