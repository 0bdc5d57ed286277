// The settings file: an INI text with private-profile rules (sections and keys matched without
// regard to case, values as text), read whole and saved atomically, unknown lines kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/AtomicWrite.h"

namespace orvex {

// The private-profile integer read: leading blanks skipped, an optional sign, then leading
// decimal digits; text without digits reads 0. Values beyond 32 bits saturate.
int32_t ParseProfileInt(std::string_view text);

class CProfileFile {
  public:
    // Steps of a save, for tests that make one of them fail.
    using SaveStep = AtomicWriteStep;
    using SaveFaultHook = AtomicWriteFault;  // returns an errno to fail, 0 to go on

    CProfileFile() = default;

    // Reads the whole file. A file that cannot be read leaves the contents empty and returns
    // false with the error number in `error` (ENOENT when it does not exist).
    bool Load(const std::string& path, int* error = nullptr);
    // Replaces the contents with the text of an INI file.
    void Parse(std::string_view text);
    // The file text as it would be saved.
    std::string Text() const;
    // Writes a temporary file beside `path`, flushes it to disk and renames it over `path`.
    // On failure the old file is left as it was and the error number is returned in `error`.
    bool Save(const std::string& path, int* error = nullptr) const;

    // Value of a key, blanks around it removed; nothing when the section or key is missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;
    // Private-profile integer; a missing key gives the default.
    int32_t GetInt(std::string_view section, std::string_view key, int32_t defaultValue) const;

    // Replaces the key's value in place, or appends the key to its section (the section is
    // appended to the file when missing). Line breaks in the value become blanks.
    void Write(std::string_view section, std::string_view key, std::string_view value);
    // Removes every line of the key in the section; true when something was removed.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes every section of that name with its lines; true when something was removed.
    bool DeleteSection(std::string_view section);
    void Clear();

    bool HasSection(std::string_view section) const;
    // Section names in file order, each once (the first spelling).
    std::vector<std::string> Sections() const;
    // Keys of a section in file order with their values (the first of duplicated keys).
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

    // Test hook called before each save step; empty in normal use.
    static void SetSaveFaultHook(SaveFaultHook hook);

  private:
    struct Line {
        std::string text;  // the line as read or as written by Write
        std::string key;   // trimmed key name; empty for headers, comments, blank lines
        std::string value;
        bool isKey = false;
    };
    struct Section {
        std::string name;  // trimmed; the lines before the first header have no header
        bool hasHeader = false;
        std::string header;  // the header line as read
        std::vector<Line> lines;
    };

    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;

    std::vector<Section> m_sections;
    bool m_bCrLf = false;  // the file used CR LF line ends
};

}  // namespace orvex
