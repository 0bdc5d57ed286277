#include <gtest/gtest.h>

#include "files/DataFile.h"
#include "files/DataFileFixtures.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::ByteBuilder;
using test::DatasetBytes;
using test::FakeHost;

const char* kPremature = "Premature End-of-File occurred while accessing data file.";
const char* kBadObject = "Bad Object Read while accessing data file.";
const char* kBadSchema = "Bad Schema Read while accessing data file.";
const char* kNotData = "This file is not a Vexa-Log data file";

ByteBuilder FreqSetupFields() {
    ByteBuilder b;
    b.S("Engine").W(0).W(4).D(1).D(1).D(0).D(1).D(4).F(1.0f).F(3.14f);
    return b;
}
ByteBuilder AnalogSetupFields(uint16_t channel) {
    ByteBuilder b;
    b.W(0).W(0).S("Throttle").W(4).W(1).W(channel).W(132).W(12).W(10);
    b.F(0.0f).F(100.0f).F(0.0f).W(1).F(5.0f).F(95.0f).F(0.5f);
    return b;
}

// Three datasets: a session with every kind of setup and samples, a lap dataset, and an
// unnamed session whose analog setup reuses the class written by the first.
std::vector<uint8_t> FullDocumentBytes() {
    DatasetBytes d;
    d.framed = 1;
    d.family = 1;
    d.comments = {"10/05/24 14:02"};
    d.beacons = 2;
    d.distanceSource = 5;
    d.timeRef = 3;
    d.zeroTime = -20;
    d.name.S("Run 1");
    d.carSetup.W(2).F(2.5f).F(1.5f).F(1.0f).F(1.0f).F(1.0f).F(1.0f).W(0).W(10).W(41).F(4.0f);
    d.carSetup.W(1).Class("CFreqSetup").Append(FreqSetupFields());
    d.carSetup.W(1).Class("CAnalogSetup").Append(AnalogSetupFields(1));
    d.carSetup.W(1).Class("CDigitalSetup").W(1).S("Brake").W(2).W(1).W(4);
    d.options = 7;
    d.markers = {0, {{5000, 100}}, {}, 0x12FFFFFFu, 1};
    d.rpm[0] = {0, {{0, 18432}, {333, 18000}}, {1, 2}, 0x00FF00, 1};
    d.slipColour[0] = 0xFF;
    d.analog[0] = {2, {{0, 100}, {100, 200}}, {}, 0, 1};
    d.analog[1] = {0, {{0, 7}}, {}, 0, 0};

    DatasetBytes unnamed;
    unnamed.name.S("Run");
    unnamed.carSetup = test::DefaultCarSetup();
    unnamed.carSetup.bytes.resize(unnamed.carSetup.bytes.size() - 4);  // the two empty lists
    unnamed.carSetup.W(1).W(0x8005).Append(AnalogSetupFields(3)).W(0);

    ByteBuilder f = test::FileHeader(1, 0, 3);
    f.W(3);
    f.Class("CBriodashDataset").Append(test::DatasetRecord(d));
    f.W(0x8001).D(3);  // the lap dataset: its tag and its lap number only
    f.W(0x8001).Append(test::DatasetRecord(unnamed));
    return f.bytes;
}

CAnalogSetup ThrottleSetup(int channel) {
    CAnalogSetup a;
    a.m_nFamily = 0;
    a.m_strDescription = "Throttle";
    a.m_nChannel = channel;
    a.m_nType = 132;
    a.m_nResolution = 10;
    a.m_fMax = 100.0f;
    a.m_nAltInvert = 1;
    a.m_fAltMin = 5.0f;
    a.m_fAltMax = 95.0f;
    a.m_fAltOffset = 0.5f;
    return a;
}

template <class List>
void Fill(List& s, std::vector<std::pair<int32_t, int32_t>> samples) {
    for (auto [t, v] : samples) {
        typename List::Sample smp;
        smp.m_lTime = t;
        smp.m_lRaw = smp.m_lFiltered = v;
        s.AddTail(smp);
    }
}

