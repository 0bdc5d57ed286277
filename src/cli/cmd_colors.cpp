// orvex-cli colors FILE.col: lists the colour sets of a colour-setup file.
#include <cstdio>
#include <string>

#include "cli/Command.h"
#include "graph/Color.h"
#include "host/StderrHost.h"

namespace {

void PrintColor(orvex::cli::Context& ctx, const std::string& name, orvex::ColorRef c) {
    ctx.Print("  %-8s %3d %3d %3d\n", (name + ":").c_str(), orvex::GetRValue(c),
              orvex::GetGValue(c), orvex::GetBValue(c));
}

int RunColors(const orvex::cli::Args& args, orvex::cli::Context& ctx) {
    const std::string path = args.Positional(0, "FILE.col");
    orvex::CStderrHost& host = ctx.host;
    const auto sets = orvex::ReadColorFile(path, host, true);
    if (!sets) return 1;
    ctx.Print("%zu color set%s\n", sets->size(), sets->size() == 1 ? "" : "s");
    for (std::size_t n = 0; n < sets->size(); ++n) {
        const orvex::CColor& c = (*sets)[n];
        ctx.Print("Set %zu\n", n + 1);
        PrintColor(ctx, orvex::CColor::MarkerName(), c.m_crMarker);
        for (int i = 0; i < orvex::CColor::kRpm; ++i)
            PrintColor(ctx, orvex::CColor::RpmName(i), c.m_crRpm[i]);
        for (int i = 0; i < orvex::CColor::kSlip; ++i)
            PrintColor(ctx, orvex::CColor::SlipName(i), c.m_crSlip[i]);
        for (int i = 0; i < orvex::CColor::kAnalog; ++i)
            PrintColor(ctx, orvex::CColor::AnalogName(i), c.m_crAnalog[i]);
        for (int i = 0; i < orvex::CColor::kDigital; ++i)
            PrintColor(ctx, orvex::CColor::DigitalName(i), c.m_crDigital[i]);
    }
    return 0;
}

}  // namespace

namespace orvex::cli {

void AddColourCommands(std::vector<CommandInfo>& table) {
    table.push_back({"colors", "colors FILE.col", {}, {}, RunColors});
}

}  // namespace orvex::cli
