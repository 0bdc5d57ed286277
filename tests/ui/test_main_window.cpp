// Main window: menus and keys, enabling, pickers, open/save/recent files, closing with the save
// question, the rendered window, export, the link and progress windows, Exit, printing,
// the Change Graph checks, the distance source, the theme, the status bar and the "COM Port"
// dialog.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/QtHost.h"
#include "files/ExportFile.h"
#include "graph/MarkerValues.h"
#include "graph/ui/ChartWidget.h"
#include "graph/ui/MarkerListWidget.h"
#include "logger/ui/ComPortDialog.h"
#include "logger/ui/LinkWindow.h"
#include "model/Document.h"
#include "processing/SpeedDistance.h"
#include "support/FakeHost.h"

using namespace orvex;

namespace {
// Records the texts of the push buttons that are shown while it lives: when they are shown
// and, as long as they stay on screen, whenever events are processed.
class ShownButtons : public QObject {
  public:
    ShownButtons() {
        qApp->installEventFilter(this);
        connect(&m_poll, &QTimer::timeout, this, [this] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->isVisible())
                    for (QPushButton* b : top->findChildren<QPushButton*>())
                        if (b->isVisible()) Note(b->text());
        });
        m_poll.start(0);
    }
    ~ShownButtons() override { qApp->removeEventFilter(this); }
    QStringList texts;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show)
            if (auto* b = qobject_cast<QPushButton*>(o)) Note(b->text());
        return false;
    }

  private:
    void Note(const QString& text) {
        if (!texts.contains(text)) texts << text;
    }
    QTimer m_poll;
};
// The marker list's green-marker text in the row named `row`.
QString GreenCell(CDocumentWindow& window, const QString& row) {
    CMarkerListWidget& list = *window.MarkerList();
    for (int r = 0; r < list.model()->rowCount(); ++r)
        if (list.RowTexts(r).value(0) == row) return list.RowTexts(r).value(1);
    return QStringLiteral("no row ") + row;
}
}  // namespace

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
            QVERIFY(m_app->SaveSettings(m_host));
        }
        // The application object keeps and writes the list; a new start reads it back.
        m_app = std::make_unique<CDataAcqApp>(Path("ORVEX.INI").toStdString());
        m_app->LoadSettings(m_host);
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
        CAbortRequest abort;
        CLinkWindow link(nullptr, "Retrieving Data From ORVEX", abort);
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
        QVERIFY(abort.IsRequested());
    }

    // Each long operation shows its own window: a logger conversation the link window with
    // "Abort Transmission", loading a file a progress window without it, the export "Abort
    // Save". The button sets the one abort request, which the next long operation clears.
    void eachLongOperationShowsItsOwnWindow() {
        const QString file = Path("load.tbc");
        {
            CMainWindow w(*m_app, m_host);
            QVERIFY(w.SaveDocument(w.OpenDemo(5.0), file));
        }
        CQtHost host(m_app->AbortRequest());
        ShownButtons shown;
        {
            CMainWindow w(*m_app, host);
            host.SetParent(&w);
            QVERIFY(w.OpenFile(file));
            QVERIFY(!shown.texts.isEmpty());
            QVERIFY2(!shown.texts.contains("Abort Transmission"),
                     qPrintable(shown.texts.join('|')));
            QVERIFY(shown.texts.contains("Abort"));

            shown.texts.clear();
            CBriodashDataset& ds = *w.ActiveDocument()->Document().m_datasets.at(0);
            QVERIFY(ExportAscii(Path("run.asc").toStdString(), ds, ExportEverything(ds), 10.0,
                                ExportOptions{}, host));
            QVERIFY2(shown.texts.contains("Abort Save"), qPrintable(shown.texts.join('|')));
            QVERIFY(!shown.texts.contains("Abort Transmission"));
        }

        auto link = host.OpenLinkWindow("Retrieving Data from Unknown System");
        auto* window = dynamic_cast<CLinkWindow*>(link.get());
        QVERIFY(window);
        QCOMPARE(window->AbortButton()->text(), QString("Abort Transmission"));
        QVERIFY(!host.Pump());
        window->AbortButton()->click();
        QVERIFY(host.Pump());
        QVERIFY(m_app->IsAborted());
        link.reset();
        auto next = host.OpenProgress("Loading Data-Set x.tbc");
        QVERIFY(!next->Pump());
        QVERIFY(!host.Pump());
        auto* progress = dynamic_cast<CLinkWindow*>(next.get());
        QVERIFY(progress);
        QCOMPARE(progress->AbortButton()->text(), QString("Abort"));
        QVERIFY(!progress->findChildren<QLabel*>().isEmpty());
        for (QLabel* l : progress->findChildren<QLabel*>()) QVERIFY(l->text() != "Status ");
    }

    // Exit asks about every modified document before closing any; a Cancel closes nothing.
    void exitAsksFirstForEveryModifiedDocument_data() {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("left");
        QTest::newRow("cancel the first") << QList<int>{int(Answer::Cancel)} << 1 << 3;
        QTest::newRow("no, then cancel")
            << QList<int>{int(Answer::No), int(Answer::Cancel)} << 2 << 3;
        QTest::newRow("no to both") << QList<int>{int(Answer::No), int(Answer::No)} << 2 << 0;
    }
    void exitAsksFirstForEveryModifiedDocument() {
        QFETCH(QList<int>, answers);
        QFETCH(int, questions);
        QFETCH(int, left);
        CMainWindow w(*m_app, m_host);
        w.resize(900, 600);
        w.show();
        for (int i = 0; i < 3; ++i) QVERIFY(w.OpenDemo(0.1));
        w.Documents().at(0)->Document().m_bModified = true;
        w.Documents().at(2)->Document().m_bModified = true;
        for (int a : answers) m_host.answers.push_back(static_cast<Answer>(a));
        w.Action(MainCommand::Exit)->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(int(m_host.questions.size()), questions);
        QTRY_COMPARE(int(w.Documents().size()), left);
        QCOMPARE(w.isVisible(), left > 0);
    }

    // "Print Setup..." opens the printer set-up and prints nothing; "Print..." prints.
    void printSetupOnlySetsUpThePrinter() {
        CMainWindow w(*m_app, m_host);
        w.show();
        QVERIFY(w.OpenDemo(0.2));
        const QString out = Path("printed.pdf");
        w.Printer().setOutputFormat(QPrinter::PdfFormat);
        w.Printer().setOutputFileName(out);
        QStringList titles;
        QTimer accept;
        accept.setInterval(20);
        connect(&accept, &QTimer::timeout, [&] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                titles << d->windowTitle();
                d->done(QDialog::Accepted);
            }
        });
        accept.start();
        w.Action(MainCommand::PrintSetup)->trigger();
        QCOMPARE(titles, QStringList{"Print Setup"});
        QVERIFY(!QFileInfo::exists(out));
        w.Printer().setOutputFileName(out);
        w.Action(MainCommand::Print)->trigger();
        QCOMPARE(titles.size(), 2);
        QVERIFY(QFileInfo(out).size() > 1000);
    }

    // The Change Graph choices and toggles carry their check box from the start.
    void changeGraphTogglesShowTheirStateFromTheStart_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("checked");
        QTest::newRow("time axis") << int(GraphCommand::DisplayAsTime) << true;
        QTest::newRow("distance axis") << int(GraphCommand::DisplayAsDistance) << false;
        QTest::newRow("engine distance") << int(GraphCommand::DistanceEngine) << false;
        QTest::newRow("mph lower half") << int(GraphCommand::MphLowerHalf) << false;
        QTest::newRow("combine analogs") << int(GraphCommand::CombineAnalogs) << true;
    }
    void changeGraphTogglesShowTheirStateFromTheStart() {
        QFETCH(int, command);
        QFETCH(bool, checked);
        CMainWindow w(*m_app, m_host);
        QVERIFY(w.OpenDemo(0.2));
        QAction* a = w.GraphAction(static_cast<GraphCommand>(command));
        emit w.GraphMenu()->aboutToShow();
        QVERIFY(a->isCheckable());
        QCOMPARE(a->isChecked(), checked);
        QVERIFY(!w.GraphAction(GraphCommand::ZoomInX)->isCheckable());
        int sources = 0;
        for (GraphCommand id :
             {GraphCommand::DistanceFrontWheel, GraphCommand::DistanceRearWheel,
              GraphCommand::DistanceAccelerometer, GraphCommand::DistanceEngine}) {
            QVERIFY(w.GraphAction(id)->isCheckable());
            sources += w.GraphAction(id)->isChecked() ? 1 : 0;
        }
        QCOMPARE(sources, 1);
    }

    // Green at 0:19.980 on the rear wheel's distance, then Change Graph > Accelerometer and
    // Display as Distance: the list shows the accelerometer's distance at the marker's time
    // and the Left key moves the marker one sample back.
    void markerDistancesFollowTheDistanceSource() {
        m_app->SetXDistMode(kDistanceRearWheel);
        CMainWindow w(*m_app, m_host);
        w.resize(1000, 700);
        w.show();
        CDocumentWindow* window = w.OpenDemo(1.0);
        QVERIFY(window);
        CBriodashDoc& doc = window->Document();
        const CBriodashDataset& ds = *doc.m_datasets.at(0);
        QCOMPARE(ds.m_nDistanceSource, kDistanceRearWheel);
        const int32_t green = 199800;
        doc.m_lGreenTime = green;
        doc.m_lGreenDistance = MarkerDistanceAt(ds, green);
        doc.UpdateAllViews(kHintGreenMoved);
        const QString rearWheel = GreenCell(*window, "Distance (Ft)");
        QCOMPARE(rearWheel, QString::fromStdString(
                                FormatMarkerDistance(doc.m_lGreenDistance, Units::Imperial)));

        w.GraphAction(GraphCommand::DistanceAccelerometer)->trigger();
        w.GraphAction(GraphCommand::DisplayAsDistance)->trigger();
        QVERIFY(!window->Chart()->State().IsTimeAxis());
        QCOMPARE(ds.m_nDistanceSource, 3);
        QCOMPARE(doc.m_lGreenTime, green);
        const int32_t accelerometer = MarkerDistanceAt(ds, green);
        QCOMPARE(doc.m_lGreenDistance, accelerometer);
        const QString shown = GreenCell(*window, "Distance (Ft)");
        QCOMPARE(shown,
                 QString::fromStdString(FormatMarkerDistance(accelerometer, Units::Imperial)));
        QVERIFY(shown != rearWheel);

        window->Chart()->setFocus();
        QTest::keyClick(window->Chart(), Qt::Key_Left);
        QVERIFY(doc.m_lGreenTime < green);
        QVERIFY2(doc.m_lGreenTime >= green - 200, qPrintable(QString::number(doc.m_lGreenTime)));
    }

    // Defaults > Graph > Distance Traveled From: documents opened afterwards take the source.
    void distanceSourceDefaultReachesNewDocuments() {
        CMainWindow w(*m_app, m_host);
        w.Action(MainCommand::DistAccelerometer)->trigger();
        QVERIFY(w.Action(MainCommand::DistAccelerometer)->isChecked());
        QCOMPARE(m_app->GetXDistMode(), 3);
        CDocumentWindow* window = w.OpenDemo(0.2);
        QVERIFY(window);
        QCOMPARE(window->Document().m_options.distanceMode, 3);
        w.Action(MainCommand::DistFrontWheel)->trigger();
        QVERIFY(!w.Action(MainCommand::DistAccelerometer)->isChecked());
        QCOMPARE(w.OpenDemo(0.2)->Document().m_options.distanceMode, 1);
    }

    // View > Theme: the palette changes at once and the choice is kept in the settings file.
    void themeIsAppliedAndStored() {
        const QColor startWindow = QApplication::palette().color(QPalette::Window);
        {
            CMainWindow w(*m_app, m_host);
            QVERIFY(w.Action(MainCommand::ThemeSystem)->isChecked());
            w.Action(MainCommand::ThemeDark)->trigger();
            QVERIFY(w.Action(MainCommand::ThemeDark)->isChecked());
            QVERIFY(!w.Action(MainCommand::ThemeSystem)->isChecked());
            QVERIFY(QApplication::palette().color(QPalette::Window).lightness() < 80);
            QVERIFY(QApplication::palette().color(QPalette::WindowText).lightness() > 180);
            w.Action(MainCommand::ThemeLight)->trigger();
            QVERIFY(QApplication::palette().color(QPalette::Window).lightness() > 200);
            w.Action(MainCommand::ThemeDark)->trigger();
            m_app->SaveSettings(m_host);
        }
        QFile ini(Path("ORVEX.INI"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(ini.readAll()).contains("Theme=Dark"));
        CDataAcqApp again(Path("ORVEX.INI").toStdString());
        again.LoadSettings(m_host);
        QCOMPARE(int(again.GetTheme()), int(AppTheme::Dark));
        CMainWindow w(again, m_host);
        w.Action(MainCommand::ThemeSystem)->trigger();
        QCOMPARE(QApplication::palette().color(QPalette::Window), startWindow);
    }

    // "Ready" comes back to the status bar after every menu tip; CAP, NUM and SCRL sit at its
    // right end.
    void statusBarKeepsReadyAndShowsTheLockKeys() {
        CMainWindow w(*m_app, m_host);
        w.show();
        QCOMPARE(w.statusBar()->currentMessage(), QString("Ready"));
        w.statusBar()->showMessage("Open an existing document");
        w.statusBar()->clearMessage();
        QCOMPARE(w.statusBar()->currentMessage(), QString("Ready"));
        // A menu item's tip while the pointer is on it, then the empty tip when it leaves.
        QStatusTipEvent tip(w.Action(MainCommand::Open)->statusTip());
        QCoreApplication::sendEvent(&w, &tip);
        QCOMPARE(w.statusBar()->currentMessage(), w.Action(MainCommand::Open)->statusTip());
        QVERIFY(!w.statusBar()->currentMessage().isEmpty());
        QStatusTipEvent left{QString()};
        QCoreApplication::sendEvent(&w, &left);
        QCOMPARE(w.statusBar()->currentMessage(), QString("Ready"));
        for (const char* name : {"CAP", "NUM", "SCRL"}) {
            auto* label = w.statusBar()->findChild<QLabel*>(QString("Indicator") + name);
            QVERIFY2(label, name);
            QCOMPARE(label->text(), QString(name));
            QVERIFY(label->isVisible());
        }
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
