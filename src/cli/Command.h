// The orvex-cli commands as a library: each command declares its options, writes to the
// context's streams and takes its host, application object and document factory from the
// context, so that the program and the tests run the same commands.
#pragma once

#include <iosfwd>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/DataAcqApp.h"
#include "app/DocumentSetup.h"
#include "cli/Args.h"
#include "host/StderrHost.h"

namespace orvex::cli {

// Exit statuses: success, the program's message was shown, the command line was wrong.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// What a command works with: its output stream, the host whose messages go to the error
// stream, and the application object (settings read on first use) with the document factory.
class Context {
  public:
    Context(std::ostream& out, std::ostream& err);
    ~Context();

    std::ostream& out;
    std::ostream& err;
    CStderrHost host;

    // printf-style text to the output or error stream.
    void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void PrintError(const char* format, ...) __attribute__((format(printf, 2, 3)));

    CDataAcqApp& App();
    CDocumentFactory& Documents();

  private:
    std::unique_ptr<CDataAcqApp> m_app;
    std::unique_ptr<CDocumentFactory> m_documents;
};

using CommandFn = int (*)(const Args& args, Context& context);

struct CommandInfo {
    std::string name;
    std::string usage;              // the arguments as `help` lists them, after the name
    std::set<std::string> flags;    // options without a value
    std::set<std::string> options;  // options taking the next word
    CommandFn run = nullptr;
};

// Every command in the order `help` lists them.
const std::vector<CommandInfo>& Commands();

// Runs "orvex-cli WORDS..." (the words after the program name) and returns the exit status.
// Usage errors are reported on the error stream with the command's usage line.
int RunCli(const std::vector<std::string>& words, Context& context);

// The command files' tables.
void AddFileCommands(std::vector<CommandInfo>& table);
void AddDocumentCommands(std::vector<CommandInfo>& table);
void AddAnalysisCommands(std::vector<CommandInfo>& table);
void AddColourCommands(std::vector<CommandInfo>& table);
void AddSettingsCommands(std::vector<CommandInfo>& table);
void AddLoggerCommands(std::vector<CommandInfo>& table);
void AddUploadCommands(std::vector<CommandInfo>& table);
void AddTrackMapCommands(std::vector<CommandInfo>& table);
void AddViewCommands(std::vector<CommandInfo>& table);

}  // namespace orvex::cli
