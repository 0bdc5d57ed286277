// Main window: menus and keys, enabling, pickers, open/save/recent files, closing with the save
// question, the rendered window, export, the link window and the "COM Port" dialog.
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "logger/ui/ComPortDialog.h"
#include "logger/ui/LinkWindow.h"
#include "model/Document.h"
#include "support/FakeHost.h"

using namespace orvex;

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<CDataAcqApp> m_app;
    test::FakeHost m_host;

    QString Path(const QString& name) const { return m_dir.filePath(name); }

  private slots:
    void init() {
        m_app = std::make_unique<CDataAcqApp>(Path("ORVEX.INI").toStdString());
        m_host = test::FakeHost();
    }

    void menuBarCarriesTheTopMenus() {
        CMainWindow w(*m_app, m_host);
        QStringList titles;
        for (QAction* a : w.menuBar()->actions())
            if (a->isVisible()) titles << a->text();
        // "Change Graph" is there only while a graph window is active.
        QCOMPARE(titles.join('|'), QString("&File|&Settings|Defaults|&View|&Window|&Help"));
        QVERIFY(w.OpenDemo(0.2));
        QVERIFY(w.GraphMenu()->menuAction()->isVisible());
        QCOMPARE(w.GraphAction(GraphCommand::ZoomInX)->text(), QString("Zoom In Time (F3)"));
        QVERIFY(w.MarkerActions().at(0)->text().startsWith("&Turn On Green/Red Markers"));
        QVERIFY(!w.MarkerActions().at(1)->isEnabled());  // no green marker yet
        QVERIFY(w.Menu("Defaults/Graph Colors"));
        QCOMPARE(w.Action(MainCommand::ComPort)->text(), QString("COM &Port"));
    }

    void keyTable_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("keys");
        QTest::newRow("retrieve") << int(MainCommand::Retrieve) << "Ctrl+N";
        QTest::newRow("open") << int(MainCommand::Open) << "Ctrl+O";
        QTest::newRow("save") << int(MainCommand::Save) << "Ctrl+S";
        QTest::newRow("print") << int(MainCommand::Print) << "Ctrl+P";
    }
    void keyTable() {
        QFETCH(int, command);
        QFETCH(QString, keys);
        CMainWindow w(*m_app, m_host);
        QCOMPARE(w.Action(static_cast<MainCommand>(command))->shortcut(), QKeySequence(keys));
    }

    void documentCommandsNeedADataWindow() {
        CMainWindow w(*m_app, m_host);
        for (MainCommand id : {MainCommand::Save, MainCommand::SaveAs, MainCommand::AddOverlay,
                               MainCommand::Print, MainCommand::PrintPreview, MainCommand::Close})
            QVERIFY(!w.Action(id)->isEnabled());
        QVERIFY(w.Action(MainCommand::Retrieve)->isEnabled());
        QVERIFY(w.Action(MainCommand::Open)->isEnabled());
        QCOMPARE(w.ViewPicker()->count(), 0);

        QVERIFY(w.OpenDemo(0.2));
        QVERIFY(w.Action(MainCommand::Save)->isEnabled());
        QVERIFY(w.Action(MainCommand::Print)->isEnabled());
        QCOMPARE(w.DocumentPicker()->count(), 1);
        QCOMPARE(w.DocumentPicker()->itemText(0), QString("Demo Session"));
        QCOMPARE(w.ViewPicker()->itemText(0), QString("Graph"));
        QCOMPARE(w.ActiveDocument()->windowTitle(), QString("Demo Session - Graph[*]"));
    }

    void togglesChangeTheDefaultsAndTheirChecks() {
        CMainWindow w(*m_app, m_host);
        QAction* autoSave = w.Action(MainCommand::AutoSave);
        QVERIFY(autoSave->isChecked());
        autoSave->trigger();
        QVERIFY(!m_app->GetAutoSave());
        QVERIFY(!autoSave->isChecked());
        w.Action(MainCommand::UnitsMetric)->trigger();
        QCOMPARE(m_app->GetUnits(), Units::Metric);
        QVERIFY(!w.Action(MainCommand::UnitsImperial)->isChecked());
        w.Action(MainCommand::FcDrawCurve)->trigger();
        QCOMPARE(w.Action(MainCommand::FcDrawCurve)->text(), QString("Display Curve"));
        w.Action(MainCommand::MenuTips)->trigger();
        QVERIFY(m_app->GetShowToolTips());
        QVERIFY(w.Menu("&File")->toolTipsVisible());
    }

    void saveOpenAndRecentFiles() {
        const QString file = Path("run.tbc");
        {
            CMainWindow w(*m_app, m_host);
            CDocumentWindow* doc = w.OpenDemo(0.2);
            QVERIFY(doc);
            QVERIFY(w.SaveDocument(doc, file));
            QVERIFY(QFileInfo::exists(file));
            QCOMPARE(doc->windowTitle(), QString("run.tbc - Graph[*]"));
            QCOMPARE(w.RecentFiles(), QStringList{QFileInfo(file).absoluteFilePath()});
            // Opening the same file again brings its window forward.
            QCOMPARE(w.OpenFile(file), doc);
            QCOMPARE(w.Documents().size(), 1);
            w.SaveRecentFiles();
        }
        CMainWindow again(*m_app, m_host);
        QCOMPARE(again.RecentFiles(), QStringList{QFileInfo(file).absoluteFilePath()});
        CDocumentWindow* opened = again.OpenFile(file);
        QVERIFY(opened);
        QCOMPARE(opened->Document().ShownCount(), 1);
        QVERIFY(!again.OpenFile(Path("missing.tbc")));
        QVERIFY(!m_host.messages.empty());
    }

    void closingAModifiedDocumentAsksToSave() {
        CMainWindow w(*m_app, m_host);
        CDocumentWindow* doc = w.OpenDemo(0.2);
        doc->Document().m_bModified = true;
        m_host.answers = {Answer::Cancel};
        w.MdiArea()->activeSubWindow()->close();
        QCoreApplication::processEvents();
        QCOMPARE(w.Documents().size(), 1);
        QCOMPARE(m_host.questions.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(m_host.questions[0]),
                 QString("Save changes to Demo Session?"));
        m_host.answers = {Answer::No};
        w.MdiArea()->activeSubWindow()->close();
        QTRY_COMPARE(w.Documents().size(), 0);
        QCOMPARE(w.DocumentPicker()->count(), 0);
    }

    void rendersTheWindowAndExportsTheGraph() {
        CMainWindow w(*m_app, m_host);
        CDocumentWindow* doc = w.OpenDemo(0.5);
        QImage image = w.RenderWindow(QSize(900, 600));
        QCOMPARE(image.size() / image.devicePixelRatio(), QSize(900, 600));
        QVERIFY(w.MdiArea()->activeSubWindow()->isMaximized());
        image.save(QStringLiteral(ORVEX_TEST_BINARY_DIR "/ui-main-window.png"));
        QVERIFY(w.ExportChart(doc, Path("graph.png"), QSize(640, 400)));
        QCOMPARE(QImage(Path("graph.png")).size(), QSize(640, 400));
        QVERIFY(w.ExportChart(doc, Path("graph.pdf"), QSize(640, 400)));
        QVERIFY(QFileInfo(Path("graph.pdf")).size() > 1000);
    }

    void linkWindowShowsStatusLinesAndAborts() {
        CLinkWindow link(nullptr, "Retrieving Data From ORVEX");
        link.SetStatus(1, "Opening...");
        link.SetStatus(1020, "Com Port Open");
        link.SetStatus(4, "User Aborted Upload...");
        QCOMPARE(link.StatusText(1), QString("Opening..."));
        QCOMPARE(link.StatusText(2), QString("Com Port Open"));
        QCOMPARE(link.StatusText(1021), QString("User Aborted Upload..."));
        QCOMPARE(link.AbortButton()->text(), QString("Abort Transmission"));
        QVERIFY(!link.Pump());
        link.AbortButton()->click();
        QVERIFY(link.Pump());
    }

    void comPortDialogSelectsThePort() {
        CComPortChoice choice(3, "", {}, m_host);
        CComPortDialog dlg(nullptr, choice);
        QCOMPARE(dlg.windowTitle(), QString("COM Port"));
        QVERIFY(dlg.Button(3)->isChecked());
        QCOMPARE(dlg.Button(8)->text(), QString("COM 8"));
        dlg.Button(5)->click();
        QCOMPARE(dlg.Port(), 5);
        QVERIFY(!dlg.Button(3)->isChecked());
        CComPortChoice noPort(9, "", {}, m_host);
        CComPortDialog none(nullptr, noPort);
        for (int i = 1; i <= 8; ++i) QVERIFY(!none.Button(i)->isChecked());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
