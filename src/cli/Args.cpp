#include "cli/Args.h"

#include <cerrno>
#include <cstdlib>

namespace orvex::cli {

Args::Args(const std::vector<std::string>& words, const std::set<std::string>& flags,
           const std::set<std::string>& options) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& a = words[i];
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            std::string name = a.substr(2);
            if (flags.count(name)) {
                m_options[name] = "1";
            } else if (options.count(name)) {
                if (i + 1 >= words.size()) throw UsageError("option --" + name + " needs a value");
                m_options[name] = words[++i];
                m_repeated[name].push_back(words[i]);
            } else {
                throw UsageError("unknown option --" + name);
            }
        } else {
            m_positional.push_back(a);
        }
    }
}

std::string Args::Positional(std::size_t i, const char* what) const {
    if (i >= m_positional.size()) throw UsageError(std::string("missing ") + what);
    return m_positional[i];
}

std::optional<std::string> Args::Get(const std::string& name) const {
    auto it = m_options.find(name);
    if (it == m_options.end()) return std::nullopt;
    return it->second;
}

std::string Args::Get(const std::string& name, const std::string& fallback) const {
    auto v = Get(name);
    return v ? *v : fallback;
}

std::vector<std::string> Args::GetAll(const std::string& name) const {
    auto it = m_repeated.find(name);
    return it == m_repeated.end() ? std::vector<std::string>{} : it->second;
}

long Args::GetInt(const std::string& name, long fallback, long lo, long hi) const {
    auto v = Get(name);
    if (!v) return fallback;
    errno = 0;
    char* end = nullptr;
    long n = std::strtol(v->c_str(), &end, 10);
    if (errno || end == v->c_str() || *end || n < lo || n > hi)
        throw UsageError("--" + name + " must be a whole number from " + std::to_string(lo) +
                         " to " + std::to_string(hi));
    return n;
}

double Args::GetDouble(const std::string& name, double fallback, double lo, double hi) const {
    auto v = Get(name);
    if (!v) return fallback;
    errno = 0;
    char* end = nullptr;
    double d = std::strtod(v->c_str(), &end);
    if (errno || end == v->c_str() || *end || !(d >= lo && d <= hi))
        throw UsageError("--" + name + " must be a number from " + std::to_string(lo) + " to " +
                         std::to_string(hi));
    return d;
}

}  // namespace orvex::cli
