// Scripted host for tests: records every message, question and status line, answers
// questions from a programmed queue and requests an abort after a chosen number of pumps.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "host/HostServices.h"

namespace orvex::test {

struct RecordedMessage {
    std::string text;
    Icon icon;
};

class FakeHost : public IHostServices {
  public:
    std::vector<RecordedMessage> messages;
    std::vector<std::string> questions;
    std::vector<std::string> titles;
    std::vector<std::pair<int, std::string>> statuses;
    std::deque<Answer> answers;  // answers in order; empty means the default answer
    long abortAfterPumps = -1;   // -1: never abort
    long pumps = 0;

    void Message(const std::string& text, Icon icon) override { messages.push_back({text, icon}); }
    Answer Ask(const std::string& text, Buttons, Answer defaultAnswer) override {
        questions.push_back(text);
        if (answers.empty()) return defaultAnswer;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::unique_ptr<IProgress> OpenProgress(const std::string& title) override {
        titles.push_back(title);
        return std::make_unique<Progress>(*this);
    }
    bool Pump() override { return CountPump(); }

    bool CountPump() {
        ++pumps;
        return abortAfterPumps >= 0 && pumps > abortAfterPumps;
    }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> out;
        for (auto& m : messages) out.push_back(m.text);
        return out;
    }

  private:
    class Progress : public IProgress {
      public:
        explicit Progress(FakeHost& host) : m_host(host) {}
        void SetTitle(const std::string& title) override { m_host.titles.push_back(title); }
        void SetStatus(int line, const std::string& text) override {
            m_host.statuses.emplace_back(line, text);
        }
        bool Pump() override { return m_host.CountPump(); }

      private:
        FakeHost& m_host;
    };
};

}  // namespace orvex::test
