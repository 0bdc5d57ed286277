// orvex-cli commands that work on a document: overlay, delete-data.
#include <cmath>
#include <cstdio>
#include <string>

#include "app/DataAcqApp.h"
#include "app/DocumentSetup.h"
#include "cli/Command.h"
#include "host/StderrHost.h"
#include "model/Document.h"

namespace orvex::cli {
namespace {

// Seconds with up to four decimals, as typed by a user, in 0.1 ms.
int32_t ParseSeconds(const std::string& text, const char* what) {
    char* end = nullptr;
    double s = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end || !std::isfinite(s) || std::fabs(s) > 214748.0)
        throw UsageError(std::string(what) + " must be a time in seconds");
    return static_cast<int32_t>(std::llround(s * 10000.0));
}

int Overlay(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string out = args.Positional(0, "OUT.tbc");
    if (args.Positional().size() < 3) throw UsageError("needs at least two input files");
    std::unique_ptr<CBriodashDoc> docPtr = ctx.Documents().NewDocument();
    CBriodashDoc& doc = *docPtr;
    if (!doc.Open(args.Positional(1, "IN1.tbc"))) return 1;
    for (std::size_t i = 2; i < args.Positional().size(); ++i)
        if (!doc.AddOverlay(args.Positional()[i])) return 1;
    ctx.Print("%s\n", doc.m_strTitle.c_str());
    return doc.Save(out) ? 0 : 1;
}

int DeleteData(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string in = args.Positional(0, "FILE.tbc");
    const std::string out = args.Positional(1, "OUT.tbc");
    const long n = args.GetInt("dataset", 1, 1, 1000000);
    const auto before = args.Get("before");
    const auto after = args.Get("after");
    if (!before && !after) throw UsageError("give --before T or --after T");
    std::unique_ptr<CBriodashDoc> docPtr = ctx.Documents().NewDocument();
    CBriodashDoc& doc = *docPtr;
    if (!doc.Open(in)) return 1;
    std::vector<CBriodashDataset*> shown = doc.ShownDatasets();
    if (static_cast<std::size_t>(n) > shown.size()) {
        ctx.PrintError("The file holds %zu data-set(s); there is no data-set %ld.\n", shown.size(),
                       n);
        return 1;
    }
    ctx.host.QueueAnswer(
        Answer::Yes);  // "You are about to delete data ..." is answered by the command
    CBriodashDataset* kept = doc.DeleteData(*shown[static_cast<std::size_t>(n - 1)],
                                            before ? ParseSeconds(*before, "--before") : kNotSet,
                                            after ? ParseSeconds(*after, "--after") : kNotSet);
    if (!kept) return 1;
    return doc.Save(out) ? 0 : 1;
}

}  // namespace
void AddDocumentCommands(std::vector<CommandInfo>& table) {
    table.push_back({"overlay", "overlay OUT.tbc IN1.tbc IN2.tbc ...", {}, {}, Overlay});
    table.push_back({"delete-data",
                     "delete-data FILE.tbc OUT.tbc --dataset N (--before T | --after T)",
                     {},
                     {"after", "before", "dataset"},
                     DeleteData});
}

}  // namespace orvex::cli
