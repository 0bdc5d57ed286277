// The strip chart and marker list show what the speed, distance and slip code computes.
#include <gtest/gtest.h>

#include "graph/GraphDerived.h"
#include "graph/GraphNav.h"
#include "graph/GraphServices.h"
#include "graph/GraphTraces.h"
#include "graph/MarkerList.h"
#include "processing/SpeedDistance.h"
#include "test_graph_fixture.h"

namespace orvex {
namespace {

// Engine on channel 1 at 6000 RPM in 4th (ratio 1.0), rear end 4.0, rear wheel of 80 in on
// channel 2 turning at 1000 RPM; both shown as speed.
struct SpeedSession : test::GraphDoc {
    CBriodashDataset& ds = Add("Run");
    SpeedSession() {
        FillEngine(ds, 6, 1000, [](int) { return 6000; });
        FillEngine(
            ds, 6, 1000, [](int i) { return 1000 + 10 * i; }, 2, kRpmRearWheel);
        CCarSetup& car = ds.m_carSetup;
        car.m_nGears = 4;
        car.m_fGearRatio[3] = 1.0f;
        car.m_nRearEndMode = 0;
        car.m_fRearEndRatio = 4.0f;
        for (CFreqSetup& s : car.m_rpm) s.m_nDisplayMode = kDisplaySpeed;
        car.m_rpm[0].m_strDescription = "Engine RPM";
        car.m_rpm[1].m_strDescription = "Rear Wheel";
        car.m_rpm[1].m_fCircumference = 80.0f;
        for (CShaft& x : ds.m_rpm[0].m_samples) x.m_nGear = 4;
    }
};

TEST(GraphServices, ChartPlotsShaftSpeedForAnEngineInSpeedMode) {
    SpeedSession s;
    graph::CTraceCache cache;
    const graph::CTraceData& data = cache.Get(s.ds, graph::TraceKind::Rpm, 1, Units::Imperial, 0);
    ASSERT_EQ(data.values.size(), 6u);
    for (Pos p = 0; p < 6; ++p) {
        EXPECT_EQ(data.values[static_cast<std::size_t>(p)], 11356);
        EXPECT_EQ(data.values[static_cast<std::size_t>(p)],
                  ShaftSpeed(s.ds, 1, p, Units::Imperial));
    }
    EXPECT_TRUE(graph::SpeedPrerequisites(s.ds.m_carSetup, s.ds.m_carSetup.m_rpm[0]));
    s.ds.m_carSetup.m_nGears = 0;
    EXPECT_FALSE(graph::SpeedPrerequisites(s.ds.m_carSetup, s.ds.m_carSetup.m_rpm[0]));
}

TEST(GraphServices, ChartPlotsTheProcessingSmoothing) {
    SpeedSession s;
    CFreqSetup& wheel = s.ds.m_carSetup.m_rpm[1];
    wheel.m_nSmoothing = 4;
    const std::vector<int32_t> expected = SmoothedRpmValues(s.ds, 2, -1, Units::Imperial, false);
    graph::CTraceCache cache;
    EXPECT_EQ(cache.Get(s.ds, graph::TraceKind::Rpm, 2, Units::Imperial, 0).values, expected);
    int32_t rpmMax = 0, mphMax = 0;
    graph::RpmAndSpeedMaxima(s.doc, Units::Imperial, rpmMax, mphMax);
    EXPECT_EQ(mphMax, std::max(11356, *std::max_element(expected.begin(), expected.end())));
    EXPECT_EQ(rpmMax, 0);
}

TEST(GraphServices, MarkerRowOfARearWheelInSpeedModeShowsShaftSpeed) {
    SpeedSession s;
    s.doc.m_lGreenTime = 0;
    s.doc.m_lRedTime = 5000;
    CMarkerView list{s.doc, s.host};
    list.Rebuild();
    const std::vector<std::string> lines = list.PrintLines();
    // 1000 RPM on 80 in: trunc(60000 × 80 / 634) = 7570; 1050 RPM: 7949.
    EXPECT_EQ(ShaftSpeed(s.ds, 2, 0, Units::Imperial), 7570);
    EXPECT_EQ(ShaftSpeed(s.ds, 2, 5, Units::Imperial), 7949);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Rear Wheel-MPH\t75.70\t79.49\t3.79"),
              lines.end())
        << ::testing::PrintToString(lines);
}

TEST(GraphServices, InstallGivesAnalogValuesTheVoltageCorrection) {
    SpeedSession s;
    CAnalogSetup& volts = test::GraphDoc::FillAnalog(s.ds, kVoltageChannel, kAnalog2Voltage, 0, 20,
                                                     100, 6, 1000, [](int) { return 2048; });
    CGraphViewState state;
    CGraphNavigator nav{s.doc, state, s.host};
    CMarkerView list{s.doc, s.host};
    InstallGraphServices(nav, list, 0.5f);
    const int32_t raw = 2048;
    const auto shown = AnalogValueAt(s.ds, kVoltageChannel, 1000, Units::Imperial, list.m_conv);
    ASSERT_TRUE(shown);
    EXPECT_EQ(*shown, AnalogValue(volts, raw, Units::Imperial, 0.5f));
    EXPECT_EQ(*shown + 50, AnalogValue(volts, raw, Units::Imperial, 0.0f));
}

TEST(GraphServices, DocumentComputesDistanceAndSlipThroughProcessing) {
    SpeedSession s;
    IDocumentServices& services = s.doc.Services();
    ASSERT_TRUE(services.ComputeDistance(s.doc, s.ds, kDistanceRearWheel));
    EXPECT_EQ(s.ds.m_nDistanceSource, kDistanceRearWheel);
    // Steps of 1000 ticks at 1010 ... 1050 RPM on 80 in: 5150000 × 800 × 1000 / 7.2e9 = 572.2.
    EXPECT_EQ(s.ds.m_rpm[1].m_samples.back().m_lDistance, 572);
    EXPECT_FALSE(services.ComputeDistance(s.doc, s.ds, kDistanceFrontWheel));

    CFreqSetup& wheel = s.ds.m_carSetup.m_rpm[1];
    wheel.m_nSlipPartner = 1;
    s.ds.m_rpm[1].m_nSlipOn = 1;
    s.ds.m_rpm[1].m_bSlipDirty = 1;
    services.ComputeSlip(s.doc, s.ds, 2);
    EXPECT_EQ(s.ds.m_rpm[1].m_bSlipDirty, 0);
    // Wheel 7570 against the engine's 11356: (11356 − 7570) × 100000 / 11356.
    EXPECT_EQ(s.ds.m_rpm[1].m_samples[0].m_lSlip, (11356 - 7570) * 100000 / 11356);
}

}  // namespace
}  // namespace orvex
