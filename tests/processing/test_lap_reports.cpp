#include <gtest/gtest.h>

#include "processing/AnalysisFixture.h"
#include "processing/EtSlipReport.h"
#include "processing/LapTimesReport.h"
#include "processing/Laps.h"
#include "processing/ZeroTime.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::AddMark;
using test::FakeHost;
using test::FillRpm;

std::vector<int32_t> Codes(const CBriodashDataset& ds) {
    std::vector<int32_t> out;
    for (const CSample& m : ds.m_markers.m_samples) out.push_back(m.m_lRaw);
    return out;
}

// Marks 0, 100 (60 s), 200 (125 s), 300 (185 s), 400 (250 s) over 300 s of data.
struct LapReportFixture : ::testing::Test {
    CBriodashDataset ds;
    FakeHost host;
    CLapTimesReport report;
    void SetUp() override {
        ds.m_strName = "Run";
        ds.m_nFramed = 1;
        ds.m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
        FillRpm(ds, 1, 4000, 100000, 3000000);
        const int32_t times[] = {0, 600000, 1250000, 1850000, 2500000};
        for (int i = 0; i < 5; ++i) AddMark(ds, times[i], 100 * i);
        ASSERT_TRUE(report.Open({&ds}, &ds, host));
    }
};

TEST_F(LapReportFixture, Lines) {
    EXPECT_EQ(report.Lines(), (std::vector<std::string>{
                                  "Start\t0:00.00\t\t",
                                  "  1\t1:00.00\t1:00.00\t1:00.00",
                                  "  2\t2:05.00\t1:05.00\t1:05.00",
                                  "  3\t3:05.00\t1:00.00\t1:00.00",
                                  "  4\t4:10.00\t1:05.00\t1:05.00",
                              }));
    std::vector<LapMark> beacons = {{0, 0}, {300000, 1}, {600000, 100}, {900000, 101}};
    EXPECT_EQ(LapReportLines(beacons)[3], "  1.1\t1:30.00\t0:30.00\t");
    EXPECT_EQ(LapReportLines(beacons)[2], "  1\t1:00.00\t0:30.00\t1:00.00");
}

TEST_F(LapReportFixture, DeleteWithUpdateKeepsTheLaterSplits) {
    EXPECT_FALSE(report.DeleteSelected(host));
    EXPECT_EQ(host.MessageTexts().back(), "A lap marker must be selected before it can be deleted");
    report.m_bUpdateElapsed = true;
    report.SelectLine(2);
    ASSERT_TRUE(report.DeleteSelected(host));
    EXPECT_EQ(report.Lines(), (std::vector<std::string>{
                                  "Start\t0:00.00\t\t",
                                  "  1\t1:00.00\t1:00.00\t1:00.00",
                                  "  2\t2:00.00\t1:00.00\t1:00.00",
                                  "  3\t3:05.00\t1:05.00\t1:05.00",
                              }));
    // Without the update the times stay and only the codes move up.
    report.m_bUpdateElapsed = false;
    report.SelectLine(1);
    ASSERT_TRUE(report.DeleteSelected(host));
    EXPECT_EQ(report.Lines()[1], "  1\t2:00.00\t2:00.00\t2:00.00");
    ASSERT_TRUE(report.Ok(host));
    EXPECT_EQ(Codes(ds), (std::vector<int32_t>{0, 100, 200}));
    EXPECT_EQ(ds.m_markers[2].m_lTime, 1850000);
    EXPECT_EQ(ds.m_markers.m_nOn, 1);
}

TEST_F(LapReportFixture, InsertByElapsedAndRelativeTime) {
    EXPECT_EQ(CLapTimesReport::ElapsedPrompt(), "Enter an absolute time from 0.000");
    EXPECT_FALSE(report.RelativePrompt());
    EXPECT_FALSE(report.InsertElapsed("1:xx", host));
    EXPECT_EQ(host.MessageTexts().back(), "Invalid Time Entered! (Format mmm:ss.sss)");
    ASSERT_TRUE(report.InsertElapsed("1:30", host));  // a missed lap line between 1 and 2
    EXPECT_EQ(report.Lines()[2], "  2\t1:30.00\t0:30.00\t0:30.00");
    EXPECT_EQ(report.Lines()[3], "  3\t2:05.00\t0:35.00\t0:35.00");

    report.SelectLine(0);
    EXPECT_EQ(*report.RelativePrompt(), "Enter a relative time from Start Lap");
    report.SelectLine(1);
    EXPECT_EQ(*report.RelativePrompt(), "Enter a relative time from Lap 1");
    report.m_bUpdateElapsed = true;
    ASSERT_TRUE(report.InsertRelative("10", host));  // 1:10, later marks 10 s later
    const auto lines = report.Lines();
    EXPECT_EQ(lines[2], "  2\t1:10.00\t0:10.00\t0:10.00");
    EXPECT_EQ(lines[3], "  3\t1:40.00\t0:30.00\t0:30.00");
    EXPECT_EQ(lines.back(), "  6\t4:20.00\t1:05.00\t1:05.00");
}

