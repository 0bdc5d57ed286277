// Logger channel configuration: wire record, text report and recording-time estimate.
#include "logger/TachConfig.h"

namespace orvex {

CTachConfig::CTachConfig() {
    m_freq[0].m_nKind = 1;
}

}  // namespace orvex
