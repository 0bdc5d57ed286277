// orvex-cli settings [--resave]: prints every setting as the settings file holds it, and
// optionally writes the file back as the program does at exit.
// orvex-cli config-report --user N: the report and recording time of stored configuration N.
#include <cstdio>
#include <string>

#include "app/DataAcqApp.h"
#include "cli/Command.h"
#include "host/StderrHost.h"

namespace {

int RunSettings(int argc, char** argv, int first) {
    orvex::cli::Args args(argc, argv, first, {"resave"});
    if (!args.Positional().empty()) throw orvex::cli::UsageError("unexpected argument");
    orvex::CStderrHost host;
    orvex::CDataAcqApp app;
    app.LoadSettings(host);

    orvex::CProfileFile file;
    app.WriteSettings(file);
    for (const auto& section : file.Sections())
        for (const auto& [key, value] : file.Entries(section))
            std::printf("%s/%s = %s\n", section.c_str(), key.c_str(), value.c_str());

    if (args.Has("resave") && !app.SaveSettings(host)) return 1;
    return 0;
}

int RunConfigReport(int argc, char** argv, int first) {
    orvex::cli::Args args(argc, argv, first, {});
    if (!args.Has("user")) throw orvex::cli::UsageError("--user N is required");
    const long user = args.GetInt("user", 1, 1, orvex::CDataAcqApp::kLoggerConfigs);
    orvex::CStderrHost host;
    orvex::CDataAcqApp app;
    app.LoadSettings(host);

    const orvex::CTachConfig& config = app.GetLoggerConfig(static_cast<int>(user) - 1);
    const orvex::EquationChannels channels = app.GetEquationChannels();
    std::string report = config.Report(&channels);
    // The report's lines end in CR LF; the terminal gets plain line ends.
    std::string text;
    for (char c : report)
        if (c != '\r') text += c;
    std::printf("%sRecording Time : %s\n", text.c_str(),
                config.RecordingTimeText(app.GetRecordSegments()).c_str());
    return 0;
}

static orvex::cli::Register regSettings("settings", "settings [--resave]", RunSettings);
static orvex::cli::Register regReport("config-report", "config-report --user N", RunConfigReport);

}  // namespace
