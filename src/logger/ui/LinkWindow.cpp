// The link status window.
#include "logger/ui/LinkWindow.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvex {

CLinkWindow::CLinkWindow(QWidget* parent, const QString& title, CAbortRequest& abort, Kind kind)
    : QDialog(parent), m_request(abort) {
    setWindowTitle(title);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* box = new QFrame(this);
    box->setFrameShape(QFrame::StyledPanel);
    auto* boxLayout = new QVBoxLayout(box);
    if (kind == Kind::Link) boxLayout->addWidget(new QLabel(QStringLiteral("Status "), box));
    for (auto& line : m_lines) {
        line = new QLabel(box);
        line->setMinimumWidth(340);
        line->setTextFormat(Qt::PlainText);
        boxLayout->addWidget(line);
    }
    layout->addWidget(box);
    m_abort = new QPushButton(
        kind == Kind::Link ? QStringLiteral("Abort Transmission") : QStringLiteral("Abort"), this);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_abort);
    row->addStretch();
    layout->addLayout(row);
    connect(m_abort, &QPushButton::clicked, this, [this] { m_request.Request(); });
}

void CLinkWindow::SetTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
}

int CLinkWindow::LineIndex(int line) {
    switch (line) {
        case 1:
        case 1018:
            return 0;
        case 2:
        case 1020:
            return 1;
        case 3:
        case 1023:
            return 2;
        case 4:
        case 1021:
            return 3;
        default:
            return -1;
    }
}

void CLinkWindow::SetStatus(int line, const std::string& text) {
    int i = LineIndex(line);
    if (i < 0) return;
    m_lines[static_cast<std::size_t>(i)]->setText(QString::fromStdString(text));
    // The conversation blocks between writes: show the text now.
    m_lines[static_cast<std::size_t>(i)]->repaint();
}

QString CLinkWindow::StatusText(int line) const {
    int i = LineIndex(line);
    return i < 0 ? QString() : m_lines[static_cast<std::size_t>(i)]->text();
}

bool CLinkWindow::Pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return m_request.IsRequested();
}

void CLinkWindow::SetAbortText(const std::string& text) {
    m_abort->setText(QString::fromStdString(text));
}

}  // namespace orvex
