#include <gtest/gtest.h>

#include <cmath>

#include "app/ServerTestSupport.h"

namespace orvex {
namespace {

using test::Bytes;
using test::Doubles;
using test::ServerRig;
using test::Text;

std::string Zero(const std::string& s) {
    return s + std::string(1, '\0');
}

TEST(DataServerSystem, AnswersEveryItemWithItsTextAndZeroByteInAnyFormatAndCase) {
    ServerRig rig;
    rig.Enable();
    auto conv = rig.server->Connect("sYsTeM", "client");
    ASSERT_TRUE(conv);
    CDDEServerConv* c = rig.server->Find(*conv, "client");
    ASSERT_NE(c, nullptr);
    struct Row {
        const char* item;
        const char* text;
    } rows[] = {
        {"Topics", "System, PlayBack, ChannelInfo"},
        {"SysItems", "Formats, Help, ItemList, RtnMsg, Status, SysItems, Topics"},
        {"ReturnMessage", "Not Available"},
        {"Status", "Server is READY"},
        {"Formats", "CF_TEXT"},
        {"Help", "Not Implemented"},
        {"TopicItemList",
         "ChannelOrder, ChannelData, XAxisList, RPMList, AnalogList, "
         "DigitalList, MathList, ChannelDetails"},
        {"STATUS", "Server is READY"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Text(c->OnRequest(r.item, "CF_TEXT")), Zero(r.text)) << r.item;
        EXPECT_EQ(Text(c->OnRequest(r.item, "CF_BITMAP")), Zero(r.text)) << r.item;
    }
    EXPECT_EQ(Text(c->OnRequest("ItemList", "CF_TEXT")), "<no data>");
    EXPECT_FALSE(c->OnPoke("Status", Bytes("x")));
    EXPECT_FALSE(c->OnAdviseStart("Status"));
}

TEST(DataServerChannelInfo, ListsTheCurrentDatasetsChannels) {
    ServerRig rig;
    rig.Enable();
    CDDEServerConv* c = rig.server->Find(*rig.server->Connect("ChannelInfo", "a"), "a");
    EXPECT_EQ(Text(c->OnRequest("XAxisList", "CF_TEXT")), Zero("XT:Time, XD:Distance"));
    EXPECT_EQ(Text(c->OnRequest("RPMList", "CF_TEXT")), Zero("R1:Engine"));
    EXPECT_EQ(Text(c->OnRequest("analoglist", "CF_TEXT")), Zero("A1:Throttle, A3:LF"));
    EXPECT_EQ(Text(c->OnRequest("DigitalList", "CF_TEXT")), Zero("D1:Brake"));
    EXPECT_EQ(Text(c->OnRequest("MathList", "CF_TEXT")), Zero(""));
    EXPECT_EQ(Text(c->OnRequest("ChannelDetails", "CF_TEXT")), Zero(""));
    EXPECT_EQ(Text(c->OnRequest("RPMList", "CF_BITMAP")), "<no data>");
    EXPECT_EQ(Text(c->OnRequest("ChannelData", "CF_TEXT")), "<no data>");
    EXPECT_FALSE(c->OnPoke("ChannelDetails", Bytes("x")));

    // RPM channels 2 and 3 only: two entries and nothing before the first.
    CBriodashDataset& ds = *rig.window.ds;
    ds.m_rpm[0] = CShaftList();
    for (int ch : {2, 3}) {
        CFreqSetup s = CFreqSetup::Make(ch, kRpmRearWheel, Units::Imperial);
        s.m_strDescription = ch == 2 ? "Drive" : "Wheel";
        ds.m_carSetup.m_rpm.push_back(s);
        ds.m_rpm[static_cast<std::size_t>(ch - 1)].AddTail(test::MakeShaft(0, 1000, 0));
    }
    EXPECT_EQ(Text(c->OnRequest("RPMList", "CF_TEXT")), Zero("R2:Drive, R3:Wheel"));

    // Without distance, and with no data window at all.
    ServerRig noDistance(false);
    noDistance.Enable();
    CDDEServerConv* n =
        noDistance.server->Find(*noDistance.server->Connect("ChannelInfo", "a"), "a");
    EXPECT_EQ(Text(n->OnRequest("XAxisList", "CF_TEXT")), Zero("XT:Time"));
    noDistance.window.ds = nullptr;
    EXPECT_EQ(Text(n->OnRequest("AnalogList", "CF_TEXT")), Zero(""));
}

TEST(DataServerConnect, RefusesUnknownTopicsForeignAndEndedConversations) {
    ServerRig rig;
    EXPECT_FALSE(rig.server->Connect("System", "a")) << "before the name is taken";
    rig.Enable();
    EXPECT_FALSE(rig.server->Connect("Damplex", "a"));
    EXPECT_FALSE(rig.server->Connect("", "a"));
    auto id = rig.server->Connect("playback", "a");
    ASSERT_TRUE(id);
    EXPECT_EQ(rig.server->Find(*id, "b"), nullptr);
    EXPECT_EQ(rig.server->Find(*id + 1000, "a"), nullptr);
    EXPECT_FALSE(rig.server->Disconnect(*id, "b"));
    EXPECT_TRUE(rig.server->Disconnect(*id, "a"));
    EXPECT_FALSE(rig.server->Disconnect(*id, "a"));
    EXPECT_EQ(rig.server->Find(*id, "a"), nullptr);
    EXPECT_EQ(rig.State().connections, 0);
}

TEST(ChannelOrder, TokensAndTheValidityRule) {
    ServerRig rig;
    const CBriodashDataset* ds = rig.window.ds;
    struct Row {
        std::string order;
        std::vector<std::pair<char, int32_t>> entries;
    } rows[] = {
        {"XT R1 A3", {{'X', 0}, {'R', 1}, {'A', 3}}},
        {",, XT:Time,  XD:Distance, R1:Engine,A1:Throttle ,D1",
         {{'X', 0}, {'X', 1}, {'R', 1}, {'A', 1}, {'D', 1}}},
        {"A3:LF-shock-sensor", {{'A', 3}}},
        {"XT A9", {}},                        // no analog 9
        {"A1 R2 XT", {}},                     // no RPM 2
        {"XT D4", {}},                        // no digital 4
        {"A", {}},                            // no number
        {"XQ", {}},                           // neither time nor distance
        {"R0", {}},                           // no channel 0
        {"A99999999999", {}},                 // a number too long for any channel
        {"Engine A1", {{'E', 0}, {'A', 1}}},  // a word takes a slot
        {"", {}},
        {" , ,", {}},
    };
    for (const Row& r : rows) {
        CAdvReqClient client(7);
        client.SetChannelOrder(r.order, ds);
        EXPECT_EQ(client.m_strOrder, r.order);
        std::vector<std::pair<char, int32_t>> got;
        for (int i = 0; i < client.m_nEntries; ++i)
            got.emplace_back(client.m_entries[static_cast<std::size_t>(i)].kind,
                             client.m_entries[static_cast<std::size_t>(i)].number);
        EXPECT_EQ(got, r.entries) << r.order;
    }

    // Distance needs a dataset with distances.
    ServerRig noDistance(false);
    CAdvReqClient client(1);
    client.SetChannelOrder("XT XD", noDistance.window.ds);
    EXPECT_EQ(client.m_nEntries, 0);
    client.SetChannelOrder("XT", nullptr);
    EXPECT_EQ(client.m_nEntries, 1);
}

TEST(ChannelOrder, ReadsOnlyTheFirst255CharactersAndGrowsItsEntries) {
    ServerRig rig;
    std::string order;
    while (order.size() < 252) order += "A1 ";
    order += ' ';
    ASSERT_EQ(order.size(), 253u);
    struct Row {
        std::string tail;
        int32_t entries;
    } rows[] = {
        {"A19", 85},   // read as "A1"
        {"  A9", 84},  // the invalid token lies past the end
        {"A9", 0},
        {"A3", 85},
    };
    CAdvReqClient client(1);
    for (const Row& r : rows) {
        client.SetChannelOrder(order + r.tail, rig.window.ds);
        EXPECT_EQ(client.m_nEntries, r.entries) << r.tail;
        EXPECT_EQ(client.m_strOrder, order + r.tail);
    }
    EXPECT_GE(client.m_entries.size(), 85u);
    EXPECT_EQ(client.m_entries.size() % CAdvReqClient::kInitialEntries, 0u);
    client.SetChannelOrder(std::string(10000, 'R'), rig.window.ds);
    EXPECT_EQ(client.m_nEntries, 0);
}

// A PlayBack client: poke an order, start the advise loop, move the green marker.
struct PlayBackClient {
    ServerRig& rig;
    std::string owner;
    uint32_t id;
    CDDEServerConv* conv;
    PlayBackClient(ServerRig& r, std::string o, const std::string& order)
        : rig(r), owner(std::move(o)) {
        id = *rig.server->Connect("PlayBack", owner);
        conv = rig.server->Find(id, owner);
        EXPECT_TRUE(conv->OnPoke("ChannelOrder", Bytes(order + std::string(1, '\0'))));
    }
    bool Advise() { return conv->OnAdviseStart("channeldata"); }
    bool Stop() { return conv->OnAdviseStop("ChannelData"); }
    std::vector<std::vector<double>> Received() const {
        std::vector<std::vector<double>> out;
        for (const auto& s : rig.transport.sent)
            if (s.conversation == id && s.item == "ChannelData") out.push_back(Doubles(s.data));
        return out;
    }
};

TEST(DataServerPlayBack, ThreeTokensGiveThreeDoublesAtTheGreenMarker) {
    ServerRig rig;
    rig.Enable();
    PlayBackClient client(rig, "a", "XT R1 A3");
    EXPECT_TRUE(client.Advise());
    rig.doc.m_lGreenTime = 2000;
    ASSERT_TRUE(rig.server->PostAdviseFromView());
    ASSERT_EQ(rig.transport.sent.size(), 1u);
    EXPECT_EQ(rig.transport.sent[0].data.size(), 24u);
    EXPECT_EQ(client.Received()[0], (std::vector<double>{0.2, 3000.0, 5.0}));
    EXPECT_EQ(rig.server->LastBlock(), rig.transport.sent[0].data);

    // Between samples the list interpolates; the block follows it.
    rig.doc.m_lGreenTime = 2500;
    ASSERT_TRUE(rig.server->PostChannelData());
    EXPECT_EQ(client.Received()[1], (std::vector<double>{0.25, 3500.0, 6.2}));
}

TEST(DataServerPlayBack, AbsentChannelGivesAnEmptyBlockUntilAValidOrder) {
    ServerRig rig;
    rig.Enable();
    PlayBackClient client(rig, "a", "XT A7");
    client.Advise();
    rig.doc.m_lGreenTime = 1000;
    rig.server->PostChannelData();
    ASSERT_EQ(rig.transport.sent.size(), 1u);
    EXPECT_TRUE(rig.transport.sent[0].data.empty());
    EXPECT_TRUE(client.conv->OnPoke("ChannelOrder", Bytes("XD A3")));
    rig.server->PostChannelData();
    EXPECT_EQ(client.Received()[1], (std::vector<double>{10.0, 2.5}));
    // Outside the data the list shows "N/A": the value is not a number.
    rig.doc.m_lGreenTime = 90000;
    rig.server->PostChannelData();
    ASSERT_EQ(client.Received()[2].size(), 2u);
    EXPECT_TRUE(std::isnan(client.Received()[2][1]));
}

TEST(DataServerPlayBack, TwoClientsGetTheirOwnEntriesAndOnlyAdvisingOnesGetAny) {
    ServerRig rig;
    rig.Enable();
    PlayBackClient a(rig, "a", "R1");
    PlayBackClient b(rig, "b", "A1 XT");
    PlayBackClient quiet(rig, "c", "XT");
    a.Advise();
    b.Advise();
    rig.doc.m_lGreenTime = 3000;
    rig.server->PostChannelData();
    EXPECT_EQ(a.Received(), (std::vector<std::vector<double>>{{4000.0}}));
    EXPECT_EQ(b.Received(), (std::vector<std::vector<double>>{{100.0, 0.3}}));
    EXPECT_TRUE(quiet.Received().empty());
    EXPECT_EQ(rig.State().connections, 3);
    EXPECT_EQ(rig.State().advises, 2);
    EXPECT_FALSE(a.conv->OnAdviseStart("ChannelOrder"));
    EXPECT_TRUE(a.Advise()) << "a loop that runs is counted once";
    EXPECT_EQ(rig.State().advises, 2);
    EXPECT_FALSE(quiet.Stop()) << "no loop to stop";
    EXPECT_EQ(rig.State().advises, 2);
}

TEST(DataServerPlayBack, ViewsPostOnlyWhileTheServerIsActive) {
    struct Row {
        bool enabled, autoMode, advising, timer, active;
    } rows[] = {
        {true, false, true, false, true},   {false, false, true, false, false},
        {true, false, false, false, false}, {true, true, true, false, false},
        {true, true, true, true, true},
    };
    for (const Row& r : rows) {
        ServerRig rig;
        rig.Enable();
        PlayBackClient c(rig, "a", "XT");
        if (r.advising) c.Advise();
        rig.app.SetServerAutoMode(r.autoMode);
        rig.State().timerId = r.timer ? kPlaybackTimerId : 0;
        if (!r.enabled) rig.server->DisableServer();
        EXPECT_EQ(rig.server->IsServerActive(), r.active);
        rig.transport.sent.clear();
        EXPECT_TRUE(rig.server->PostAdviseFromView());
        EXPECT_EQ(rig.transport.sent.size(), r.active ? 1u : 0u);
    }
    ServerRig failing;
    failing.Enable();
    PlayBackClient c(failing, "a", "XT");
    c.Advise();
    failing.transport.sendOk = false;
    EXPECT_FALSE(failing.server->PostAdviseFromView());
}

TEST(DataServerPlayBack, LeavingWithTheLoopRunningLowersTheAdviseCount) {
    ServerRig rig;
    rig.Enable();
    rig.app.SetServerAutoMode(true);
    rig.State().playbackStart = 0;
    rig.State().playbackEnd = 4000;
    PlayBackClient a(rig, "a", "XT");
    PlayBackClient b(rig, "b", "XT");
    a.Advise();
    b.Advise();
    EXPECT_EQ(rig.server->StatusText(), "Server Active, 2 Client(s)");
    EXPECT_TRUE(rig.server->Disconnect(a.id, "a"));
    EXPECT_EQ(rig.State().advises, 1);
    EXPECT_EQ(rig.State().connections, 1);
    EXPECT_TRUE(rig.server->PlaybackRunning());
    EXPECT_EQ(rig.server->StatusText(), "Server Active, 1 Client(s)");
    EXPECT_EQ(rig.server->Clients().size(), 1u);

    // A connection that leaves the bus takes all its conversations with it.
    rig.server->Connect("System", "b");
    rig.server->Connect("ChannelInfo", "b");
    rig.server->ClientLeft("b");
    EXPECT_EQ(rig.server->ConversationCount(), 0u);
    EXPECT_EQ(rig.State().advises, 0);
    EXPECT_EQ(rig.State().connections, 0);
    EXPECT_FALSE(rig.server->PlaybackRunning());
    EXPECT_TRUE(rig.server->Clients().empty());
}

TEST(PlaybackTimer, SecondLoopDoesNotRestartItAndStoppingOneOfTwoKeepsIt) {
    ServerRig rig;
    rig.Enable();
    rig.app.SetServerAutoMode(true);
    rig.app.SetServerTimer(30);
    rig.State().playbackStart = 1000;
    rig.State().playbackEnd = 3000;
    PlayBackClient a(rig, "a", "XT");
    PlayBackClient b(rig, "b", "XT");
    a.Advise();
    EXPECT_EQ(rig.clock.starts, std::vector<double>{1000.0});
    EXPECT_EQ(rig.State().periodMs, 1000.0);
    b.Advise();
    EXPECT_EQ(rig.clock.starts.size(), 1u);
    EXPECT_EQ(rig.clock.stops, 0);
    b.Stop();
    EXPECT_TRUE(rig.server->PlaybackRunning());
    EXPECT_EQ(rig.clock.stops, 0);
    a.Stop();
    EXPECT_FALSE(rig.server->PlaybackRunning());
    EXPECT_EQ(rig.clock.stops, 1);
}

TEST(PlaybackTimer, PeriodsAndStartRules) {
    struct Row {
        int32_t timer;
        double period;
    } rows[] = {{10, 10.0}, {20, 100.0}, {30, 1000.0}, {40, 10000.0}};
    for (const Row& r : rows) {
        ServerRig rig;
        rig.app.SetServerTimer(r.timer);
        rig.State().playbackStart = 0;
        rig.State().playbackEnd = 1;
        rig.server->StartPlayback();
        ASSERT_EQ(rig.clock.starts.size(), 1u);
        EXPECT_NEAR(rig.clock.starts[0], r.period, 1e-9);
    }
    ServerRig unset;
    unset.State().playbackStart = 0;
    unset.server->StartPlayback();
    EXPECT_TRUE(unset.clock.starts.empty()) << "no end: nothing happens";

    ServerRig failing;
    failing.State().playbackStart = 0;
    failing.State().playbackEnd = 10;
    failing.clock.startOk = false;
    failing.server->StartPlayback();
    EXPECT_FALSE(failing.server->PlaybackRunning());
    EXPECT_EQ(failing.host.MessageTexts(), std::vector<std::string>{"Timer Failed to Start!"});
}

TEST(PlaybackTimer, EachTickWalksTheGreenMarkerOnePointAndStartsOverAtTheEnd) {
    ServerRig rig;
    rig.Enable();
    rig.app.SetServerAutoMode(true);
    rig.app.SetServerTimer(10);
    rig.State().playbackStart = 1000;
    rig.State().playbackEnd = 3000;
    PlayBackClient a(rig, "a", "XT");
    a.Advise();
    ASSERT_TRUE(rig.server->PlaybackRunning());
    for (int i = 0; i < 5; ++i) rig.server->OnPlaybackTick();
    // Unset marker: to the start, then one point on; at the end back to the start.
    EXPECT_EQ(rig.window.greenAtPost, (std::vector<int32_t>{2000, 3000, 2000, 3000, 2000}));
    EXPECT_EQ(rig.window.resets, 3);
    EXPECT_EQ(rig.window.nudges, 5);
    EXPECT_EQ(rig.window.shows, 5);
    EXPECT_EQ(a.Received().size(), 5u) << "the nudge itself posts nothing while the timer stops";
    EXPECT_EQ(rig.clock.starts, std::vector<double>(6, 10.0));
    EXPECT_TRUE(rig.server->PlaybackRunning());

    rig.transport.sendOk = false;
    rig.server->OnPlaybackTick();
    EXPECT_EQ(rig.host.MessageTexts(), std::vector<std::string>{"Post Advise Failed!"});
    EXPECT_TRUE(rig.server->PlaybackRunning()) << "playback goes on";
}

TEST(EnableServer, StartsTheSuspensionProgramInItsFolderAndWaitsForItToConnect) {
    ServerRig rig;
    bool registeredBeforeWait = false;
    rig.clock.duringWait = [&] {
        registeredBeforeWait = rig.server->IsRegistered();
        rig.server->Connect("ChannelInfo", "damplex");
    };
    EXPECT_TRUE(rig.server->EnableServer());
    ASSERT_EQ(rig.launcher.launches.size(), 1u);
    EXPECT_EQ(rig.launcher.launches[0].program, "/opt/damplex/Damplexr");
    EXPECT_EQ(rig.launcher.launches[0].args, std::vector<std::string>{"/DDEML=BDLNK"});
    EXPECT_EQ(rig.launcher.launches[0].folder, "/opt/damplex/");
    EXPECT_EQ(rig.clock.waits, std::vector<int>{10000});
    EXPECT_TRUE(registeredBeforeWait);
    EXPECT_TRUE(rig.State().enabled);
    EXPECT_EQ(rig.transport.registrations, 1);
    EXPECT_EQ(rig.server->StatusText(), "Server Active, 0 Client(s)");

    // Running: no second start; disabled keeps the name.
    rig.server->EnableServer();
    EXPECT_EQ(rig.launcher.launches.size(), 1u);
    rig.server->DisableServer();
    EXPECT_EQ(rig.server->StatusText(), "Server Installed but Disabled");
    EXPECT_EQ(rig.transport.registrations, 1);
}

TEST(EnableServer, AsksForTheProgramAndReportsFailures) {
    struct Row {
        std::string stored;
        std::optional<std::string> chosen;
        std::string error;
        bool enabled;
        std::vector<std::string> messages;
        std::string storedAfter;
    } rows[] = {
        {"", std::nullopt, "", false, {"Operation Aborted!"}, ""},
        {"/gone/Damplexr", "/opt/damplex/Damplexr", "", true, {}, "/opt/damplex/Damplexr"},
        {"/opt/damplex/Damplexr",
         std::nullopt,
         "Permission denied",
         false,
         {"Failed to execute the Suspension Program @ /opt/damplex/Damplexr /DDEML=BDLNK\n"
          "Permission denied"},
         "/opt/damplex/Damplexr"},
    };
    for (const Row& r : rows) {
        ServerRig rig;
        rig.app.SetSuspensionApp(r.stored);
        rig.launcher.chosen = r.chosen;
        rig.launcher.error = r.error;
        EXPECT_EQ(rig.server->EnableServer(), r.enabled) << r.stored;
        EXPECT_EQ(rig.State().enabled, r.enabled);
        EXPECT_EQ(rig.host.MessageTexts(), r.messages);
        EXPECT_EQ(rig.app.GetSuspensionApp(), r.storedAfter);
        EXPECT_EQ(rig.launcher.chooses, r.stored == "/opt/damplex/Damplexr" ? 0 : 1);
    }
}

TEST(EnableServer, WhenEnabledAgainRestartsTheTimerOrPostsInManualMode) {
    ServerRig rig;
    rig.Enable();
    PlayBackClient a(rig, "a", "XT");
    a.Advise();
    rig.doc.m_lGreenTime = 1000;
    rig.server->EnableServer();
    EXPECT_EQ(a.Received(), (std::vector<std::vector<double>>{{0.1}}));
    EXPECT_EQ(rig.window.shows, 1);

    rig.transport.sendOk = false;
    rig.server->EnableServer();
    EXPECT_EQ(rig.host.MessageTexts(),
              std::vector<std::string>{"EnableServer: Post Advise Failed!"});
    rig.transport.sendOk = true;

    rig.app.SetServerAutoMode(true);
    rig.State().playbackStart = 0;
    rig.State().playbackEnd = 4000;
    rig.server->EnableServer();
    EXPECT_TRUE(rig.server->PlaybackRunning());
    rig.server->EnableServer();
    EXPECT_EQ(rig.clock.starts.size(), 2u) << "a running timer is stopped and started again";
    EXPECT_EQ(rig.clock.stops, 1);
    EXPECT_FALSE(rig.launcher.launches.size()) << "an advise loop runs: nothing started";
}

}  // namespace
}  // namespace orvex
