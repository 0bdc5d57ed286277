// The channel setup dialogs: the paths of the channel and type choosers (add with a used type,
// new type with the family question, delete Yes/No), the controls, import, and OK on a
// document (lap markers from a lap timer, distances recomputed, laps keeping their session's
// setups).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "model/CarFile.h"
#include "model/Document.h"
#include "processing/AnalysisFixture.h"
#include "processing/ChannelSetupDialog.h"
#include "processing/SpeedDistance.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

using test::FakeHost;
using Mode = CChannelSetupDialog::Mode;

// Counts what a dialog's OK asks of the document's services.
struct CountingServices : IDocumentServices {
    int distances = 0;
    std::vector<int> slips;
    bool ReadFile(CBriodashDoc&, const std::string&, bool, bool, DataFileContents&) override {
        return false;
    }
    bool WriteFile(CBriodashDoc&, const std::string&, const DataFileContents&) override {
        return false;
    }
    void Derive(CBriodashDoc&) override {}
    void SetLapView(CBriodashDoc&, bool) override {}
    void ReanalyseLaps(CBriodashDoc&, CBriodashDataset&) override {}
    bool ComputeDistance(CBriodashDoc&, CBriodashDataset&, int) override {
        ++distances;
        return true;
    }
    void ComputeSlip(CBriodashDoc&, CBriodashDataset&, int channel) override {
        slips.push_back(channel);
    }
    void AssignColours(CBriodashDataset&, int) override {}
};

std::string NoPath(bool) {
    return "";
}

CAnalogSetup Analog(int channel, int code, const std::string& name) {
    CAnalogSetup s;
    s.m_nChannel = channel;
    s.SetType(code);
    s.ApplyTypeDefaults();
    s.m_strDescription = name;
    return s;
}

CDigitalSetup Digital(int channel, int code, const std::string& name) {
    CDigitalSetup s;
    s.m_nChannel = channel;
    s.m_nType = code;
    s.m_strDescription = name;
    return s;
}

struct DefaultsDialog : ::testing::Test {
    FakeHost host;
    CCarSetup defaults;
};

