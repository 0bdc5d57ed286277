// The link status window of a logger conversation (a title, the "Status " box with four lines
// and the "Abort Transmission" button) and, without the caption and with its own button text,
// the progress window of long file and processing operations.
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
    enum class Kind { Link, Progress };
    // The abort button sets `abort`, the program's one abort request.
    CLinkWindow(QWidget* parent, const QString& title, CAbortRequest& abort,
                Kind kind = Kind::Link);

    void SetTitle(const std::string& title) override;
    // Lines 1 to 4 top to bottom; the dialog's control ids 1018, 1020, 1023, 1021 work too.
    void SetStatus(int line, const std::string& text) override;
    // Processes pending events; true while the abort request is set.
    bool Pump() override;
    void SetAbortText(const std::string& text) override;

    QString StatusText(int line) const;
    QPushButton* AbortButton() const { return m_abort; }
    bool AbortRequested() const { return m_request.IsRequested(); }
    // Line index 0..3 of a line number or control id, -1 when unknown.
    static int LineIndex(int line);

  private:
    std::array<QLabel*, 4> m_lines{};
    QPushButton* m_abort = nullptr;
    CAbortRequest& m_request;
};

}  // namespace orvex