DataFileContents FullDocument() {
    DataFileContents c;
    c.openTrackMap = 1;
    c.groundSpeedMap = 3;
    auto d = std::make_unique<CBriodashDataset>();
    d->m_nFramed = 1;
    d->m_nLoggerFamily = 1;
    d->m_lstComments = {"10/05/24 14:02"};
    d->m_nBeaconsPerLap = 2;
    d->m_nDistanceSource = 5;
    d->m_nTimeRef = 3;
    d->m_lZeroTime = -20;
    d->m_strName = "Run 1";
    CCarSetup& car = d->m_carSetup;
    car.m_nGears = 2;
    car.m_fGearRatio[0] = 2.5f;
    car.m_fGearRatio[1] = 1.5f;
    car.m_nRearEndMode = 0;
    car.m_nDriveTeeth = 10;
    car.m_nAxleTeeth = 41;
    CFreqSetup engine;
    engine.m_strDescription = "Engine";
    engine.m_nRpmType = 1;
    engine.m_nPPR = 4;
    car.m_rpm.push_back(engine);
    car.m_analog.push_back(ThrottleSetup(1));
    CDigitalSetup brake;
    brake.m_nInvert = 1;
    brake.m_strDescription = "Brake";
    brake.m_nType = 4;
    car.m_digital.push_back(brake);
    d->m_nOptions = 7;
    Fill(d->m_markers, {{5000, 100}});
    d->m_markers.m_crTrace = 0x12FFFFFF;
    d->m_markers.m_nOn = 1;
    Fill(d->m_rpm[0], {{0, 18432}, {333, 18000}});
    d->m_rpm[0][1].m_nGear = 2;
    d->m_rpm[0].m_crTrace = 0x00FF00;
    d->m_rpm[0].m_nOn = 1;
    d->m_rpm[0].m_crSlip = 0xFF;
    Fill(d->m_analog[0], {{0, 100}, {100, 200}});
    d->m_analog[0].m_nDataMode = 2;
    d->m_analog[0][1].m_lFiltered = 150;  // the filtered value is not what is saved
    d->m_analog[0].m_nOn = 1;
    Fill(d->m_analog[1], {{0, 7}});
    c.datasets.push_back(std::move(d));

    auto lap = std::make_unique<CBriodashDataset>();
    lap->m_nLap = 3;
    Fill(lap->m_analog[0], {{1, 1}});
    c.datasets.push_back(std::move(lap));

    auto deleted = std::make_unique<CBriodashDataset>();
    deleted->m_bDeleted = 1;
    c.datasets.push_back(std::move(deleted));

    auto unnamed = std::make_unique<CBriodashDataset>();
    unnamed->m_carSetup.m_analog.push_back(ThrottleSetup(3));
    c.datasets.push_back(std::move(unnamed));
    return c;
}

bool ReadBytes(const std::vector<uint8_t>& bytes, FakeHost& host, DataFileContents& out,
               const std::string& path = "/runs/Run.tbc", bool afterRead = false) {
    DataFileReadOptions options;
    options.afterRead = afterRead;
    return ReadDataFileFromMemory(bytes.data(), bytes.size(), path, host, options, out);
}

TEST(DataFile, EmptyDocumentIsHeaderAndCountZero) {
    FakeHost host;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(
        WriteDataFileToBuffer("/runs/Run.tbc", DataFileContents{}, host, Units::Imperial, bytes));
    ByteBuilder expected = test::FileHeader();
    ASSERT_EQ(expected.bytes.size(), 37u);
    expected.W(0);
    EXPECT_EQ(bytes, expected.bytes);

    DataFileContents back;
    back.openTrackMap = 9;
    ASSERT_TRUE(ReadBytes(bytes, host, back));
    EXPECT_TRUE(back.datasets.empty());
    EXPECT_EQ(back.openTrackMap, 0);
    EXPECT_EQ(back.letter, 'e');
    EXPECT_TRUE(host.messages.empty());
}

TEST(DataFile, WriterMatchesHandBuiltBytes) {
    FakeHost host;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(
        WriteDataFileToBuffer("/runs/Run.tbc", FullDocument(), host, Units::Imperial, bytes));
    EXPECT_EQ(bytes, FullDocumentBytes());
    EXPECT_EQ(host.titles.front(), "Saving Data-Set /runs/Run.tbc");
    const std::vector<std::pair<int, std::string>> statuses = {
        {kStatusDataSet, "Run 1 - 10/05/24 14:02"}, {kStatusSeries, "Writing Marker Data"},
        {kStatusSeries, "Writing RPM #1 Data"},     {kStatusSeries, "Writing Analog #1 Data"},
        {kStatusSeries, "Writing Analog #2 Data"},  {kStatusDataSet, "Run - "}};
    EXPECT_EQ(host.statuses, statuses);
}