TEST_F(DefaultsDialog, AddingANewTypeAsksTheFamilyOnceThenOffersTheUsedType) {
    CChannelSetupDialog dlg(SetupKind::Analog, defaults, Units::Imperial, host, NoPath);
    EXPECT_EQ(dlg.Title(), "Configure Analog Channels - Default Settings");
    EXPECT_EQ(dlg.m_session.items, std::vector<std::string>{"Defaults"});
    EXPECT_FALSE(dlg.m_session.enabled);
    EXPECT_FALSE(dlg.m_apply.enabled);
    EXPECT_EQ(dlg.m_channel.items, (std::vector<std::string>{"<select channel>", "<add channel>"}));
    ASSERT_TRUE(dlg.ChooseChannel("<add channel>"));
    EXPECT_EQ(dlg.CurrentMode(), Mode::Adding);
    EXPECT_EQ(dlg.m_channel.items.size(), 20u);
    EXPECT_EQ(dlg.m_channel.items.front(), "Channel 1");
    EXPECT_EQ(dlg.m_type.items,
              (std::vector<std::string>{"<select type>", "<exit>", "<new type>"}));
    EXPECT_FALSE(dlg.m_minimum.enabled);

    host.answers = {Answer::Yes};  // a Kavrane Data system: the second family
    ASSERT_TRUE(dlg.ChooseType("<new type>"));
    EXPECT_EQ(host.questions, std::vector<std::string>{
                                  "Are you defining Analog Channels for a Kavrane Data system?"});
    EXPECT_EQ(dlg.CurrentMode(), Mode::NewType);
    EXPECT_EQ(dlg.m_type.items[1], "<cancel>");
    EXPECT_EQ(dlg.m_type.items.size(), 2u + 9u);  // codes 129..137
    ASSERT_TRUE(dlg.ChooseType("Shock Travel"));
    EXPECT_EQ(dlg.CurrentMode(), Mode::Normal);
    EXPECT_EQ(dlg.SelectedChannel(), 1);
    EXPECT_EQ(dlg.UsedMask(), 1u);
    EXPECT_TRUE(dlg.CopyChanged(0));
    ASSERT_NE(dlg.Copy(0).FindAnalogSetup(1), nullptr);
    EXPECT_EQ(dlg.Copy(0).FindAnalogSetup(1)->m_nType, kAnalog2Shock);
    EXPECT_EQ(dlg.m_list.items, std::vector<std::string>{"#1: <none>, Type: Shock Travel"});
    EXPECT_EQ(dlg.m_type.items, (std::vector<std::string>{"<new type>", "Shock Travel"}));
    EXPECT_EQ(dlg.m_type.selected, 1);

    // A used type creates the next free channel at once, without asking again.
    ASSERT_TRUE(dlg.ChooseChannel("<add channel>"));
    EXPECT_EQ(dlg.m_channel.items.front(), "Channel 2");
    EXPECT_EQ(dlg.m_type.items.back(), "Shock Travel");
    ASSERT_TRUE(dlg.ChooseType("Shock Travel"));
    EXPECT_EQ(dlg.UsedMask(), 3u);
    EXPECT_EQ(dlg.SelectedChannel(), 2);
    EXPECT_EQ(host.questions.size(), 1u);

    // Channels 17 to 19 of the second family offer only the accelerometer.
    ASSERT_TRUE(dlg.ChooseChannel("<add channel>"));
    ASSERT_TRUE(dlg.ChooseChannel("Channel 17"));
    EXPECT_EQ(dlg.m_type.items,
              (std::vector<std::string>{"<select type>", "<exit>", "<new type>"}));
    ASSERT_TRUE(dlg.ChooseType("<new type>"));
    EXPECT_EQ(dlg.m_type.items,
              (std::vector<std::string>{"<select type>", "<cancel>", "Accelerometer"}));
    ASSERT_TRUE(dlg.ChooseType("<cancel>"));
    EXPECT_EQ(dlg.CurrentMode(), Mode::Normal);
    EXPECT_EQ(dlg.UsedMask(), 3u);

    // OK writes the copy back.
    ASSERT_TRUE(dlg.ChooseChannel("Channel 1"));
    dlg.m_name.Type("LF Shock");
    dlg.Changed("name");
    ASSERT_TRUE(dlg.ChooseChannel("Channel 2"));
    dlg.m_name.Type("RF Shock");
    dlg.Changed("name");
    EXPECT_TRUE(defaults.m_analog.empty());
    ASSERT_TRUE(dlg.Accept());
    ASSERT_EQ(defaults.m_analog.size(), 2u);
    EXPECT_EQ(defaults.m_analog[1].m_strDescription, "RF Shock");
}

