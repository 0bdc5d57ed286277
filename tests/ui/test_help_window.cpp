// The help window: opened on the right topic from the main window, from a graph window and from
// a dialog (also a modal one), the click-to-ask context help, the word search, rendered pictures.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/MainWindow.h"
#include "logger/link/ComPortChoice.h"
#include "logger/ui/ComPortDialog.h"
#include "support/FakeHost.h"

using namespace orvex;

class TestHelpWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<CDataAcqApp> m_app;
    test::FakeHost m_host;

    static void Render(QWidget* w, const QString& name) {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
        const QString path = QStringLiteral(ORVEX_TEST_BINARY_DIR "/") + name;
        QVERIFY(w->grab().toImage().save(path));
    }

  private slots:
    void init() {
        m_app = std::make_unique<CDataAcqApp>(m_dir.filePath("ORVEX.INI").toStdString());
        m_host = test::FakeHost();
    }

    void helpMenuOpensTheIndexAndTheActiveWindowsTopic() {
        CMainWindow w(*m_app, m_host);
        w.resize(1000, 700);
        w.show();
        QCOMPARE(w.Action(MainCommand::HelpTopic)->shortcut(), QKeySequence("F1"));
        QCOMPARE(w.Action(MainCommand::ContextHelp)->shortcut(), QKeySequence("Shift+F1"));
        w.Run(MainCommand::HelpIndex);
        CHelpWindow* help = w.Help()->Window();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->CurrentTopic(), QString("index"));
        QCOMPARE(help->TopicList()->count(), 12);
        QVERIFY(help->Page()->toPlainText().contains("Getting a session off the logger"));
        // No data window: the main window's own topic.
        w.Run(MainCommand::HelpTopic);
        QCOMPARE(help->CurrentTopic(), QString("index"));
        QVERIFY(w.OpenDemo(0.2));
        w.Run(MainCommand::HelpTopic);
        QCOMPARE(w.Help()->Window(), help);  // one help window
        QCOMPARE(help->CurrentTopic(), QString("chart"));
        QVERIFY(help->Page()->toPlainText().contains("Marker View"));
        Render(help, "help-window-chart.png");
    }

    void dialogKeysAndClicksOpenTheDialogsTopic() {
        CMainWindow w(*m_app, m_host);
        w.show();
        CComPortChoice choice(1, "", {}, m_host);
        CComPortDialog dlg(&w, choice);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        // F1 in the dialog.
        QTest::keyClick(dlg.Button(3), Qt::Key_F1);
        QVERIFY(w.Help()->Window());
        QCOMPARE(w.Help()->Window()->CurrentTopic(), QString("retrieve"));
        w.Help()->Window()->close();
        QTRY_VERIFY(!w.Help()->Window());
        // Shift+F1, then a click on the dialog; the click does not reach the button.
        QTest::keyClick(dlg.Button(3), Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(w.Help()->InContextMode());
        QTest::mouseClick(dlg.Button(5), Qt::LeftButton);
        QVERIFY(!w.Help()->InContextMode());
        QVERIFY(!dlg.Button(5)->isChecked());
        QCOMPARE(w.Help()->Window()->CurrentTopic(), QString("retrieve"));
        // The tool bar's "?" and Escape: nothing opens.
        w.Help()->Window()->close();
        QTRY_VERIFY(!w.Help()->Window());
        w.Run(MainCommand::ContextHelp);
        QVERIFY(w.Help()->InContextMode());
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(!w.Help()->InContextMode());
        QVERIFY(!w.Help()->Window());
        QVERIFY(dlg.isVisible());
    }

    void helpOpensAboveAModalDialog() {
        CMainWindow w(*m_app, m_host);
        w.show();
        w.Run(MainCommand::HelpIndex);  // a help window already open behind the dialog
        CComPortChoice choice(2, "", {}, m_host);
        CComPortDialog dlg(&w, choice);
        bool usable = false;
        QTimer::singleShot(0, &dlg, [&] {
            QTest::keyClick(dlg.Button(2), Qt::Key_F1);
            CHelpWindow* help = w.Help()->Window();
            usable = help && help->isVisible() && help->parentWidget() == &dlg &&
                     help->CurrentTopic() == "retrieve";
            if (help) Render(help, "help-window-over-dialog.png");
            dlg.reject();
        });
        dlg.exec();
        QVERIFY(usable);
    }

    void searchListsTheTopicsHoldingTheWords() {
        CHelpWindow help;
        help.resize(860, 600);
        help.show();
        help.ShowTopic("index");
        QTest::keyClicks(help.SearchBox(), "boot MONITOR");
        QCOMPARE(help.TopicList()->count(), 1);
        QCOMPARE(help.TopicList()->item(0)->text(), QString("Updating the firmware"));
        QCOMPARE(help.CurrentTopic(), QString("firmware"));
        QCOMPARE(help.Page()->textCursor().selectedText().toLower(), QString("boot"));
        Render(&help, "help-window-search.png");
        help.SearchBox()->setText("zebrafishquartz");
        QCOMPARE(help.TopicList()->count(), 1);
        QVERIFY(!(help.TopicList()->item(0)->flags() & Qt::ItemIsEnabled));
        help.SearchBox()->clear();
        QCOMPARE(help.TopicList()->count(), 12);
        // A topic picked from the list.
        QTest::mouseClick(help.TopicList()->viewport(), Qt::LeftButton, {},
                          help.TopicList()->visualItemRect(help.TopicList()->item(5)).center());
        QCOMPARE(help.CurrentTopic(), QString("trackmap"));
        // A link on a page.
        help.ShowTopic("index");
        help.Page()->setSource(QUrl("views.html"));
        QCOMPARE(help.CurrentTopic(), QString("views"));
    }
};

QTEST_MAIN(TestHelpWindow)
#include "test_help_window.moc"
