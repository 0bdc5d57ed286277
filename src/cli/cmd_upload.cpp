// orvex-cli upload: retrieves a recorded session from a data logger on a serial port and saves
// it as a data file. The link window's status lines go to stderr.
#include <cstdio>
#include <string>

#include "app/DataAcqApp.h"
#include "cli/Command.h"
#include "files/DataFile.h"
#include "host/StderrHost.h"
#include "logger/Upload.h"
#include "processing/SpikeFilter.h"

namespace {

using namespace orvex;

bool SaveUpload(const std::string& path, std::unique_ptr<CBriodashDataset> dataset,
                IHostServices& host, Units units) {
    DataFileContents contents;
    contents.datasets.push_back(std::move(dataset));
    return WriteDataFile(path, contents, host, units);
}

int RunUpload(int argc, char** argv, int first) {
    cli::Args args(argc, argv, first, {});
    if (!args.Positional().empty()) throw cli::UsageError("unexpected argument");
    const std::string out = args.Get("out", "");
    if (out.empty()) throw cli::UsageError("--out FILE.tbc is required");
    const std::string session = args.Get("session", "last");
    long sessionNumber = 0;
    if (session != "last") {
        try {
            std::size_t used = 0;
            sessionNumber = std::stol(session, &used);
            if (used != session.size() || sessionNumber < 1 || sessionNumber > 15)
                throw cli::UsageError("");
        } catch (const std::exception&) {
            throw cli::UsageError("--session is last or a number from 1 to 15");
        }
    }
    const std::string keep = args.Get("keep", "no");
    if (keep != "yes" && keep != "no") throw cli::UsageError("--keep is yes or no");

    CStderrHost host(true);
    CDataAcqApp app;
    app.LoadSettings(host);

    CUploadDefaults defaults;
    defaults.carSetup = app.GetDefaultCarSetup();
    defaults.units = app.GetUnits();
    defaults.autoSave = app.GetAutoSave();
    defaults.rpmFilter = app.GetRpmSpikeLevels();
    defaults.analogFilter = app.GetAnalogSpikeLevels();

    CUploadOptions options;
    options.device = args.Has("port") ? ResolvePortArgument(args.Get("port", ""))
                                      : LoggerDevicePath(app.GetComPort(), app.GetComDevice());
    options.chooseSession = [&](int sessions, int offered) -> std::optional<int> {
        std::fprintf(stderr, "%d sessions recorded (offered: %d)\n", sessions, offered);
        if (sessionNumber > sessions) {
            std::fprintf(stderr, "orvex-cli upload: session %ld was not recorded (1 to %d)\n",
                         sessionNumber, sessions);
            return std::nullopt;
        }
        return static_cast<int>(sessionNumber);
    };
    // Every question of an upload is about keeping data received so far.
    for (int i = 0; i < 4; ++i) host.QueueAnswer(keep == "yes" ? Answer::Yes : Answer::No);

    auto line = MakePosixSerialLine();
    CUploadResult result = UploadFromLogger(*line, defaults, options, host);
    if (!result.dataset) return 1;

    CBriodashDataset& ds = *result.dataset;
    ds.m_strName = DataFileBaseName(out);
    std::string report =
        FilterAndReport(ds, defaults.rpmFilter, defaults.analogFilter, false, host);
    if (!report.empty()) host.Message(report, Icon::Information);
    ds.DropUnconfigured();

    std::size_t samples = ds.m_markers.Size() + ds.m_gps.Size();
    ds.ForEachChannel([&](const CSeriesBase& s) { samples += s.Size(); });
    if (!SaveUpload(out, std::move(result.dataset), host, defaults.units)) return 1;
    std::printf("%s: %zu samples%s\n", out.c_str(), samples,
                result.succeeded ? "" : " (upload cut short; data kept)");
    return 0;
}

static cli::Register reg("upload",
                         "upload --port DEVICE|1..8 --out FILE.tbc [--session last|N] "
                         "[--keep yes|no]",
                         RunUpload);

}  // namespace