TEST(DataFile, ReaderBuildsDatasetsFromHandBuiltBytes) {
    FakeHost host;
    DataFileContents c;
    ASSERT_TRUE(ReadBytes(FullDocumentBytes(), host, c));
    EXPECT_EQ(c.openTrackMap, 1);
    EXPECT_EQ(c.groundSpeedMap, 3);
    ASSERT_EQ(c.datasets.size(), 2u);  // the lap dataset is dropped

    const CBriodashDataset& d = *c.datasets[0];
    EXPECT_EQ(d.m_strName, "Run 1");
    EXPECT_EQ(d.m_lstComments, std::vector<std::string>{"10/05/24 14:02"});
    EXPECT_EQ(d.m_nFramed, 1);
    EXPECT_EQ(d.m_nBeaconsPerLap, 2);
    EXPECT_EQ(d.m_nDistanceSource, 0);
    EXPECT_EQ(d.m_nTimeRef, 3);
    EXPECT_EQ(d.m_lZeroTime, -20);
    EXPECT_EQ(d.m_nOptions, 7);
    EXPECT_EQ(d.m_carSetup.m_nGears, 2);
    EXPECT_FLOAT_EQ(d.m_carSetup.m_fRearEndRatio, 4.1f);  // from the teeth
    ASSERT_EQ(d.m_carSetup.m_rpm.size(), 1u);
    EXPECT_EQ(d.m_carSetup.m_rpm[0].m_nPPR, 4);
    EXPECT_FLOAT_EQ(d.m_carSetup.m_rpm[0].m_fCircumference, 3.14f);
    ASSERT_EQ(d.m_carSetup.m_analog.size(), 1u);
    EXPECT_EQ(d.m_carSetup.m_analog[0].m_nType, 132);
    EXPECT_FLOAT_EQ(d.m_carSetup.m_analog[0].m_fAltMax, 95.0f);
    ASSERT_EQ(d.m_carSetup.m_digital.size(), 1u);
    EXPECT_EQ(d.m_carSetup.m_digital[0].m_strDescription, "Brake");

    EXPECT_EQ(d.m_markers.m_crTrace, 0x00FFFFFF);  // the top byte is dropped
    EXPECT_EQ(d.m_markers.m_nPerLap, 2);
    ASSERT_EQ(d.m_rpm[0].Size(), 2u);
    EXPECT_EQ(d.m_rpm[0][1].m_lRaw, 18000);
    EXPECT_EQ(d.m_rpm[0][1].m_nGear, 2);
    EXPECT_EQ(d.m_rpm[0].m_nPerLap, 4);  // pulses per revolution from the setup
    EXPECT_EQ(d.m_rpm[0].m_crSlip, 0xFF);
    EXPECT_EQ(d.m_analog[0].m_nDataMode, 2);
    EXPECT_EQ(d.m_analog[0][1].m_lFiltered, 200);
    EXPECT_EQ(d.m_analog[0].m_pMin, 0);
    EXPECT_EQ(d.m_analog[0].m_pMax, 1);
    EXPECT_EQ(d.m_analog[1][0].m_lRaw, 7);
    EXPECT_EQ(d.m_analog[0].m_samples.capacity(), 2u);

    EXPECT_EQ(c.datasets[1]->m_strName, "Run");
    EXPECT_EQ(c.datasets[1]->m_carSetup.m_analog.at(0).m_nChannel, 3);
    EXPECT_TRUE(host.messages.empty());

    DataFileReadOptions metric;
    metric.units = Units::Metric;
    const auto bytes = FullDocumentBytes();
    ASSERT_TRUE(ReadDataFileFromMemory(bytes.data(), bytes.size(), "Run.tbc", host, metric, c));
    EXPECT_FLOAT_EQ(c.datasets[0]->m_carSetup.m_rpm[0].m_fDiameter, 2.54f);
}

