// A host that shows nothing, answers every question with its default and never aborts: for
// fuzzers, benchmarks and quiet tools.
#pragma once

#include <memory>
#include <string>

#include "host/HostServices.h"
#include "host/Progress.h"

namespace orvex {

class CNullHost : public IHostServices {
  public:
    void Message(const std::string&, Icon) override {}
    Answer Ask(const std::string&, Buttons, Answer preselected) override { return preselected; }
    std::unique_ptr<IProgress> OpenProgress(const std::string&) override {
        return std::make_unique<CSilentProgress>();
    }
    bool Pump() override { return false; }
};

}  // namespace orvex
