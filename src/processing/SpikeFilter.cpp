#include "processing/SpikeFilter.h"

namespace orvex {

long SpikeFilter(CSampleList&, int, int, IHostServices&) {
    return 0;
}
long SpikeFilter(CShaftList&, int, IHostServices&) {
    return 0;
}
std::string FilterAndReport(CBriodashDataset&, const std::array<int, kRpmChannels>&,
                            const std::array<int, kAnalogChannels>&, bool, IHostServices&) {
    return {};
}
int64_t SmoothStart(CSeriesBase&, Pos, int) {
    return 0;
}
int64_t SmoothContinue(CSeriesBase&, Pos) {
    return 0;
}

}  // namespace orvex