TEST(DataFile, DatasetNamesFollowTheFileName) {
    struct Case {
        std::string name, path, expected;
        ByteBuilder field;  // the expected name field as written
    };
    const std::string longName(300, 'n');
    std::vector<Case> cases = {
        {"", "/runs/Run.tbc", "Run", ByteBuilder().S("Run")},
        {"Data", "/runs/Run.tbc", "Run", ByteBuilder().S("Run")},
        {"Data", "/runs/Data7.tbc", "Data", ByteBuilder().S("Data")},
        {longName, "/runs/Run.tbc", longName, ByteBuilder().B(0xFF).W(300).Raw(longName)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " in " + c.path);
        DataFileContents doc;
        doc.datasets.push_back(std::make_unique<CBriodashDataset>());
        doc.datasets[0]->m_strName = c.name;
        FakeHost host;
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(WriteDataFileToBuffer(c.path, doc, host, Units::Imperial, bytes));
        DatasetBytes d;
        d.name = c.field;
        d.carSetup = test::DefaultCarSetup();
        ByteBuilder expected = test::FileHeader();
        expected.W(1).Class("CBriodashDataset").Append(test::DatasetRecord(d));
        EXPECT_EQ(bytes, expected.bytes);

        // Reading applies the same rule to a name stored as it is.
        if (c.name.size() < 255) {
            d.name = ByteBuilder().S(c.name);
            expected = test::FileHeader();
            expected.W(1).Class("CBriodashDataset").Append(test::DatasetRecord(d));
        }
        DataFileContents back;
        ASSERT_TRUE(ReadBytes(expected.bytes, host, back, c.path));
        EXPECT_EQ(back.datasets.at(0)->m_strName, c.expected);
    }
}

TEST(DataFile, EveryTruncationFailsWithAMessage) {
    const auto full = FullDocumentBytes();
    for (std::size_t len = 0; len < full.size(); ++len) {
        FakeHost host;
        DataFileContents out;
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(len));
        ASSERT_FALSE(ReadBytes(cut, host, out)) << len;
        ASSERT_EQ(host.messages.size(), 1u) << len;
        EXPECT_EQ(host.messages[0].text, len < 25 ? kNotData : kPremature) << len;
        EXPECT_TRUE(out.datasets.empty());
    }
}

TEST(DataFile, MalformedFilesAreRefusedWithTheirMessage) {
    auto header = [] { return test::FileHeader(); };
    DatasetBytes plain;
    plain.name.S("x");
    plain.carSetup = test::DefaultCarSetup();
    auto withSetupList = [&](ByteBuilder list) {
        DatasetBytes d = plain;
        d.carSetup.bytes.resize(d.carSetup.bytes.size() - 6);
        d.carSetup.Append(list).W(0).W(0);
        return header().W(1).Class("CBriodashDataset").Append(test::DatasetRecord(d));
    };
    struct Case {
        const char* what;
        ByteBuilder bytes;
        const char* message;
    };
    std::vector<Case> cases = {
        {"wrong magic", ByteBuilder().W(0xAAAB).S("Brio-Dash Link Dataset").W(3).W(3).W(0x65),
         kNotData},
        {"wrong header", ByteBuilder().W(0xAAAA).S("Brio-Dash Link Datasex").W(3).W(3).W(0x65),
         kNotData},
        {"bad schema", header().W(1).Class("CBriodashDataset", 2), kBadSchema},
        {"unknown class", header().W(1).Class("CBriodashDatasets"), kBadObject},
        {"setup of the wrong class",
         withSetupList(ByteBuilder().W(1).Class("CDigitalSetup").W(0).S("").W(2).W(1).W(1)),
         kBadObject},
        {"dataset listed twice",
         header().W(2).Class("CBriodashDataset").Append(test::DatasetRecord(plain)).W(2),
         kBadObject},
        {"huge dataset count", header().W(0xFFFF).D(0xFFFFFFFFu), kPremature},
        {"huge comment count",
         header().W(1).Class("CBriodashDataset").D(0).W(0).W(0).W(0xFFFF).D(0x7FFFFFFFu),
         kPremature},
        {"huge comment length",
         header()
             .W(1)
             .Class("CBriodashDataset")
             .D(0)
             .W(0)
             .W(0)
             .W(1)
             .B(0xFF)
             .W(0xFFFF)
             .D(0xFFFFFFF0u),
         kPremature},
        {"huge setup count", withSetupList(ByteBuilder().W(0xFFFF).D(0x7FFFFFFFu)), kPremature},
    };
    // A sample count far beyond the bytes left: the marker block of the plain dataset.
    ByteBuilder hugeSamples = header().W(1).Class("CBriodashDataset");
    ByteBuilder record = test::DatasetRecord(plain);
    const std::size_t markerCount = record.bytes.size() - (32 * 14 + 5 * 6) + 4;
    record.bytes[markerCount + 3] = 0x7F;
    hugeSamples.Append(record);
    cases.push_back({"huge sample count", hugeSamples, kPremature});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeHost host;
        DataFileContents out;
        EXPECT_FALSE(ReadBytes(c.bytes.bytes, host, out));
        EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{c.message});
    }
}

