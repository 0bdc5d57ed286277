// orvex-cli upload: retrieves a recorded session from a data logger on a serial port and saves
// it as a data file. The link window's status lines go to stderr.
#include <cstdio>
#include <string>

#include "app/UploadDocument.h"
#include "cli/Command.h"
#include "files/DataFile.h"
#include "host/StderrHost.h"

namespace {

using namespace orvex;

int RunUpload(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
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

    CStderrHost& host = ctx.host;
    host.ShowProgress(true);
    CDataAcqApp& app = ctx.App();

    CUploadOptions options;
    options.device = args.Has("port") ? ResolvePortArgument(args.Get("port", ""))
                                      : LoggerDevicePath(app.GetComPort(), app.GetComDevice());
    options.chooseSession = [&](int sessions, int offered) -> std::optional<int> {
        ctx.PrintError("%d sessions recorded (offered: %d)\n", sessions, offered);
        if (sessionNumber > sessions) {
            ctx.PrintError("orvex-cli upload: session %ld was not recorded (1 to %d)\n",
                           sessionNumber, sessions);
            return std::nullopt;
        }
        return static_cast<int>(sessionNumber);
    };
    // Every question of an upload is about keeping data received so far.
    for (int i = 0; i < 4; ++i) host.QueueAnswer(keep == "yes" ? Answer::Yes : Answer::No);

    auto line = MakePosixSerialLine();
    UploadedDocument uploaded = UploadToDocument(*line, options, ctx.Documents());
    if (!uploaded.doc) return 1;

    CBriodashDataset& ds = *uploaded.doc->m_datasets.front();
    ds.m_strName = DataFileBaseName(out);
    std::size_t samples = ds.m_markers.Size() + ds.m_gps.Size();
    ds.ForEachChannel([&](const CSeriesBase& s) { samples += s.Size(); });
    if (!uploaded.doc->Save(out)) return 1;
    ctx.Print("%s: %zu samples%s\n", out.c_str(), samples,
              uploaded.result.succeeded ? "" : " (upload cut short; data kept)");
    return 0;
}

}  // namespace

namespace orvex::cli {

void AddUploadCommands(std::vector<CommandInfo>& table) {
    table.push_back({"upload",
                     "upload --port DEVICE|1..8 --out FILE.tbc [--session last|N] [--keep yes|no]",
                     {},
                     {"keep", "out", "port", "session"},
                     RunUpload});
}

}  // namespace orvex::cli
