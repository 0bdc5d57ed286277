// orvex-cli colors FILE.col: lists the colour sets of a colour-setup file.
#include <cstdio>
#include <string>

#include "cli/Command.h"
#include "graph/Color.h"
#include "host/StderrHost.h"

namespace {

void PrintColor(const std::string& name, orvex::ColorRef c) {
    std::printf("  %-8s %3d %3d %3d\n", (name + ":").c_str(), orvex::GetRValue(c),
                orvex::GetGValue(c), orvex::GetBValue(c));
}

int RunColors(int argc, char** argv, int first) {
    orvex::cli::Args args(argc, argv, first, {});
    const std::string path = args.Positional(0, "FILE.col");
    orvex::CStderrHost host;
    const auto sets = orvex::ReadColorFile(path, host, true);
    if (!sets) return 1;
    std::printf("%zu color set%s\n", sets->size(), sets->size() == 1 ? "" : "s");
    for (std::size_t n = 0; n < sets->size(); ++n) {
        const orvex::CColor& c = (*sets)[n];
        std::printf("Set %zu\n", n + 1);
        PrintColor(orvex::CColor::MarkerName(), c.m_crMarker);
        for (int i = 0; i < orvex::CColor::kRpm; ++i)
            PrintColor(orvex::CColor::RpmName(i), c.m_crRpm[i]);
        for (int i = 0; i < orvex::CColor::kSlip; ++i)
            PrintColor(orvex::CColor::SlipName(i), c.m_crSlip[i]);
        for (int i = 0; i < orvex::CColor::kAnalog; ++i)
            PrintColor(orvex::CColor::AnalogName(i), c.m_crAnalog[i]);
        for (int i = 0; i < orvex::CColor::kDigital; ++i)
            PrintColor(orvex::CColor::DigitalName(i), c.m_crDigital[i]);
    }
    return 0;
}

static orvex::cli::Register reg("colors", "colors FILE.col", RunColors);

}  // namespace
