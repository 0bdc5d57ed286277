// Host services of the desktop program: message boxes, questions, the progress and link
// windows and the abort request they share.
#pragma once

#include <QPointer>
#include <QWidget>

#include "host/HostServices.h"

namespace orvex {

class CQtHost : public IHostServices {
  public:
    // `abort` is the program's abort request: the windows' abort buttons set it, Pump reports
    // it and the start of the next long operation clears it.
    explicit CQtHost(CAbortRequest& abort, QWidget* parent = nullptr)
        : m_abort(abort), m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

    void Message(const std::string& text, Icon icon) override;
    Answer Ask(const std::string& text, Buttons buttons, Answer defaultAnswer) override;
    std::unique_ptr<IProgress> OpenProgress(const std::string& title) override;
    std::unique_ptr<IProgress> OpenLinkWindow(const std::string& title) override;
    void ClearAbort() override { m_abort.Clear(); }
    bool Pump() override;

  private:
    CAbortRequest& m_abort;
    QPointer<QWidget> m_parent;
};

}  // namespace orvex
