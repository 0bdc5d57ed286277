#include "host/StderrHost.h"

#include <cstdio>

namespace orvex {

namespace {

const char* IconName(Icon icon) {
    switch (icon) {
        case Icon::Error:
            return "error";
        case Icon::Warning:
            return "warning";
        case Icon::Information:
            return "info";
        case Icon::Stop:
            return "stop";
        case Icon::Question:
            return "question";
    }
    return "";
}

class CStderrProgress : public IProgress {
  public:
    explicit CStderrProgress(bool show) : m_bShow(show) {}
    void SetTitle(const std::string& title) override {
        if (m_bShow) std::fprintf(stderr, "%s\n", title.c_str());
    }
    void SetStatus(int line, const std::string& text) override {
        if (m_bShow) std::fprintf(stderr, "[%d] %s\n", line, text.c_str());
    }
    bool Pump() override { return false; }

  private:
    bool m_bShow;
};

}  // namespace

void CStderrHost::Message(const std::string& text, Icon icon) {
    ++m_nMessages;
    std::fprintf(stderr, "%s: %s\n", IconName(icon), text.c_str());
}

Answer CStderrHost::Ask(const std::string& text, Buttons, Answer defaultAnswer) {
    Answer a = defaultAnswer;
    if (!m_answers.empty()) {
        a = m_answers.front();
        m_answers.pop_front();
    }
    const char* name = a == Answer::Yes  ? "Yes"
                       : a == Answer::No ? "No"
                       : a == Answer::Ok ? "OK"
                                         : "Cancel";
    std::fprintf(stderr, "question: %s -> %s\n", text.c_str(), name);
    return a;
}

std::unique_ptr<IProgress> CStderrHost::OpenProgress(const std::string& title) {
    auto p = std::make_unique<CStderrProgress>(m_bShowProgress);
    p->SetTitle(title);
    return p;
}

}  // namespace orvex