TEST(DataFile, ReadingShowsProgressAndAbortDiscardsEverything) {
    const auto bytes = FullDocumentBytes();
    FakeHost host;
    DataFileContents out;
    ASSERT_TRUE(ReadBytes(bytes, host, out));
    EXPECT_EQ(host.titles.front(), "Loading Data-Set /runs/Run.tbc");
    const std::vector<std::pair<int, std::string>> first = {
        {kStatusDataSet, "Run 1 - 10/05/24 14:02"}, {kStatusDataLoaded, "Data Loaded: 100%"},
        {kStatusSeries, "Reading RPM #1 Data"},     {kStatusDataLoaded, "Data Loaded: 50%"},
        {kStatusDataLoaded, "Data Loaded: 100%"},   {kStatusSeries, "Reading Analog #1 Data"},
        {kStatusDataLoaded, "Data Loaded: 50%"},    {kStatusDataLoaded, "Data Loaded: 100%"},
    };
    ASSERT_GE(host.statuses.size(), first.size());
    EXPECT_EQ(std::vector(host.statuses.begin(), host.statuses.begin() + 8), first);

    FakeHost aborting;
    aborting.abortAfterPumps = 2;
    DataFileContents kept;
    kept.datasets.push_back(std::make_unique<CBriodashDataset>());
    EXPECT_FALSE(ReadBytes(bytes, aborting, kept));
    EXPECT_EQ(kept.datasets.size(), 1u);
    EXPECT_TRUE(aborting.messages.empty());
}

TEST(DataFile, AfterReadTrimsMarkersPastTheEndOnce) {
    DatasetBytes d;
    d.name.S("x");
    d.carSetup = test::DefaultCarSetup();
    d.markers.samples = {{10, 0}, {900, 1}, {950, 100}};
    d.analog[0].samples = {{0, 1}, {500, 2}};
    ByteBuilder f = test::FileHeader();
    f.W(1).Class("CBriodashDataset").Append(test::DatasetRecord(d));
    FakeHost host;
    DataFileContents out;
    ASSERT_TRUE(ReadBytes(f.bytes, host, out, "x.tbc", true));
    EXPECT_EQ(out.datasets[0]->m_markers.Size(), 1u);
    EXPECT_EQ(host.MessageTexts(),
              std::vector<std::string>{
                  "Lap Times extends past End of Data.\nExtra Lap Times will be removed!"});
}

}  // namespace
}  // namespace orvex

namespace orvex {
namespace {

// The extremes and the rate found while parsing are those of the series' own after-load pass.
TEST(DataFile, ParsedExtremesAndRateMatchTheSeries) {
    const std::vector<std::pair<int32_t, int32_t>> samples = {
        {0, 0}, {10, 50}, {25, -3}, {40, 80}, {50, 20}, {60, 80}, {70, 10}};
    DatasetBytes d;
    d.name.S("x");
    d.carSetup = test::DefaultCarSetup();
    d.rpm[0].samples = samples;
    d.rpm[0].gears = std::vector<uint16_t>(samples.size(), 1);
    d.analog[0].samples = samples;
    ByteBuilder f = test::FileHeader();
    f.W(1).Class("CBriodashDataset").Append(test::DatasetRecord(d));
    FakeHost host;
    DataFileContents out;
    ASSERT_TRUE(ReadBytes(f.bytes, host, out));
    auto check = [](auto& series) {
        auto copy = series;
        copy.m_fRate = 1.0f;
        copy.FinishLoad(false);
        EXPECT_EQ(series.m_pMin, copy.m_pMin);
        EXPECT_EQ(series.m_pMax, copy.m_pMax);
        EXPECT_FLOAT_EQ(series.m_fRate, copy.m_fRate);
    };
    check(out.datasets[0]->m_rpm[0]);
    check(out.datasets[0]->m_analog[0]);
    EXPECT_FLOAT_EQ(out.datasets[0]->m_analog[0].m_fRate, 1000.0f);
    EXPECT_EQ(out.datasets[0]->m_analog[0].m_pMin, 2);
    EXPECT_EQ(out.datasets[0]->m_rpm[0].m_pMin, 6);
}

}  // namespace
}  // namespace orvex