TEST_F(LapReportFixture, OkAsksWhenMarksPassTheEndOfData) {
    ASSERT_TRUE(report.InsertElapsed("9:00", host));
    host.answers = {Answer::No};
    EXPECT_FALSE(report.Ok(host));
    EXPECT_EQ(host.questions.back(),
              "Lap Times for Session 'Run' extends past End of Data.\nDo you wish to continue?");
    EXPECT_EQ(ds.m_markers.Size(), 5u);  // not written
    host.answers = {Answer::Yes};
    std::vector<CBriodashDataset*> written;
    EXPECT_TRUE(report.Ok(host, &written));
    EXPECT_EQ(ds.m_markers.Size(), 6u);
    EXPECT_EQ(written.size(), 1u);
}

TEST(LapTimesReport, EtSessionsAskFirst) {
    CBriodashDataset drag;
    drag.m_strName = "Pass 3";
    for (int i = 0; i < 6; ++i) AddMark(drag, 1000 * i, i);
    FakeHost host;
    CLapTimesReport report;
    EXPECT_FALSE(report.Open({&drag}, &drag, host));
    EXPECT_EQ(host.questions,
              (std::vector<std::string>{"Times found are configured for ET-Slip Report for Session "
                                        "'Pass 3'.\nDo you wish to continue?"}));
    EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{"No Valid Session for Lap Report!"}));
    host.answers = {Answer::Yes};
    EXPECT_TRUE(report.Open({&drag}, &drag, host));
}

TEST(EtSlipReport, OpensEtSessionsWithoutAQuestion) {
    CBriodashDataset drag;
    drag.m_strName = "Pass 3";
    const int32_t times[] = {20000, 40000, 70000, 100000, 120000, 150000};
    for (int i = 0; i < 6; ++i) AddMark(drag, times[i], i);
    FakeHost host;
    CEtSlipReport report;
    ASSERT_TRUE(report.Open({&drag}, &drag, host));
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(report.LaunchText(), "0:02.000");
    EXPECT_EQ(report.FieldText(0), "0:02.000");
    EXPECT_EQ(report.FieldText(4), "0:13.000");
    EXPECT_EQ(report.IncrementalText(1), "0:03.000");
}

TEST(EtSlipReport, OnlySixtyAndQuarterMileGiveThreeMarks) {
    CBriodashDataset drag;
    drag.m_strName = "Pass";
    drag.m_nTimeRef = 1;
    drag.m_lZeroTime = 5000;
    FakeHost host;
    CEtSlipReport report;
    ASSERT_TRUE(report.Open({&drag}, &drag, host));
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0],
              "Times found are NOT configured for ET-Slip Report for Session 'Pass'.\nDo you "
              "wish to convert?");
    EXPECT_FALSE(report.SetFieldText(0, "1.2x", host));
    EXPECT_EQ(host.MessageTexts().back(), "ERROR: Invalid Time Format (hh:mm:ss.ssss)!");
    ASSERT_TRUE(report.SetLaunchText("1.0", host));
    ASSERT_TRUE(report.SetFieldText(0, "1.012", host));
    ASSERT_TRUE(report.SetFieldText(4, "0:09.876", host));
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(report.IncrementalText(k), "") << k;
    report.Apply();
    EXPECT_EQ(Codes(drag), (std::vector<int32_t>{0, 1, 5}));
    EXPECT_EQ(drag.m_markers[0].m_lTime, 15000);  // launch 1 s after the zero at 0.5 s
    EXPECT_EQ(drag.m_markers[1].m_lTime, 25120);
    EXPECT_EQ(drag.m_markers[2].m_lTime, 113760);
    EXPECT_EQ(drag.m_markers.m_nOn, 1);
    // Read again: the same times (the zero is not added twice).
    CEtSlipReport again;
    ASSERT_TRUE(again.Open({&drag}, &drag, host));
    EXPECT_EQ(again.LaunchText(), "0:01.000");
    EXPECT_EQ(again.FieldText(4), "0:09.876");
}

