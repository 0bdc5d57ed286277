// The help window (topic index, word search, the guide's page) and the help commands: the
// topic of the active window, and the click-to-ask context help of Shift+F1 and the "?" button.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace orvex {

class CHelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // Shows a topic of the guide ("index", "chart" ...).
    void ShowTopic(const QString& id);
    QString CurrentTopic() const { return m_topic; }
    // Lists the topics holding every word of the text (an empty text lists all topics).
    void Search(const QString& words);

    QLineEdit* SearchBox() const { return m_search; }
    QListWidget* TopicList() const { return m_list; }
    QTextBrowser* Page() const { return m_page; }

  private:
    void FillList(const QStringList& ids);

    QLineEdit* m_search = nullptr;
    QListWidget* m_list = nullptr;
    QTextBrowser* m_page = nullptr;
    QString m_topic;
};

// Opens the help window on request, on top of whatever modal dialog is running.
class CHelpController : public QObject {
    Q_OBJECT
  public:
    explicit CHelpController(QObject* parent = nullptr);
    ~CHelpController() override;

    // The help window on a topic; made if needed.
    CHelpWindow* ShowTopic(const QString& id);
    // The topic of the widget and its parents (object names and window titles).
    static QString TopicOf(const QWidget* widget);
    // The topic of the widget: F1.
    CHelpWindow* ShowTopicOf(const QWidget* widget);
    // The next click opens the topic of the widget clicked; Escape cancels: Shift+F1, "?".
    void EnterContextMode();
    bool InContextMode() const { return m_contextMode; }
    CHelpWindow* Window() const { return m_window; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LeaveContextMode();

    QPointer<CHelpWindow> m_window;
    bool m_contextMode = false;
};

}  // namespace orvex
