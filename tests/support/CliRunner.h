// Runs orvex-cli commands in process through the same command table as the program: the words
// after the program name, with a working folder and a settings folder for the run.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace orvex::test {

struct CliResult {
    int status = -1;
    std::string out;  // standard output
    std::string err;  // messages (the error stream)
};

struct CliRunOptions {
    std::filesystem::path dir;        // working folder during the run (empty: unchanged)
    std::filesystem::path configDir;  // ORVEX_CONFIG_DIR during the run (empty: unchanged)
    bool merged = false;              // messages written into `out` as well, in order
};

// Splits a command line as a shell would for plain words and '...' or "..." quoted ones.
inline std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (char c : line) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                word += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

inline CliResult RunCli(const std::string& commandLine, const CliRunOptions& options = {}) {
    namespace fs = std::filesystem;
    const fs::path oldDir = fs::current_path();
    const char* oldConfig = std::getenv("ORVEX_CONFIG_DIR");
    const std::optional<std::string> savedConfig =
        oldConfig ? std::optional<std::string>(oldConfig) : std::nullopt;
    if (!options.dir.empty()) fs::current_path(options.dir);
    if (!options.configDir.empty()) ::setenv("ORVEX_CONFIG_DIR", options.configDir.c_str(), 1);

    std::ostringstream out, err;
    CliResult r;
    {
        cli::Context context(out, options.merged ? out : err);
        r.status = cli::RunCli(SplitCommandLine(commandLine), context);
    }
    r.out = out.str();
    r.err = err.str();

    fs::current_path(oldDir);
    if (savedConfig)
        ::setenv("ORVEX_CONFIG_DIR", savedConfig->c_str(), 1);
    else
        ::unsetenv("ORVEX_CONFIG_DIR");
    return r;
}

}  // namespace orvex::test