TEST(EtSlipReport, ConvertOrLeaveOut) {
    CBriodashDataset laps;
    laps.m_strName = "Laps";
    AddMark(laps, 1000, 100);
    AddMark(laps, 5000, 200);
    AddMark(laps, 8000, 300);
    FakeHost host;
    host.answers = {Answer::Yes};
    CEtSlipReport report;
    ASSERT_TRUE(report.Open({&laps}, &laps, host));
    EXPECT_EQ(report.LaunchText(), "0:00.100");
    EXPECT_EQ(report.FieldText(1), "0:00.700");
    host.answers = {Answer::Cancel};
    EXPECT_FALSE(report.Open({&laps}, &laps, host));
    host.answers = {Answer::No};
    ASSERT_TRUE(report.Open({&laps}, &laps, host));
    EXPECT_EQ(report.LaunchText(), "");
}

TEST(EtSlipReport, LaunchChoices) {
    CBriodashDataset drag;
    CDigitalSetup brake;
    brake.m_nChannel = 5;
    brake.m_nType = 3;
    brake.m_strDescription = "Trans-Brake";
    drag.m_carSetup.m_digital.push_back(brake);
    CSample e;
    e.m_lTime = 12345;
    e.m_lRaw = e.m_lFiltered = 1;
    drag.m_digital[4].AddTail(e);
    FakeHost host;
    host.answers = {Answer::No};
    CEtSlipReport report;
    ASSERT_TRUE(report.Open({&drag}, &drag, host));
    auto choices = report.LaunchChoices(20000, kNotSet);
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[0].text, "User Defined");
    EXPECT_EQ(choices[1].text, "Green Marker @ 0:02.000");
    EXPECT_EQ(choices[2].text, "Trans-Brake @ 0:01.234");
    report.ChooseLaunch(choices[2]);
    EXPECT_EQ(report.LaunchText(), "0:01.234");
}

TEST(ZeroTime, ChoicesAndShifts) {
    CBriodashDataset ds;
    ds.m_carSetup.m_rpm.push_back(test::RpmSetup(1, 1, "Engine", 1));
    FillRpm(ds, 1, 4000, 1000, 100000);
    ds.m_nBeaconsPerLap = 2;
    AddMark(ds, 1000, 0);
    AddMark(ds, 30000, 1);
    AddMark(ds, 60000, 100);
    const auto choices = ZeroTimeChoices(ds, 15000, kNotSet);
    std::vector<std::string> texts;
    for (auto& c : choices) texts.push_back(c.text);
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "User Defined", "Green Marker @ 0:01.5000", "Start Lap @ 0:00.1000",
                         "Lap #0, Beacon #2 @ 0:03.0000", "Lap #1 @ 0:06.0000"}));
    ZeroTimeContext context;
    context.green = 15000;
    context.graphXStart = 0;
    context.viewStates = {{1000, 0, 100000}};
    context.current = &ds;
    FakeHost host;
    EXPECT_FALSE(ApplyZeroTimes({{&ds, choices[4], "x"}}, context, host));
    EXPECT_EQ(host.MessageTexts().back(), "Invalid Time Entered! (Format mmm:ss.sss)");
    EXPECT_EQ(ds.m_lZeroTime, 0);
    ASSERT_TRUE(ApplyZeroTimes({{&ds, choices[4], "0.5"}}, context, host));
    EXPECT_EQ(ds.m_lZeroTime, 65000);
    EXPECT_EQ(ds.m_nTimeRef, kZeroMark);
    EXPECT_EQ(context.green, 15000 - 65000);
    EXPECT_EQ(context.graphXStart, -65000);
    EXPECT_EQ(context.viewStates[0].xMax, 35000);
    // Two sessions shown: the graph stays where it is.
    context.shownSessions = 2;
    ASSERT_TRUE(ApplyZeroTimes({{&ds, choices[0], "1.0"}}, context, host));
    EXPECT_EQ(ds.m_lZeroTime, 10000);
    EXPECT_EQ(context.green, 15000 - 10000);
    EXPECT_EQ(context.graphXStart, -65000);
}

}  // namespace
}  // namespace orvex
