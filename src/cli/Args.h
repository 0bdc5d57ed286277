// Small argument reader for orvex-cli: positional words and "--name value" / "--flag" options,
// each option declared by its command (any other "--word" is a usage error).
#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvex::cli {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Args {
  public:
    // `flags` are options without a value, `options` take the next word.
    Args(const std::vector<std::string>& words, const std::set<std::string>& flags,
         const std::set<std::string>& options);

    const std::vector<std::string>& Positional() const { return m_positional; }
    std::string Positional(std::size_t i, const char* what) const;
    bool Has(const std::string& name) const { return m_options.count(name) > 0; }
    std::optional<std::string> Get(const std::string& name) const;
    std::string Get(const std::string& name, const std::string& fallback) const;
    // Every value of an option given more than once, in command-line order.
    std::vector<std::string> GetAll(const std::string& name) const;
    long GetInt(const std::string& name, long fallback, long lo, long hi) const;
    double GetDouble(const std::string& name, double fallback, double lo, double hi) const;

  private:
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_options;
    std::map<std::string, std::vector<std::string>> m_repeated;
};

}  // namespace orvex::cli
