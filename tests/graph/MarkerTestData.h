// Small sessions for the marker tests: samples every 1000 ticks from 0 to 4000 with distances
// 0, 100, 200... and RPM values stored directly as the shown value.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graph/MarkerValues.h"
#include "model/Document.h"

namespace orvex::test {

inline CSample MakeSample(int32_t t, int32_t v, int32_t d = 0) {
    CSample s;
    s.m_lTime = t;
    s.m_lRaw = s.m_lFiltered = v;
    s.m_lDistance = d;
    return s;
}

inline CShaft MakeShaft(int32_t t, int32_t v, int32_t d, int32_t slip = -1) {
    CShaft s;
    s.m_lTime = t;
    s.m_lRaw = s.m_lFiltered = v;
    s.m_lDistance = d;
    s.m_lSlip = slip;
    return s;
}

// Channels: RPM 1 engine "Engine RPM", RPM 2 rear wheel "Rear Wheel" shown as speed with its
// slip against channel 1; analog 1 custom "Throttle" (0..100, resolution 10); digital 1 switch
// "Brake"; digital 2 lap timer (event style) "Beacon".
inline std::unique_ptr<CBriodashDataset> MarkerSession(const std::string& name,
                                                       bool withDistance = true) {
    auto ds = std::make_unique<CBriodashDataset>();
    ds->m_strName = name;
    ds->m_nDistanceSource = withDistance ? 2 : 0;
    CFreqSetup engine = CFreqSetup::Make(1, kRpmEightCylinder, Units::Imperial);
    engine.m_strDescription = "Engine RPM";
    engine.m_nDisplayMode = kDisplayEngine;
    CFreqSetup wheel = CFreqSetup::Make(2, kRpmRearWheel, Units::Imperial);
    wheel.m_strDescription = "Rear Wheel";
    wheel.m_nDisplayMode = kDisplaySpeed;
    wheel.m_nSlipPartner = 1;
    ds->m_carSetup.m_rpm = {engine, wheel};

    CAnalogSetup throttle;
    throttle.m_nChannel = 1;
    throttle.m_strDescription = "Throttle";
    throttle.SetType(kAnalogCustom);
    throttle.m_fMin = 0;
    throttle.m_fMax = 100;
    throttle.m_nResolution = 10;
    ds->m_carSetup.m_analog = {throttle};

    CDigitalSetup brake;
    brake.m_nChannel = 1;
    brake.m_nType = kDigitalSwitch;
    brake.m_nBand = 2;
    brake.m_strDescription = "Brake";
    CDigitalSetup beacon;
    beacon.m_nChannel = 2;
    beacon.m_nType = kDigitalLapTimer;
    beacon.m_nBand = 1;
    beacon.m_strDescription = "Beacon";
    ds->m_carSetup.m_digital = {brake, beacon};

    const int32_t rpm[] = {1000000, 2000000, 3000000, 4000000, 5000000};
    const int32_t speed[] = {1000, 2050, 3000, 4000, 5000};
    const int32_t slip[] = {0, 10000, 20000, 5000, 0};
    const int32_t throttle10[] = {0, 100, 500, 1000, 1000};  // 0.0, 10.0, 50.0, 100.0 %
    const int32_t brakeOn[] = {0, 0, 1, 1, 0};
    for (int i = 0; i < 5; ++i) {
        const int32_t t = i * 1000, d = withDistance ? i * 100 : 0;
        ds->m_rpm[0].AddTail(MakeShaft(t, rpm[i], d));
        ds->m_rpm[1].AddTail(MakeShaft(t, speed[i], d, slip[i]));
        ds->m_analog[0].AddTail(MakeSample(t, throttle10[i], d));
        ds->m_digital[0].AddTail(MakeSample(t, brakeOn[i], d));
        ds->m_digital[1].AddTail(MakeSample(t, 1, d));
    }
    ds->m_rpm[0].m_nOn = ds->m_rpm[1].m_nOn = 1;
    ds->m_rpm[1].m_nSlipOn = 1;
    ds->m_rpm[1].m_bSlipDirty = 0;
    ds->m_analog[0].m_nOn = 1;
    ds->m_digital[0].m_nOn = ds->m_digital[1].m_nOn = 1;
    ds->m_rpm[0].m_crTrace = 0x0000FF;
    ds->m_rpm[1].m_crSlip = 0x00FF00;
    return ds;
}

// Converters that read RPM channels' stored values as shown and analog values as recorded.
inline MarkerConverters PlainConverters() {
    MarkerConverters c = MarkerConverters::Defaults();
    c.rpmDisplay = [](const CBriodashDataset& ds, int ch, Pos p, Units) {
        return ds.m_rpm[static_cast<std::size_t>(ch - 1)].GetSampleValue(p);
    };
    c.analog = [](const CAnalogSetup&, int32_t raw, Units) { return raw; };
    return c;
}

// A view that records the hints it receives.
class HintRecorder : public IDocumentView {
  public:
    explicit HintRecorder(ViewKind kind = ViewKind::Graph) : m_kind(kind) {}
    ViewKind Kind() const override { return m_kind; }
    void OnUpdate(const ViewUpdate& update) override { hints.push_back(update.hint); }
    std::vector<uint32_t> hints;

  private:
    ViewKind m_kind;
};

}  // namespace orvex::test
