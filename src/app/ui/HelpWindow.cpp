// The help window and the help commands.
#include "app/ui/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "app/HelpTopics.h"
#include "app/ProgramData.h"

namespace orvex {
namespace {

QString HelpDir() {
    return QString::fromStdString(ProgramDataDir()) + QStringLiteral("/help");
}

QString TitleOf(const QString& id) {
    for (const HelpTopic& t : HelpTopics())
        if (id == QLatin1String(t.id)) return QString::fromUtf8(t.title);
    return id;
}

}  // namespace

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("ORVEX Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("HelpSearch"));
    m_search->setPlaceholderText(QStringLiteral("Search the guide"));
    m_search->setClearButtonEnabled(true);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("HelpTopics"));
    m_page = new QTextBrowser(this);
    m_page->setObjectName(QStringLiteral("HelpPage"));
    m_page->setSearchPaths({HelpDir()});
    m_page->setOpenExternalLinks(false);

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(new QLabel(QStringLiteral("Topics"), left));
    leftLayout->addWidget(m_search);
    leftLayout->addWidget(m_list);
    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(m_page);
    split->setStretchFactor(1, 1);
    split->setSizes({300, 560});
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(split);
    resize(920, 600);

    connect(m_search, &QLineEdit::textChanged, this, &CHelpWindow::Search);
    connect(m_list, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowTopic(item->data(Qt::UserRole).toString()); });
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowTopic(item->data(Qt::UserRole).toString()); });
    connect(m_page, &QTextBrowser::sourceChanged, this,
            [this](const QUrl& url) { m_topic = QFileInfo(url.path()).completeBaseName(); });
    Search(QString());
}

void CHelpWindow::FillList(const QStringList& ids) {
    m_list->clear();
    for (const QString& id : ids) {
        auto* item = new QListWidgetItem(TitleOf(id), m_list);
        item->setData(Qt::UserRole, id);
    }
}

void CHelpWindow::Search(const QString& words) {
    QStringList ids;
    if (words.trimmed().isEmpty()) {
        for (const HelpTopic& t : HelpTopics()) ids << QString::fromUtf8(t.id);
    } else {
        for (const std::string& id : SearchHelp(HelpDir().toStdString(), words.toStdString()))
            ids << QString::fromStdString(id);
    }
    FillList(ids);
    if (words.trimmed().isEmpty()) return;
    if (ids.isEmpty()) {
        m_list->addItem(QStringLiteral("(no topic holds these words)"));
        m_list->item(0)->setFlags(Qt::NoItemFlags);
        return;
    }
    if (!ids.contains(m_topic)) ShowTopic(ids.front());
    // Mark the first place of the first word on the page.
    m_page->moveCursor(QTextCursor::Start);
    m_page->find(words.simplified().section(QLatin1Char(' '), 0, 0));
}

void CHelpWindow::ShowTopic(const QString& id) {
    const QString file = HelpDir() + QLatin1Char('/') + id + QStringLiteral(".html");
    m_topic = id;
    if (!QFileInfo::exists(file)) {
        m_page->setHtml(QStringLiteral("<h1>Help is not installed</h1><p>The guide was not found "
                                       "in %1.</p>")
                            .arg(HelpDir().toHtmlEscaped()));
        return;
    }
    m_page->setSource(QUrl::fromLocalFile(file));
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->data(Qt::UserRole).toString() == id) m_list->setCurrentRow(i);
}

CHelpController::CHelpController(QObject* parent) : QObject(parent) {
    // F1 and Shift+F1 reach the main window's commands only while it is active; in a dialog
    // they arrive here as keys.
    qApp->installEventFilter(this);
}

CHelpController::~CHelpController() {
    if (m_contextMode) QApplication::restoreOverrideCursor();
}

CHelpWindow* CHelpController::ShowTopic(const QString& id) {
    // A running modal dialog blocks every other window but its own children.
    QWidget* modal = QApplication::activeModalWidget();
    if (m_window && modal && m_window->parentWidget() != modal) delete m_window.data();
    if (!m_window) m_window = new CHelpWindow(modal);
    m_window->ShowTopic(id);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return m_window;
}

QString CHelpController::TopicOf(const QWidget* widget) {
    std::vector<std::string> chain;
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        chain.push_back(w->objectName().toStdString());
        QString title = w->windowTitle();
        title.remove(QStringLiteral("[*]"));  // the modified-document placeholder
        chain.push_back(title.toStdString());
    }
    return QString::fromStdString(HelpTopicFor(chain));
}

CHelpWindow* CHelpController::ShowTopicOf(const QWidget* widget) {
    return ShowTopic(TopicOf(widget));
}

void CHelpController::EnterContextMode() {
    if (m_contextMode) return;
    m_contextMode = true;
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
}

void CHelpController::LeaveContextMode() {
    if (!m_contextMode) return;
    m_contextMode = false;
    QApplication::restoreOverrideCursor();
}

bool CHelpController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && !m_contextMode) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* w = qobject_cast<QWidget*>(watched);
        if (key->key() != Qt::Key_F1 || !w) return false;
        if (key->modifiers() & Qt::ShiftModifier)
            EnterContextMode();
        else
            ShowTopicOf(w);
        return true;
    }
    if (!m_contextMode) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* w = qobject_cast<QWidget*>(watched);
            if (!w) return false;
            LeaveContextMode();
            ShowTopicOf(w);
            return true;
        }
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                LeaveContextMode();
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace orvex
