// The link status window: a title, four status lines and the "Abort Transmission" button, as
// every logger conversation and long file operation shows it.
#pragma once

#include <QDialog>
#include <array>

#include "host/HostServices.h"

class QLabel;
class QPushButton;

namespace orvex {

class CLinkWindow : public QDialog, public IProgress {
    Q_OBJECT
  public:
    explicit CLinkWindow(QWidget* parent, const QString& title,
                         const QString& abortText = QStringLiteral("Abort Transmission"));

    void SetTitle(const std::string& title) override;
    // Lines 1 to 4 top to bottom; the dialog's control ids 1018, 1020, 1023, 1021 work too.
    void SetStatus(int line, const std::string& text) override;
    // Processes pending events; true once "Abort Transmission" was pressed.
    bool Pump() override;

    QString StatusText(int line) const;
    QPushButton* AbortButton() const { return m_abort; }
    bool AbortRequested() const { return m_bAbort; }
    // Line index 0..3 of a line number or control id, -1 when unknown.
    static int LineIndex(int line);

  private:
    std::array<QLabel*, 4> m_lines{};
    QPushButton* m_abort = nullptr;
    bool m_bAbort = false;
};

}  // namespace orvex
