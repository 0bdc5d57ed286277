// The user guide's topic table, context mapping and search.
#include "app/HelpTopics.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "app/BuildInfo.h"

namespace orvex {
namespace {

const std::vector<HelpTopic> kTopics = {
    {"index", "Contents"},
    {"retrieve", "Getting a session off the logger"},
    {"files", "Data files, overlays, printing and export"},
    {"chart", "Reading the chart and the markers"},
    {"laps", "Laps and ET slips"},
    {"trackmap", "Track map and race mode"},
    {"views", "Traction circle, histogram and lap segment report"},
    {"setup", "Setting up the logger and the defaults"},
    {"livedata", "Live data"},
    {"firmware", "Updating the firmware"},
    {"dataserver", "The data server for the suspension program"},
    {"menus", "Every menu command"},
};

// Object names and window titles of the program's windows and dialogs, and their topics.
struct ContextEntry {
    const char* name;
    const char* topic;
};
const ContextEntry kContext[] = {
    {"COM Port", "retrieve"},
    {"RetrieveProgress", "retrieve"},
    {"Retrieve from Data-Logger", "retrieve"},
    {"GraphWidget", "chart"},
    {"MarkerList", "chart"},
    {"Graph", "chart"},
    {"Print", "files"},
    {"Export Graph", "files"},
    {"Open", "files"},
    {"Save As", "files"},
    {"Lap Times", "laps"},
    {"ET Slip", "laps"},
    {"Track Map", "trackmap"},
    {"TrackMap", "trackmap"},
    {"Default Track Map Front-Rear Settings", "trackmap"},
    {"Default Track Map Left-Right Settings", "trackmap"},
    {"Track Map Calculation Settings", "trackmap"},
    {"Traction Circle", "views"},
    {"Histogram", "views"},
    {"Lap Segment Report", "views"},
    {"Configure Analog Channels", "setup"},
    {"Configure Digital Inputs", "setup"},
    {"Configure RPM/MPH Channels", "setup"},
    {"Transmission/Rear End", "setup"},
    {"Spike Filter Settings", "setup"},
    {"Setup Data Logger's Channels", "setup"},
    {"View Live Data from Data Logger", "livedata"},
    {"Update Firmware on Data Logger", "firmware"},
    {"Data Server", "dataserver"},
    {"MainToolBar", "menus"},
    {"ORVEX", "index"},
};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool Matches(const std::string& name, const char* known) {
    // A graph window's caption is the document's title and " - Graph".
    const std::string k = known;
    if (name == k) return true;
    const std::string suffix = " - " + k;
    return name.size() > suffix.size() &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

const std::vector<HelpTopic>& HelpTopics() {
    return kTopics;
}

std::string HelpTopicFor(const std::vector<std::string>& chain) {
    for (const std::string& name : chain) {
        if (name.empty()) continue;
        for (const ContextEntry& e : kContext)
            if (Matches(name, e.name)) return e.topic;
    }
    return kTopics.front().id;
}

std::string HelpPlainText(const std::string& html) {
    std::string out;
    out.reserve(html.size());
    bool space = true;
    auto put = [&](char c) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!space) out += ' ';
            space = true;
        } else {
            out += c;
            space = false;
        }
    };
    for (size_t i = 0; i < html.size(); ++i) {
        const char c = html[i];
        if (c == '<') {
            const size_t end = html.find('>', i);
            if (end == std::string::npos) break;
            i = end;
            put(' ');
        } else if (c == '&') {
            static const std::pair<const char*, char> kEntities[] = {
                {"&amp;", '&'},  {"&lt;", '<'},    {"&gt;", '>'},  {"&quot;", '"'},
                {"&#39;", '\''}, {"&apos;", '\''}, {"&nbsp;", ' '}};
            bool found = false;
            for (const auto& [name, ch] : kEntities) {
                const std::string n = name;
                if (html.compare(i, n.size(), n) == 0) {
                    put(ch);
                    i += n.size() - 1;
                    found = true;
                    break;
                }
            }
            if (!found) put(c);
        } else {
            put(c);
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string MenuTextInGuide(const std::string& menuText) {
    std::string text = menuText.substr(0, menuText.find('\t'));
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '&') {
            out += '&';
            ++i;
        }
    }
    if (out.size() > 3 && out.compare(out.size() - 3, 3, "...") == 0) out.resize(out.size() - 3);
    return out;
}

std::string ReadHelpPage(const std::string& helpDir, const std::string& id) {
    std::ifstream in(helpDir + "/" + id + ".html", std::ios::binary);
    if (!in) return {};
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> SearchHelp(const std::string& helpDir, const std::string& query) {
    std::vector<std::string> words;
    std::istringstream q(Lower(query));
    for (std::string w; q >> w;) words.push_back(w);
    std::vector<std::string> found;
    if (words.empty()) return found;
    for (const HelpTopic& t : kTopics) {
        const std::string text = Lower(HelpPlainText(ReadHelpPage(helpDir, t.id)));
        if (text.empty()) continue;
        if (std::all_of(words.begin(), words.end(),
                        [&](const std::string& w) { return text.find(w) != std::string::npos; }))
            found.push_back(t.id);
    }
    return found;
}

std::string AboutText() {
    std::string s = "ORVEX\nVersion " ORVEX_VERSION_TEXT " (data files version 3.3e)\n\n";
    s += "Data acquisition and analysis for motorsport data loggers.\n\n";
    s += "Build: " ORVEX_BUILD_COMPILER ", " ORVEX_BUILD_DATE;
    const std::string commit = ORVEX_BUILD_COMMIT;
    if (!commit.empty()) s += ", commit " + commit;
    s += "\n\nReleased under the MIT License: you may use, copy, change and share it freely; it "
         "comes without any warranty.";
    return s;
}

}  // namespace orvex