TEST_F(DefaultsDialog, DeleteAsksAndNoKeepsTheChannel) {
    defaults.m_digital = {Digital(1, kDigitalSwitch, "Brake Switch"),
                          Digital(5, kDigitalEventTimer, "Trans-Brake Timer")};
    CChannelSetupDialog dlg(SetupKind::Digital, defaults, Units::Imperial, host, NoPath);
    EXPECT_EQ(dlg.m_channel.items,
              (std::vector<std::string>{"<select channel>", "<add channel>", "<delete channel>",
                                        "Channel 1", "Channel 5"}));
    EXPECT_EQ(dlg.m_list.items,
              (std::vector<std::string>{"#1: Brake Switch, Type: On/Off Switch",
                                        "#5: Trans-Brake Timer, Type: Event Timer"}));
    ASSERT_TRUE(dlg.ChooseChannel("<delete channel>"));
    EXPECT_EQ(dlg.CurrentMode(), Mode::Deleting);
    EXPECT_EQ(dlg.m_channel.items, (std::vector<std::string>{"Channel 1", "Channel 5"}));
    EXPECT_EQ(dlg.m_type.items, (std::vector<std::string>{"<select type>", "<exit>", "<delete>"}));
    ASSERT_TRUE(dlg.ChooseChannel("Channel 5"));
    host.answers = {Answer::No};
    ASSERT_TRUE(dlg.ChooseType("<delete>"));
    EXPECT_EQ(host.questions.back(),
              "You are about do delete Channel #5\nDo you wish to continue?");
    EXPECT_EQ(dlg.CurrentMode(), Mode::Deleting);
    EXPECT_EQ(dlg.UsedMask(), 0x11u);
    EXPECT_FALSE(dlg.CopyChanged(0));

    host.answers = {Answer::Yes};
    ASSERT_TRUE(dlg.ChooseType("<delete>"));
    EXPECT_EQ(dlg.CurrentMode(), Mode::Normal);
    EXPECT_EQ(dlg.UsedMask(), 0x1u);
    EXPECT_EQ(dlg.m_channel.selected, 0);
    EXPECT_TRUE(dlg.CopyChanged(0));

    // Deleting the last setup leaves "<select channel>" and "<add channel>".
    ASSERT_TRUE(dlg.ChooseChannel("<delete channel>"));
    host.answers = {Answer::Yes};
    ASSERT_TRUE(dlg.ChooseType("<delete>"));
    EXPECT_EQ(dlg.m_channel.items, (std::vector<std::string>{"<select channel>", "<add channel>"}));
    ASSERT_TRUE(dlg.ChooseChannel("<delete channel>") == false);

    // "<exit>" leaves adding mode; a switch input offers the switch kinds, named after them.
    ASSERT_TRUE(dlg.ChooseChannel("<add channel>"));
    ASSERT_TRUE(dlg.ChooseType("<exit>"));
    EXPECT_EQ(dlg.CurrentMode(), Mode::Normal);
    ASSERT_TRUE(dlg.ChooseChannel("<add channel>"));
    ASSERT_TRUE(dlg.ChooseType("<new type>"));
    EXPECT_EQ(dlg.m_type.items,
              (std::vector<std::string>{"<select type>", "<cancel>", "Generic", "Throttle Switch",
                                        "Brake Switch", "Pressure Switch"}));
    ASSERT_TRUE(dlg.ChooseType("Throttle Switch"));
    ASSERT_NE(dlg.Copy(0).FindDigitalSetup(1), nullptr);
    EXPECT_EQ(dlg.Copy(0).FindDigitalSetup(1)->m_strDescription, "Throttle Switch");
    EXPECT_EQ(dlg.Copy(0).FindDigitalSetup(1)->m_nType, kDigitalSwitch);
}

TEST_F(DefaultsDialog, DisplayModesAndBandsStoreTheirCodes) {
    defaults.m_analog = {Analog(3, kAnalogVolts5, "Throttle")};
    CChannelSetupDialog analog(SetupKind::Analog, defaults, Units::Imperial, host, NoPath);
    ASSERT_TRUE(analog.ChooseChannel("Channel 3"));
    EXPECT_TRUE(analog.m_minimum.enabled);
    EXPECT_EQ(analog.m_maximum.text, "5");
    struct Case {
        int option, mode;
    };
    for (Case c : {Case{2, 3}, Case{3, 4}, Case{0, 1}}) {
        analog.m_scaleMode.selected = c.option;
        analog.Changed("scaleMode");
        EXPECT_EQ(analog.Copy(0).FindAnalogSetup(3)->m_nScaleMode, c.mode);
    }
    analog.m_smoothing.selected = 3;
    analog.Changed("smoothing");
    EXPECT_EQ(analog.Copy(0).FindAnalogSetup(3)->m_nSmoothing, 16);
    analog.m_maximum.Type("12.5");
    analog.Changed("maximum");
    EXPECT_FLOAT_EQ(analog.Copy(0).FindAnalogSetup(3)->m_fMax, 12.5f);
    EXPECT_EQ(analog.m_maximum.text, "12.5");

    defaults.m_digital = {Digital(2, kDigitalSwitch, "Brake")};
    CChannelSetupDialog digital(SetupKind::Digital, defaults, Units::Imperial, host, NoPath);
    ASSERT_TRUE(digital.ChooseChannel("Channel 2"));
    for (Case c : {Case{1, 3}, Case{2, 4}, Case{0, 2}}) {
        digital.m_band.selected = c.option;
        digital.Changed("band");
        EXPECT_EQ(digital.Copy(0).FindDigitalSetup(2)->m_nBand, c.mode);
    }
    digital.m_verticalMarker.checked = true;
    digital.Changed("verticalMarker");
    EXPECT_EQ(digital.Copy(0).FindDigitalSetup(2)->m_nBand, 1);
    EXPECT_FALSE(digital.m_band.enabled);
    digital.m_verticalMarker.checked = false;
    digital.Changed("verticalMarker");
    EXPECT_EQ(digital.Copy(0).FindDigitalSetup(2)->m_nBand, 2);
}

