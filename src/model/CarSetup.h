// The car: transmission, rear end and the analog, digital and RPM channel setups, each list
// ordered by channel number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/ChannelSetups.h"

namespace orvex {

class CCarSetup {
  public:
    int32_t m_nRearEndMode = 1;  // 1 = ratio given ("Gear Ratio"), 0 = from the teeth
    int32_t m_nDriveTeeth = 2;
    int32_t m_nAxleTeeth = 8;
    int32_t m_nGears = 0;  // 0..6
    float m_fGearRatio[6] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    float m_fRearEndRatio = 4.0f;
    std::vector<CAnalogSetup> m_analog;
    std::vector<CDigitalSetup> m_digital;
    std::vector<CFreqSetup> m_rpm;

    CFreqSetup* FindRpmSetup(int channel);
    const CFreqSetup* FindRpmSetup(int channel) const;
    CAnalogSetup* FindAnalogSetup(int channel);
    const CAnalogSetup* FindAnalogSetup(int channel) const;
    CDigitalSetup* FindDigitalSetup(int channel);
    const CDigitalSetup* FindDigitalSetup(int channel) const;

    // Each returns whether a setup was removed.
    bool RemoveRpmSetup(int channel);
    bool RemoveAnalogSetup(int channel);
    bool RemoveDigitalSetup(int channel);
    void ClearSetups();

    // Replace: the list becomes a copy of `setups`. Merge: each of `setups` replaces the setup
    // of its channel or is inserted at its place; other channels are kept.
    void ReplaceRpmSetups(const std::vector<CFreqSetup>& setups);
    void MergeRpmSetups(const std::vector<CFreqSetup>& setups);
    void ReplaceAnalogSetups(const std::vector<CAnalogSetup>& setups);
    void MergeAnalogSetups(const std::vector<CAnalogSetup>& setups);
    void ReplaceDigitalSetups(const std::vector<CDigitalSetup>& setups);
    void MergeDigitalSetups(const std::vector<CDigitalSetup>& setups);

    // Gears given and each of their ratios above 0.
    bool HasGears() const;
    // A rear-end ratio above 0 that is not the untouched default.
    bool HasRearEnd() const;
    // Copies gears, ratios and the rear end from `other`.
    void CopyTransmission(const CCarSetup& other);

    // `name` is found as a substring, without regard to case.
    CFreqSetup* FindRpmSetupByTypeAndName(int type, std::string_view name);
    // Type 9 finds any engine type; type 12 prefers a rear wheel with a channel over a
    // definition.
    CFreqSetup* FindRpmSetupByType(int type);
    const CFreqSetup* FindRpmSetupByType(int type) const;
    // The setup of `channel`, created "User Defined" (type 0) or with the type's defaults.
    CFreqSetup& GetOrCreateRpmSetup(int channel, int type, Units units);

    // Analog lookups by logger configuration type (mapped to the setup family's code); the
    // name is found as a substring, without regard to case.
    CAnalogSetup* FindAnalogSetupByLoggerTypeAndName(int loggerType, std::string_view name);
    const CAnalogSetup* FindAnalogSetupByLoggerTypeAndName(int loggerType,
                                                           std::string_view name) const;
    CAnalogSetup* FindAnalogSetupByLoggerType(int loggerType);
    // The setup of `channel`; a new one with a type code > 0 gets the type and its defaults.
    CAnalogSetup& GetOrCreateAnalogSetup(int channel, int typeCode = 0);

    // `name` must match exactly.
    CDigitalSetup* FindDigitalSetupByTypeAndName(int type, std::string_view name);
    CDigitalSetup* FindDigitalSetupByType(int type);
    CDigitalSetup& GetOrCreateDigitalSetup(int channel);
};

// Which kind a failed check of `ValidateSetups` is about.
enum class SetupKind { Analog, Digital, Rpm, Transmission };

// Checks every setup of `kind` with the rules of the setup dialogs; returns the first fault's
// text or an empty text. RPM slip partners without a setup are reset to 0 on the way.
std::string ValidateSetups(CCarSetup& car, SetupKind kind);

}  // namespace orvex
