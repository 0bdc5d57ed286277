#include "host/StderrHost.h"

#include <ostream>

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
    CStderrProgress(bool show, std::ostream& err) : m_bShow(show), m_err(err) {}
    void SetTitle(const std::string& title) override {
        if (m_bShow) m_err << title << std::endl;
    }
    void SetStatus(int line, const std::string& text) override {
        if (m_bShow) m_err << '[' << line << "] " << text << std::endl;
    }
    bool Pump() override { return false; }

  private:
    bool m_bShow;
    std::ostream& m_err;
};

}  // namespace

void CStderrHost::Message(const std::string& text, Icon icon) {
    ++m_nMessages;
    m_err << IconName(icon) << ": " << text << std::endl;
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
    m_err << "question: " << text << " -> " << name << std::endl;
    return a;
}

std::unique_ptr<IProgress> CStderrHost::OpenProgress(const std::string& title) {
    auto p = std::make_unique<CStderrProgress>(m_bShowProgress, m_err);
    p->SetTitle(title);
    return p;
}

}  // namespace orvex
