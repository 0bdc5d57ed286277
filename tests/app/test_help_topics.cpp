// The user guide: every menu command mentioned, every topic page present, window-to-topic
// mapping, the text without markup and the word search.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/DataWindowCommands.h"
#include "app/HelpTopics.h"
#include "app/MainFrameCommands.h"
#include "app/ProgramData.h"
#include "graph/GraphNav.h"

namespace orvex {
namespace {

std::string HelpDir() {
    return ProgramDataDir() + "/help";
}

std::string WholeGuide() {
    std::string text;
    for (const HelpTopic& t : HelpTopics())
        text += HelpPlainText(ReadHelpPage(HelpDir(), t.id)) + " ";
    return text;
}

TEST(HelpGuide, MentionsEveryMenuCommand) {
    const std::string guide = WholeGuide();
    std::string missing;
    for (const MainFrameCommand& c : MainFrameCommands()) {
        if (!*c.menu) continue;
        const std::string text = MenuTextInGuide(c.text);
        if (guide.find(text) == std::string::npos)
            missing += "\n  \"" + text + "\" (" + c.menu + ")";
    }
    // The data window's session commands, the chart's pop-up and the graph's own commands.
    for (const DataCommandInfo& c : DataCommandTable()) {
        const std::string text = MenuTextInGuide(c.text);
        if (guide.find(text) == std::string::npos)
            missing += "\n  \"" + text + "\" (" + (*c.menu ? c.menu : "pop-up") + ")";
    }
    for (const GraphCommandInfo& c : GraphCommandTable()) {
        if (!*c.menuText) continue;
        const std::string text = MenuTextInGuide(c.menuText);
        if (guide.find(text) == std::string::npos) missing += "\n  \"" + text + "\" (graph)";
    }
    EXPECT_TRUE(missing.empty()) << "menu commands the guide does not mention:" << missing;
}

TEST(HelpGuide, EveryTopicHasItsPageWithTitleAndNoDeadLink) {
    for (const HelpTopic& t : HelpTopics()) {
        const std::string html = ReadHelpPage(HelpDir(), t.id);
        ASSERT_FALSE(html.empty()) << t.id;
        for (size_t at = html.find("href=\""); at != std::string::npos;
             at = html.find("href=\"", at + 1)) {
            const size_t end = html.find('"', at + 6);
            const std::string target = html.substr(at + 6, end - at - 6);
            EXPECT_TRUE(std::filesystem::exists(HelpDir() + "/" + target))
                << t.id << " links to " << target;
        }
    }
    const std::string index = ReadHelpPage(HelpDir(), "index");
    for (const HelpTopic& t : HelpTopics()) {
        if (std::string(t.id) == "index") continue;
        EXPECT_NE(index.find(std::string(t.id) + ".html"), std::string::npos) << t.id;
    }
}

TEST(HelpGuide, WindowsAndDialogsMapToTheirTopics) {
    struct Case {
        std::vector<std::string> chain;
        const char* topic;
    };
    const Case cases[] = {
        {{"", "COM Port"}, "retrieve"},
        {{"GraphWidget", "run1 - Graph", "ORVEX"}, "chart"},
        {{"", "run1.tbc - Graph", "ORVEX"}, "chart"},
        {{"qt_spinbox_lineedit", "", "View Live Data from Data Logger"}, "livedata"},
        {{"", "Update Firmware on Data Logger"}, "firmware"},
        {{"", "Default Track Map Left-Right Settings"}, "trackmap"},
        {{"", "ORVEX"}, "index"},
        {{"unknown", "Something Else"}, "index"},
        {{}, "index"},
        // A caption that merely ends like a known one without the " - " does not match.
        {{"Overgraph"}, "index"},
    };
    for (const Case& c : cases) {
        std::string chain;
        for (const auto& n : c.chain) chain += "[" + n + "]";
        EXPECT_EQ(HelpTopicFor(c.chain), c.topic) << chain;
    }
}

TEST(HelpGuide, PlainTextAndMenuTextAsWritten) {
    EXPECT_EQ(HelpPlainText("<p>Draw Corner &amp; Accel\n  <b>Segments</b></p>"),
              "Draw Corner & Accel Segments");
    EXPECT_EQ(HelpPlainText("a &lt;b&gt; &quot;c&quot; &unknown; d"), "a <b> \"c\" &unknown; d");
    EXPECT_EQ(HelpPlainText("cut <b"), "cut");
    EXPECT_EQ(MenuTextInGuide("&Open..."), "Open");
    EXPECT_EQ(MenuTextInGuide("Draw Corner && Accel Segments"), "Draw Corner & Accel Segments");
    EXPECT_EQ(MenuTextInGuide("E&xit\tCtrl+Q"), "Exit");
    EXPECT_EQ(MenuTextInGuide("Toggle between Viewing All of the Laps or Selected Laps Only."),
              "Toggle between Viewing All of the Laps or Selected Laps Only.");
}

TEST(HelpGuide, SearchFindsTopicsHoldingEveryWord) {
    const auto firmware = SearchHelp(HelpDir(), "BOOT monitor");
    EXPECT_NE(std::find(firmware.begin(), firmware.end(), "firmware"), firmware.end());
    EXPECT_EQ(std::find(firmware.begin(), firmware.end(), "chart"), firmware.end());
    EXPECT_TRUE(SearchHelp(HelpDir(), "zebrafishquartz").empty());
    EXPECT_TRUE(SearchHelp(HelpDir(), "   ").empty());
    EXPECT_TRUE(SearchHelp("/nowhere/help", "firmware").empty());
    // Markup is not text: a tag name alone finds nothing.
    EXPECT_TRUE(SearchHelp(HelpDir(), "href").empty());
}

TEST(HelpGuide, AboutNamesVersionBuildAndLicence) {
    const std::string about = AboutText();
    EXPECT_NE(about.find("Version "), std::string::npos);
    EXPECT_NE(about.find("Build: "), std::string::npos);
    EXPECT_NE(about.find("MIT License"), std::string::npos);
    EXPECT_EQ(about.find('/' + std::string("home")), std::string::npos);
    EXPECT_EQ(about.find("/work"), std::string::npos);
}

}  // namespace
}  // namespace orvex
