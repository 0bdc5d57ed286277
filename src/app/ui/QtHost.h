// Host services of the desktop program: message boxes, questions and the link window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "host/HostServices.h"

namespace orvex {

class CQtHost : public IHostServices {
  public:
    explicit CQtHost(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

    void Message(const std::string& text, Icon icon) override;
    Answer Ask(const std::string& text, Buttons buttons, Answer defaultAnswer) override;
    std::unique_ptr<IProgress> OpenProgress(const std::string& title) override;
    bool Pump() override;

  private:
    QPointer<QWidget> m_parent;
};

}  // namespace orvex
