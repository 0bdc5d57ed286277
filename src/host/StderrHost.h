// Host services for the command-line tools: messages on stderr (or another stream), questions
// answered from preset answers (or their default), progress lines shown only when verbose.
#pragma once

#include <deque>
#include <iostream>
#include <map>
#include <string>

#include "host/HostServices.h"

namespace orvex {

class CStderrHost : public IHostServices {
  public:
    explicit CStderrHost(bool showProgress = false, std::ostream& err = std::cerr)
        : m_bShowProgress(showProgress), m_err(err) {}
    void Message(const std::string& text, Icon icon) override;
    Answer Ask(const std::string& text, Buttons buttons, Answer defaultAnswer) override;
    std::unique_ptr<IProgress> OpenProgress(const std::string& title) override;
    bool Pump() override { return false; }

    // Answers given in advance, used in order; when none is left the default answer is taken.
    void QueueAnswer(Answer a) { m_answers.push_back(a); }
    int MessageCount() const { return m_nMessages; }
    void ShowProgress(bool show) { m_bShowProgress = show; }

  private:
    bool m_bShowProgress;
    std::ostream& m_err;
    std::deque<Answer> m_answers;
    int m_nMessages = 0;
};

}  // namespace orvex
