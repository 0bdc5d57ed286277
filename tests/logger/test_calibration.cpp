#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "logger/live/Calibration.h"
#include "logger/live/LiveData.h"
#include "logger/live/LiveDataDemo.h"
#include "support/FakeHost.h"

namespace orvex {

namespace {

CAnalogSetup Sensor(int channel, int32_t code, const std::string& name = "Sensor") {
    CAnalogSetup s;
    s.m_nChannel = channel;
    s.ChooseType(code);
    s.m_nFamily = 0;
    s.m_nBits = 12;
    s.m_strDescription = name;
    return s;
}

struct WizardCase {
    const char* what;
    CalibrationKind kind;
    CAnalogSetup setup;
    Units units;
    float correction;
    double raw1, raw2;
    double known1, known2;  // NaN: the step's fixed value
};

}  // namespace

// Each wizard's two readings give a setup that shows the known values at those readings.
TEST(Calibration, EachWizardMakesTheReadingsShowTheKnownValues) {
    const double fixed = std::numeric_limits<double>::quiet_NaN();
    const std::vector<WizardCase> cases = {
        {"throttle", CalibrationKind::Throttle, Sensor(7, kAnalog2Throttle), Units::Imperial, 0,
         400, 3600, fixed, fixed},
        {"throttle wired the other way", CalibrationKind::Throttle, Sensor(7, kAnalog2Throttle),
         Units::Imperial, 0, 3600, 400, fixed, fixed},
        {"steering", CalibrationKind::Steering, Sensor(8, kAnalog2Steering), Units::Imperial, 0,
         2000, 3100, fixed, 270},
        {"battery on channel 20", CalibrationKind::Voltage, Sensor(20, kAnalog2Voltage),
         Units::Imperial, 0.3f, 3000, 3400, 12.6, 14.2},
        {"battery on another channel", CalibrationKind::Voltage, Sensor(12, kAnalog2Voltage),
         Units::Imperial, 0.3f, 2800, 3300, 12.4, 14.0},
        {"shock in cm", CalibrationKind::Shock, Sensor(1, kAnalog2Shock), Units::Metric, 0, 900,
         2100, fixed, 6.0},
        {"shock in inches", CalibrationKind::Shock, Sensor(2, kAnalog2Shock), Units::Imperial, 0,
         900, 2100, fixed, 2.5},
        {"lateral accelerometer", CalibrationKind::Accel, Sensor(17, kAnalog2Accel, "LEFT-RIGHT"),
         Units::Imperial, 0, 2048, 2460, fixed, fixed},
        {"vertical accelerometer", CalibrationKind::Accel, Sensor(19, kAnalog2Accel, "UP-DOWN"),
         Units::Imperial, 0, 2460, 2048, fixed, fixed},
        {"linear sensor", CalibrationKind::Linear, Sensor(9, kAnalog2Custom), Units::Imperial, 0,
         1000, 3000, 10, 60},
    };
    for (const WizardCase& c : cases) {
        SCOPED_TRACE(c.what);
        CCalibration cal(c.kind, c.setup, c.units, c.correction);
        ASSERT_EQ(cal.Steps().size(), 2u);
        const double k1 = std::isnan(c.known1) ? cal.Steps()[0].known : c.known1;
        const double k2 = std::isnan(c.known2) ? cal.Steps()[1].known : c.known2;
        std::string error;
        ASSERT_TRUE(cal.Take(0, c.raw1, k1, error)) << error;
        ASSERT_TRUE(cal.Take(1, c.raw2, k2, error)) << error;
        ASSERT_TRUE(cal.Compute(error)) << error;
        const double tolerance = 1.0 / cal.Result().m_nResolution + 0.01;
        EXPECT_NEAR(cal.ValueOf(cal.Result(), c.raw1), k1, tolerance);
        EXPECT_NEAR(cal.ValueOf(cal.Result(), c.raw2), k2, tolerance);
        EXPECT_LE(cal.Result().GetMinimum(c.units), cal.Result().GetMaximum(c.units));
        // The working setup changes only when the result is applied.
        CAnalogSetup target = c.setup;
        EXPECT_EQ(target.m_fMax, c.setup.m_fMax);
        cal.ApplyTo(target);
        EXPECT_NEAR(cal.ValueOf(target, c.raw2), k2, tolerance);
        EXPECT_EQ(target.m_strDescription, c.setup.m_strDescription);
        EXPECT_EQ(cal.ResultLines().front().rfind("Minimum: ", 0), 0u);
    }
}

TEST(Calibration, WizardsHaveTheirTitlesAndTheMiscTypesTheirWizard) {
    EXPECT_EQ(CCalibration::Title(CalibrationKind::Throttle), "Calibrate Throttle");
    EXPECT_EQ(CCalibration::Title(CalibrationKind::Steering), "Calibrate Steering Wheel");
    EXPECT_EQ(CCalibration::Title(CalibrationKind::Voltage), "Calibrate Battery Voltage");
    EXPECT_EQ(CCalibration::Title(CalibrationKind::Linear), "Calibrate Linear Sensor");
    EXPECT_EQ(CCalibration::KindFor(Sensor(1, kAnalog2Throttle)), CalibrationKind::Throttle);
    EXPECT_EQ(CCalibration::KindFor(Sensor(1, kAnalog2Steering)), CalibrationKind::Steering);
    EXPECT_EQ(CCalibration::KindFor(Sensor(20, kAnalog2Voltage)), CalibrationKind::Voltage);
    EXPECT_EQ(CCalibration::KindFor(Sensor(1, kAnalog2Custom)), CalibrationKind::Linear);
}

TEST(Calibration, ReadingsOutOfRangeOrTooCloseAreRefusedWithAMessage) {
    const CAnalogSetup throttle = Sensor(7, kAnalog2Throttle);
    CCalibration cal(CalibrationKind::Throttle, throttle, Units::Imperial, 0);
    std::string error;
    for (double raw : {-5.0, 0.0, 4095.0, 5000.0, std::numeric_limits<double>::quiet_NaN()}) {
        error.clear();
        EXPECT_FALSE(cal.Take(0, raw, 0, error)) << raw;
        EXPECT_NE(error.find("end of its range (0 to 4095)"), std::string::npos) << error;
        EXPECT_FALSE(cal.Taken(0));
    }
    EXPECT_FALSE(cal.Compute(error));
    EXPECT_EQ(error, "Take the reading of \"Closed Throttle\" first.");

    ASSERT_TRUE(cal.Take(0, 2000, 0, error));
    ASSERT_TRUE(cal.Take(1, 2020, 100, error));
    EXPECT_FALSE(cal.Compute(error));
    EXPECT_EQ(error,
              "The two readings (2000 and 2020) are too close together.\nMove the sensor further "
              "and take the second reading again.");

    CCalibration linear(CalibrationKind::Linear, Sensor(9, kAnalog2Custom), Units::Imperial, 0);
    ASSERT_TRUE(linear.Take(0, 1000, 5, error));
    ASSERT_TRUE(linear.Take(1, 3000, 5, error));
    EXPECT_FALSE(linear.Compute(error));
    EXPECT_EQ(error, "The two known values must differ.");
    EXPECT_FALSE(linear.Take(1, 3000, std::numeric_limits<double>::infinity(), error));
    EXPECT_EQ(error, "Enter the known value as a number.");
}

// Every wizard refuses a reading at either end of the converter's range (an unplugged or
// shorted sensor) on every step with the same message, keeps nothing of it, and leaves the
// setup it was started on as it was until its result is applied, also after a full set of
// readings (the wizard cancelled on its confirm page).
TEST(Calibration, EveryWizardRefusesEndOfRangeReadingsAndChangesNothingUntilApplied) {
    const std::vector<std::pair<CalibrationKind, CAnalogSetup>> wizards = {
        {CalibrationKind::Accel, Sensor(17, kAnalog2Accel, "LEFT-RIGHT")},
        {CalibrationKind::Shock, Sensor(1, kAnalog2Shock)},
        {CalibrationKind::Throttle, Sensor(7, kAnalog2Throttle)},
        {CalibrationKind::Steering, Sensor(8, kAnalog2Steering)},
        {CalibrationKind::Voltage, Sensor(20, kAnalog2Voltage)},
        {CalibrationKind::Linear, Sensor(9, kAnalog2Custom)},
    };
    for (const auto& [kind, setup] : wizards) {
        SCOPED_TRACE(CCalibration::Title(kind));
        CAnalogSetup working = setup;
        CCalibration cal(kind, working, Units::Imperial, 0.2f);
        std::string error;
        for (std::size_t step = 0; step < cal.Steps().size(); ++step) {
            for (double raw : {0.0, 0.4, 4094.5, 4095.0}) {
                error.clear();
                EXPECT_FALSE(cal.Take(step, raw, cal.Steps()[step].known, error)) << raw;
                EXPECT_EQ(error.rfind("The sensor reads ", 0), 0u) << error;
                EXPECT_NE(error.find("at or beyond the end of its range (0 to 4095).\nCheck the "
                                     "sensor and its wiring, then take the reading again."),
                          std::string::npos)
                    << error;
                EXPECT_FALSE(cal.Taken(step));
            }
            ASSERT_TRUE(cal.Take(step, 1000.0 + 2000.0 * static_cast<double>(step),
                                 cal.Steps()[step].known + (step == 0 ? 0.0 : 1.0), error))
                << error;
        }
        ASSERT_TRUE(cal.Compute(error)) << error;
        EXPECT_EQ(working.m_fMin, setup.m_fMin);
        EXPECT_EQ(working.m_fMax, setup.m_fMax);
        EXPECT_EQ(working.m_fOffset, setup.m_fOffset);
        EXPECT_EQ(working.m_nInvert, setup.m_nInvert);
        EXPECT_EQ(cal.Original().m_fMax, setup.m_fMax);
        cal.ApplyTo(working);
        EXPECT_TRUE(working.m_fMin != setup.m_fMin || working.m_fMax != setup.m_fMax);
    }
}

// A line that refuses to open: the demonstration never needs one.
class ClosedLine : public ISerialLine {
  public:
    int writes = 0;
    bool Open(const std::string&, const std::string&) override { return false; }
    bool SetSettings(const std::string&) override { return false; }
    bool IsOpen() const override { return false; }
    void Close() override {}
    std::size_t BytesWaiting() override { return 0; }
    std::size_t Read(uint8_t*, std::size_t) override { return 0; }
    void Write(const uint8_t*, std::size_t) override { ++writes; }
    void DiscardInput() override {}
    bool WaitForInput(std::size_t, int) override { return false; }
    std::string LastError() const override { return "closed"; }
};

// The demonstration moves the gauges of every page, within the ranges of their setups.
TEST(LiveDataDemo, EveryPageMovesPlausibly) {
    ClosedLine line;
    test::FakeHost host;
    CCarSetup car;
    AddLiveDemoSetups(car, Units::Imperial);
    CLiveDataSheet sheet(line, host, CLinkOptions{}, car, Units::Imperial, 0.0f, true, false);
    ASSERT_TRUE(sheet.Start());
    std::vector<std::string> titles;
    for (auto& p : sheet.Pages()) titles.push_back(p->Title());
    EXPECT_EQ(titles,
              (std::vector<std::string>{"RPM/MPH", "RPM Sensors", "Shocks", "Pressures",
                                        "Misc. Analogs", "EGTs", "Accels", "Switches and Timers"}));
    for (std::size_t i = 0; i < sheet.Pages().size(); ++i) {
        CLivePropertyPage& page = *sheet.Pages()[i];
        SCOPED_TRACE(page.Title());
        sheet.ActivatePage(static_cast<int>(i));
        std::vector<double> low(page.Gauges().size(), 1e9), high(page.Gauges().size(), -1e9);
        std::vector<std::string> captions(page.Gauges().size());
        std::vector<int> lights(page.Gauges().size(), 0);
        for (int tick = 0; tick < 800; ++tick) {  // 20 seconds: the whole loop
            ASSERT_TRUE(sheet.Poll());
            for (std::size_t g = 0; g < page.Gauges().size(); ++g) {
                const LiveGauge& gauge = page.Gauges()[g];
                low[g] = std::min(low[g], gauge.m_fValue);
                high[g] = std::max(high[g], gauge.m_fValue);
                lights[g] += gauge.m_bIndicator ? 1 : 0;
                if (gauge.m_strCaption != captions[g] && !gauge.m_strCaption.empty())
                    captions[g] = gauge.m_strCaption;
            }
        }
        for (std::size_t g = 0; g < page.Gauges().size(); ++g) {
            const LiveGauge& gauge = page.Gauges()[g];
            SCOPED_TRACE(gauge.m_strName);
            switch (page.Kind()) {
                case LivePageKind::RpmSensors:
                    EXPECT_GT(lights[g], 0);
                    EXPECT_LT(lights[g], 800);
                    break;
                case LivePageKind::Switches:
                    if (gauge.m_nChannel >= 5)
                        EXPECT_EQ(captions[g].rfind(gauge.m_strName + ": ", 0), 0u);
                    else
                        EXPECT_GT(lights[g], 0);
                    break;
                case LivePageKind::RpmMph:
                    EXPECT_GT(high[g], low[g] * 1.3);
                    if (gauge.m_nChannel == 1) {
                        EXPECT_GE(low[g], 3.9);  // thousands of RPM
                        EXPECT_LE(high[g], 7.6);
                    }
                    break;
                default: {
                    EXPECT_GT(high[g], low[g]);
                    const CAnalogSetup& s = *sheet.CarSetup().FindAnalogSetup(gauge.m_nChannel);
                    if (page.Kind() == LivePageKind::Accels) {
                        EXPECT_GT(low[g], -1.5);
                        EXPECT_LT(high[g], 1.5);
                    } else if (page.Kind() != LivePageKind::Pressures) {
                        EXPECT_GE(low[g], s.GetMinimum(Units::Imperial) - 0.01);
                        EXPECT_LE(high[g], s.GetMaximum(Units::Imperial) + 0.01);
                    }
                    break;
                }
            }
        }
    }
    sheet.Close();
    EXPECT_EQ(line.writes, 0);
    EXPECT_TRUE(host.messages.empty());
}

TEST(LiveDataDemo, OkAfterADemonstrationBringsBackOnlyTheChannelsTheDefaultsHad) {
    CCarSetup defaults;
    CAnalogSetup throttle = Sensor(7, kAnalog2Throttle, "Pedal");
    defaults.m_analog = {throttle};
    CCarSetup scratch = defaults;
    AddLiveDemoSetups(scratch, Units::Imperial);
    EXPECT_EQ(scratch.FindAnalogSetup(7)->m_strDescription, "Pedal");
    ASSERT_NE(scratch.FindAnalogSetup(1), nullptr);
    scratch.FindAnalogSetup(7)->m_fMax = 120.0f;
    CopyLiveSetupsBack(scratch, defaults, true);
    ASSERT_EQ(defaults.m_analog.size(), 1u);
    EXPECT_EQ(defaults.m_analog[0].m_fMax, 120.0f);
    EXPECT_TRUE(defaults.m_rpm.empty());
    CopyLiveSetupsBack(scratch, defaults, false);
    EXPECT_EQ(defaults.m_analog.size(), scratch.m_analog.size());
}

}  // namespace orvex
