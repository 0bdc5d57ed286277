// orvex-cli settings [--resave]: prints every setting as the settings file holds it, and
// optionally writes the file back as the program does at exit.
// orvex-cli config-report --user N: the report and recording time of stored configuration N.
#include <cstdio>
#include <string>

#include "app/DataAcqApp.h"
#include "cli/Command.h"
#include "host/StderrHost.h"

namespace {

int RunSettings(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    if (!args.Positional().empty()) throw orvex::cli::UsageError("unexpected argument");
    orvex::CStderrHost& host = ctx.host;
    orvex::CDataAcqApp& app = ctx.App();

    orvex::CProfileFile file;
    app.WriteSettings(file);
    for (const auto& section : file.Sections())
        for (const auto& [key, value] : file.Entries(section))
            ctx.Print("%s/%s = %s\n", section.c_str(), key.c_str(), value.c_str());

    if (args.Has("resave") && !app.SaveSettings(host)) return 1;
    return 0;
}

int RunConfigReport(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    if (!args.Has("user")) throw orvex::cli::UsageError("--user N is required");
    const long user = args.GetInt("user", 1, 1, orvex::CDataAcqApp::kLoggerConfigs);
    orvex::CDataAcqApp& app = ctx.App();

    const orvex::CTachConfig& config = app.GetLoggerConfig(static_cast<int>(user) - 1);
    const orvex::EquationChannels channels = app.GetEquationChannels();
    std::string report = config.Report(&channels);
    // The report's lines end in CR LF; the terminal gets plain line ends.
    std::string text;
    for (char c : report)
        if (c != '\r') text += c;
    ctx.Print("%sRecording Time : %s\n", text.c_str(),
              config.RecordingTimeText(app.GetRecordSegments()).c_str());
    return 0;
}

}  // namespace

namespace orvex::cli {

void AddSettingsCommands(std::vector<CommandInfo>& table) {
    table.push_back({"settings", "settings [--resave]", {"resave"}, {}, RunSettings});
    table.push_back({"config-report", "config-report --user N", {}, {"user"}, RunConfigReport});
}

}  // namespace orvex::cli
