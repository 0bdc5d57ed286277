#include "cli/Command.h"

#include <algorithm>
#include <cstdarg>
#include <exception>
#include <new>
#include <ostream>

#include "host/FormatText.h"

namespace orvex::cli {

Context::Context(std::ostream& outStream, std::ostream& errStream)
    : out(outStream), err(errStream), host(false, errStream) {}

Context::~Context() = default;

void Context::Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    out << FormatTextV(format, args);
    va_end(args);
}

void Context::PrintError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    err << FormatTextV(format, args);
    va_end(args);
}

CDataAcqApp& Context::App() {
    if (!m_app) {
        m_app = std::make_unique<CDataAcqApp>();
        m_app->LoadSettings(host);
    }
    return *m_app;
}

CDocumentFactory& Context::Documents() {
    if (!m_documents) m_documents = std::make_unique<CDocumentFactory>(host, App());
    return *m_documents;
}

const std::vector<CommandInfo>& Commands() {
    static const std::vector<CommandInfo> table = [] {
        std::vector<CommandInfo> t;
        AddFileCommands(t);
        AddDocumentCommands(t);
        AddAnalysisCommands(t);
        AddColourCommands(t);
        AddSettingsCommands(t);
        AddLoggerCommands(t);
        AddUploadCommands(t);
        AddTrackMapCommands(t);
        AddViewCommands(t);
        std::sort(t.begin(), t.end(),
                  [](const CommandInfo& a, const CommandInfo& b) { return a.name < b.name; });
        return t;
    }();
    return table;
}

namespace {

void PrintUsage(std::ostream& to) {
    to << "usage: orvex-cli COMMAND [ARGS]\n";
    for (const CommandInfo& c : Commands()) to << "  orvex-cli " << c.usage << "\n";
}

}  // namespace

int RunCli(const std::vector<std::string>& words, Context& context) {
    if (words.empty()) {
        PrintUsage(context.err);
        return kExitUsage;
    }
    if (words[0] == "help" || words[0] == "--help") {
        PrintUsage(context.out);
        return kExitOk;
    }
    const auto& commands = Commands();
    auto it = std::find_if(commands.begin(), commands.end(),
                           [&](const CommandInfo& c) { return c.name == words[0]; });
    if (it == commands.end()) {
        context.err << "orvex-cli: unknown command '" << words[0] << "'\n";
        PrintUsage(context.err);
        return kExitUsage;
    }
    try {
        const Args args(std::vector<std::string>(words.begin() + 1, words.end()), it->flags,
                        it->options);
        const int status = it->run(args, context);
        context.out.flush();
        return status;
    } catch (const UsageError& e) {
        context.err << "orvex-cli " << it->name << ": " << e.what() << "\nusage: orvex-cli "
                    << it->usage << "\n";
        return kExitUsage;
    } catch (const std::bad_alloc&) {
        context.err << "orvex-cli " << it->name << ": not enough memory to complete the command\n";
        return kExitFailed;
    } catch (const std::exception& e) {
        context.err << "orvex-cli " << it->name << ": " << e.what() << "\n";
        return kExitFailed;
    }
}

}  // namespace orvex::cli
