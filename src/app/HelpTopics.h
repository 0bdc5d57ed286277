// The user guide's topics, which topic belongs to which window or dialog, the guide's text
// without markup, and the word search over it.
#pragma once

#include <string>
#include <vector>

namespace orvex {

struct HelpTopic {
    const char* id;     // page name without ".html"
    const char* title;  // shown in the index
};

// Every topic of the guide in index order; the first one is the index page.
const std::vector<HelpTopic>& HelpTopics();

// The topic of a window or dialog. `chain` holds, innermost first, the object name and window
// title of the widget under the cursor and of each of its parents; the first one known gives
// the topic. Unknown chains give the index page.
std::string HelpTopicFor(const std::vector<std::string>& chain);

// The text of an HTML page: tags dropped, entities decoded, runs of white space made single.
std::string HelpPlainText(const std::string& html);

// The menu text as the guide writes it: "&" marks dropped ("&&" stays "&"), a trailing "..."
// and a tab with its key dropped.
std::string MenuTextInGuide(const std::string& menuText);

// Topics (ids, index order) whose page text holds every word of `query`, case-insensitive.
// Pages are read from `helpDir`; a missing page matches nothing.
std::vector<std::string> SearchHelp(const std::string& helpDir, const std::string& query);

// Reads one page of the guide; empty when it cannot be read.
std::string ReadHelpPage(const std::string& helpDir, const std::string& id);

// The About box's lines: program, version, build, licence.
std::string AboutText();

}  // namespace orvex
