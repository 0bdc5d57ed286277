// Host services of the desktop program.
#include "app/ui/QtHost.h"

#include <QApplication>
#include <QMessageBox>

#include "logger/ui/LinkWindow.h"

namespace orvex {
namespace {

QMessageBox::Icon BoxIcon(Icon icon) {
    switch (icon) {
        case Icon::Error:
        case Icon::Stop:
            return QMessageBox::Critical;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Information:
            return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton BoxButton(Answer a) {
    switch (a) {
        case Answer::Ok:
            return QMessageBox::Ok;
        case Answer::Yes:
            return QMessageBox::Yes;
        case Answer::No:
            return QMessageBox::No;
        case Answer::Cancel:
            return QMessageBox::Cancel;
    }
    return QMessageBox::NoButton;
}

QString Caption() {
    return QApplication::applicationDisplayName().isEmpty()
               ? QStringLiteral("ORVEX")
               : QApplication::applicationDisplayName();
}

}  // namespace

void CQtHost::Message(const std::string& text, Icon icon) {
    QMessageBox box(BoxIcon(icon), Caption(), QString::fromStdString(text), QMessageBox::Ok,
                    m_parent);
    box.exec();
}

Answer CQtHost::Ask(const std::string& text, Buttons buttons, Answer defaultAnswer) {
    QMessageBox::StandardButtons set;
    switch (buttons) {
        case Buttons::Ok:
            set = QMessageBox::Ok;
            break;
        case Buttons::YesNo:
            set = QMessageBox::Yes | QMessageBox::No;
            break;
        case Buttons::YesNoCancel:
            set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
        case Buttons::OkCancel:
            set = QMessageBox::Ok | QMessageBox::Cancel;
            break;
    }
    QMessageBox box(QMessageBox::Question, Caption(), QString::fromStdString(text), set, m_parent);
    box.setDefaultButton(BoxButton(defaultAnswer));
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            // Closed with Escape or the window's close box.
            return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

std::unique_ptr<IProgress> CQtHost::OpenProgress(const std::string& title) {
    m_abort.Clear();
    auto w = std::make_unique<CLinkWindow>(m_parent, QString::fromStdString(title), m_abort,
                                           CLinkWindow::Kind::Progress);
    w->show();
    return w;
}

std::unique_ptr<IProgress> CQtHost::OpenLinkWindow(const std::string& title) {
    m_abort.Clear();
    auto w = std::make_unique<CLinkWindow>(m_parent, QString::fromStdString(title), m_abort,
                                           CLinkWindow::Kind::Link);
    w->show();
    return w;
}

bool CQtHost::Pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return m_abort.IsRequested();
}

}  // namespace orvex
