// Constants and version comparison shared by the data file reader and writer.
#pragma once

#include <cctype>
#include <cstdint>
#include <string>

namespace orvex::datafile {

inline constexpr uint16_t kMagic = 0xAAAA;
inline constexpr const char* kHeader = "Brio-Dash Link Dataset";
inline constexpr uint16_t kSchema = 1;

inline constexpr const char* kDatasetClass = "CBriodashDataset";
inline constexpr const char* kFreqClass = "CFreqSetup";
inline constexpr const char* kAnalogClass = "CAnalogSetup";
inline constexpr const char* kDigitalClass = "CDigitalSetup";
inline constexpr const char* kCarSetupClass = "CCarSetup";  // files before 3.0 only

enum ClassId { kDatasetId, kFreqId, kAnalogId, kDigitalId, kCarSetupId };

inline constexpr float kCmPerInch = 2.54f;

// A file version: major.minor and letter, letters compared without regard to case.
struct Version {
    int major = 3;
    int minor = 3;
    int letter = 'E';  // upper case; 0 for no letter

    static int Letter(int c) { return c >= 0 && c < 256 ? std::toupper(c) : c; }
    bool AtLeast(int ma, int mi, int le = 0) const {
        if (major != ma) return major > ma;
        if (minor != mi) return minor > mi;
        return letter >= Letter(le);
    }
    bool Is(int ma, int mi) const { return major == ma && minor == mi; }
};

}  // namespace orvex::datafile