TEST_F(DefaultsDialog, RpmDialogRelabelsTheDisplayButtonsAndOffersEligiblePartners) {
    CBriodashDataset car;
    test::RearWheelCar(car);
    car.m_carSetup.m_fRearEndRatio = 3.5f;
    car.m_carSetup.m_rpm.push_back(test::RpmSetup(3, kRpmDriveShaft, "Drive Shaft", 3));
    defaults = car.m_carSetup;
    CChannelSetupDialog dlg(SetupKind::Rpm, defaults, Units::Imperial, host, NoPath);
    ASSERT_TRUE(dlg.ChooseChannel("Channel 3"));
    EXPECT_EQ(dlg.m_displayLabel[0].text, "Drive Shaft RPM");
    EXPECT_EQ(dlg.m_displayOption[0].selected, 0);
    EXPECT_TRUE(dlg.m_ppr.enabled);
    EXPECT_FALSE(dlg.m_diameter.shown);
    // Drive shaft against rear wheel needs the rear end; against the engine the gears.
    EXPECT_EQ(dlg.m_slipPartner.items,
              (std::vector<std::string>{"<none>", "#1: Engine", "#2: Rear Wheel"}));
    dlg.m_slipPartner.selected = 1;
    dlg.Changed("slipPartner");
    EXPECT_EQ(dlg.Copy(0).FindRpmSetup(3)->m_nSlipPartner, 1);

    ASSERT_TRUE(dlg.ChooseChannel("Channel 1"));
    EXPECT_FALSE(dlg.m_ppr.enabled);  // an engine's pulses follow from its type
    ASSERT_TRUE(dlg.ChooseChannel("Channel 2"));
    EXPECT_TRUE(dlg.m_diameter.shown);
    EXPECT_EQ(dlg.m_diameterLabel.text, "Tire Diameter (in)");
    EXPECT_EQ(dlg.m_circumference.text, "80");
}

// A document with one session (two analog accelerometers, a lap timer input, RPM) and its lap.
struct DocumentDialog : ::testing::Test {
    FakeHost host;
    CountingServices services;
    std::unique_ptr<CBriodashDoc> doc;
    CBriodashDataset* session = nullptr;
    CBriodashDataset* lap = nullptr;

    void SetUp() override {
        doc = std::make_unique<CBriodashDoc>(host, services, DocumentOptions{});
        auto ds = std::make_unique<CBriodashDataset>();
        ds->m_strName = "Pass 1";
        test::RearWheelCar(*ds);
        ds->m_carSetup.m_analog = {Analog(17, kAnalog2Accel, "LEFT-RIGHT"),
                                   Analog(18, kAnalog2Accel, "FRONT-REAR")};
        ds->m_carSetup.m_digital = {Digital(5, kDigitalLapTimer, "Lap Timer")};
        test::FillRpm(*ds, 1, 4000, 1000, 20000);
        for (int i = 1; i <= 5; ++i) {
            CSample s;
            s.m_lTime = i * 3000;
            s.m_lRaw = s.m_lFiltered = 1;
            ds->m_digital[4].AddTail(s);
        }
        session = ds.get();
        doc->m_datasets.push_back(std::move(ds));
        auto lapDs = std::make_unique<CBriodashDataset>(*session);
        lapDs->m_nLap = 1;
        lap = lapDs.get();
        doc->m_datasets.push_back(std::move(lapDs));
    }
};

