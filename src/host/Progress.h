// A progress window that is always there: hosts without one (benchmarks, quiet tools) give a
// window that shows nothing and never aborts.
#pragma once

#include <memory>
#include <string>

#include "host/HostServices.h"

namespace orvex {

class CSilentProgress : public IProgress {
  public:
    void SetTitle(const std::string&) override {}
    void SetStatus(int, const std::string&) override {}
    bool Pump() override { return false; }
};

inline std::unique_ptr<IProgress> OpenProgressWindow(IHostServices& host,
                                                     const std::string& title) {
    std::unique_ptr<IProgress> p = host.OpenProgress(title);
    if (!p) p = std::make_unique<CSilentProgress>();
    return p;
}

}  // namespace orvex
