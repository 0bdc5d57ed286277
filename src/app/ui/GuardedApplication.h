// The program's QApplication: every user operation runs from an event, and an allocation that
// fails inside one ends that operation with the program's message instead of the program.
#pragma once

#include <QApplication>
#include <functional>

namespace orvex {

inline constexpr const char* kOutOfMemoryText =
    "Not enough memory to complete the operation.\nClose other documents or programs and try "
    "again.";

class CGuardedApplication : public QApplication {
  public:
    CGuardedApplication(int& argc, char** argv);

    // How the message is shown (a message box unless a test replaces it).
    void SetOutOfMemoryReport(std::function<void()> report) { m_report = std::move(report); }
    // Runs one operation outside the event loop (start-up) behind the same boundary; false when
    // memory ran out.
    bool RunGuarded(const std::function<bool()>& operation);

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    void ReportOutOfMemory();

    std::function<void()> m_report;
};

}  // namespace orvex