TEST_F(DocumentDialog, AnalogOnADocumentOffersNoAddAndCancelChangesNothing) {
    {
        CChannelSetupDialog dlg(SetupKind::Analog, *doc, session, NoPath);
        EXPECT_EQ(dlg.Title(), "Configure Analog Channels");
        EXPECT_EQ(dlg.m_session.items, std::vector<std::string>{"Pass 1"});
        EXPECT_EQ(dlg.m_channel.items,
                  (std::vector<std::string>{"<select channel>", "<delete channel>", "Channel 17",
                                            "Channel 18"}));
        // Channel 17 has no samples: no rate.
        EXPECT_EQ(dlg.m_list.items[0], "#17: LEFT-RIGHT @ , Type: Accelerometer");
        dlg.m_list.selected = 1;
        dlg.Changed("list");
        EXPECT_EQ(dlg.SelectedChannel(), 18);
        EXPECT_EQ(dlg.m_type.items, (std::vector<std::string>{"<new type>", "Accelerometer"}));
        dlg.m_maximum.Type("3");
        dlg.Changed("maximum");
        // Cancel: the dialog goes without OK.
    }
    EXPECT_FLOAT_EQ(session->m_carSetup.FindAnalogSetup(18)->m_fMax, 5.0f);
    EXPECT_FALSE(doc->m_bModified);
}

TEST_F(DocumentDialog, FrontRearChangeRecomputesDistancesOnlyFromTheAccelerometer) {
    for (int source : {kDistanceAccelerometer, kDistanceFrontWheel}) {
        session->m_nDistanceSource = source;
        services.distances = 0;
        CChannelSetupDialog dlg(SetupKind::Analog, *doc, session, NoPath);
        ASSERT_TRUE(dlg.ChooseChannel("Channel 18"));
        dlg.m_maximum.Type("3");
        dlg.Changed("maximum");
        ASSERT_TRUE(dlg.Accept());
        EXPECT_EQ(services.distances, source == kDistanceAccelerometer ? 1 : 0) << source;
        EXPECT_EQ(dlg.AppliedHint(), source == kDistanceAccelerometer ? 0x70001u : 0x50001u);
        EXPECT_FLOAT_EQ(session->m_carSetup.FindAnalogSetup(18)->m_fMax, 3.0f);
        // The lap keeps its session's setup.
        EXPECT_FLOAT_EQ(lap->m_carSetup.FindAnalogSetup(18)->m_fMax, 3.0f);
        EXPECT_TRUE(doc->m_bModified);
        session->m_carSetup.FindAnalogSetup(18)->m_fMax = 5.0f;
    }
}

TEST_F(DocumentDialog, ALapTimerAcceptedWithYesBecomesLapMarkers) {
    CChannelSetupDialog dlg(SetupKind::Digital, *doc, session, NoPath);
    EXPECT_EQ(dlg.m_channel.items,
              (std::vector<std::string>{"<select channel>", "<delete channel>", "Channel 5"}));
    ASSERT_TRUE(dlg.ChooseChannel("Channel 5"));
    dlg.m_invert.checked = true;
    dlg.Changed("invert");
    host.answers = {Answer::No};
    EXPECT_FALSE(dlg.Accept());
    EXPECT_EQ(host.MessageTexts().back(),
              "Channel #5 needs to be changed to something other than a Lap Timer channel");
    EXPECT_NE(session->m_carSetup.FindDigitalSetup(5), nullptr);

    session->m_nBeaconsPerLap = 2;
    host.answers = {Answer::Yes};
    ASSERT_TRUE(dlg.Accept());
    EXPECT_EQ(host.questions.back(),
              "Channel #5 has been specified as a 'Lap Timer' channel.\nDo you wish to move this "
              "channel to the special Lap Timer channel?");
    EXPECT_EQ(session->m_carSetup.FindDigitalSetup(5), nullptr);
    std::vector<int32_t> codes;
    for (Pos p = session->m_markers.First(); p != kNoPos; p = session->m_markers.Next(p))
        codes.push_back(session->m_markers[p].m_lRaw);
    EXPECT_EQ(codes, (std::vector<int32_t>{0, 1, 100, 101, 200}));
    EXPECT_EQ(lap->m_carSetup.FindDigitalSetup(5), nullptr);
}

