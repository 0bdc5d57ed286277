#include "app/ui/GuardedApplication.h"

#include <QMessageBox>
#include <new>

namespace orvex {

CGuardedApplication::CGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void CGuardedApplication::ReportOutOfMemory() {
    if (m_report) {
        m_report();
        return;
    }
    QMessageBox::critical(activeWindow(), applicationDisplayName(),
                          QString::fromUtf8(kOutOfMemoryText));
}

bool CGuardedApplication::RunGuarded(const std::function<bool()>& operation) {
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
        return false;
    }
}

bool CGuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        // What the operation built so far has been released on the way out.
        ReportOutOfMemory();
        return false;
    }
}

}  // namespace orvex