TEST_F(DocumentDialog, RpmOnADocumentDefinesARearWheelOnlyWithoutOne) {
    session->m_carSetup.RemoveRpmSetup(2);
    CChannelSetupDialog dlg(SetupKind::Rpm, *doc, session, NoPath);
    EXPECT_EQ(dlg.m_channel.items, (std::vector<std::string>{"<select channel>", "<add channel>",
                                                             "<delete channel>", "Channel 1"}));
    ASSERT_TRUE(dlg.ChooseChannel("<add channel>"));
    EXPECT_EQ(dlg.m_channel.items, std::vector<std::string>{"Define Rear Wheel"});
    ASSERT_TRUE(dlg.ChooseType("<new type>"));
    ASSERT_TRUE(dlg.ChooseType("Rear Wheel"));
    ASSERT_NE(dlg.Copy(0).FindRpmSetup(0), nullptr);
    EXPECT_EQ(dlg.m_list.items.front(), "Rear Wheel, Type: Definition");
    EXPECT_EQ(dlg.m_channel.items[1], "<delete channel>");  // no second rear wheel

    ASSERT_TRUE(dlg.ChooseChannel("<delete channel>"));
    ASSERT_TRUE(dlg.ChooseChannel("Define Rear Wheel"));
    host.answers = {Answer::Yes};
    ASSERT_TRUE(dlg.ChooseType("<delete>"));
    EXPECT_EQ(host.questions.back(),
              "You are about do delete Definition for Rear Wheel\nDo you wish to continue?");
    EXPECT_EQ(dlg.Copy(0).FindRpmSetup(0), nullptr);
}

TEST_F(DocumentDialog, ImportWithoutItsOwnKindChangesNothingAndAsksAboutOtherKinds) {
    char name[] = "/tmp/orvex-setup-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    const std::string dir = name;
    CCarSetup onlyRpm;
    onlyRpm.m_rpm.push_back(test::RpmSetup(4, kRpmClutch, "Clutch", 4));
    ASSERT_TRUE(ExportCarFile(onlyRpm, dir + "/rpm.car", Units::Imperial, host));
    CCarSetup analog = onlyRpm;
    analog.m_analog = {Analog(2, kAnalog2Throttle, "Throttle")};
    ASSERT_TRUE(ExportCarFile(analog, dir + "/analog.car", Units::Imperial, host));

    CChannelSetupDialog dlg(SetupKind::Analog, *doc, session, NoPath);
    dlg.ImportFrom(dir + "/rpm.car");
    EXPECT_EQ(host.MessageTexts().back(), "No Analog Setup Information found in the file!");
    EXPECT_FALSE(dlg.CopyChanged(0));
    EXPECT_EQ(dlg.Copy(0).m_rpm.size(), 2u);

    host.questions.clear();
    // Take the RPM setup (merged), not the transmission; replace the analog setups.
    host.answers = {Answer::Yes, Answer::Yes, Answer::No, Answer::No};
    dlg.ImportFrom(dir + "/analog.car");
    ASSERT_FALSE(host.questions.empty());
    EXPECT_EQ(host.questions.front(),
              "RPM Setup data found while loading Analog information.\nDo you wish to load this "
              "setup too?");
    EXPECT_EQ(host.questions.back(),
              "Do you wish to Merge(Yes) or Replace(No) current Analog Setup?");
    EXPECT_TRUE(dlg.CopyChanged(0));
    EXPECT_EQ(dlg.m_channel.items.back(), "Channel 2");
    EXPECT_EQ(dlg.Copy(0).m_analog.size(), 1u);
    EXPECT_NE(dlg.Copy(0).FindRpmSetup(4), nullptr);
    EXPECT_NE(dlg.Copy(0).FindRpmSetup(1), nullptr);
    EXPECT_EQ(session->m_carSetup.m_analog.size(), 2u);  // nothing before OK
    for (const char* file : {"/rpm.car", "/analog.car"}) std::remove((dir + file).c_str());
    ::rmdir(dir.c_str());
}

}  // namespace
}  // namespace orvex
