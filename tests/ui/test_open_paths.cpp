// The same data files opened through the main window and through the command line give the
// same laps, distance and displayed values; Qt's own options beside a data file go to Qt; a
// screenshot of a file that cannot be read ends with the message on stderr instead of waiting
// on a message box.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <sstream>
#include <string>

#include "GuiPaths.h"
#include "TestPaths.h"
#include "app/DataAcqApp.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "demo/SessionGenerator.h"
#include "files/DataFile.h"
#include "graph/MarkerValues.h"
#include "graph/ui/MarkerListWidget.h"
#include "model/Document.h"
#include "processing/LapTimesReport.h"
#include "support/CliRunner.h"
#include "support/FakeHost.h"

using namespace orvex;

namespace {

// The value column of the line of sample `index` (0-based) of "dump --values display".
QString DisplayValue(const std::string& dump, int index) {
    std::istringstream lines(dump);
    std::string line;
    for (int i = 0; i <= index; ++i) std::getline(lines, line);
    return QString::fromStdString(line).section('\t', 1, 1);
}

// "Distance: 443.9 ft" and "Lap distance: 110.9 ft" as the command line prints them.
QString DistanceLines(int32_t total, int32_t lap) {
    QString text = QString::asprintf("Distance: %.1f ft\n", total / 10.0);
    text += lap >= 0 ? QString::asprintf("Lap distance: %.1f ft\n", lap / 10.0)
                     : QStringLiteral("Lap distance: not available\n");
    return text;
}

}  // namespace

class TestOpenPaths : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    std::string Path(const char* name) const { return m_dir.filePath(name).toStdString(); }
    test::CliResult Cli(const std::string& args) const {
        test::CliRunOptions options;
        options.configDir = m_dir.path().toStdString();
        return test::RunCli(args, options);
    }

  private slots:
    void initTestCase() {
        // Distance from the rear wheel, which both files have.
        std::ofstream(Path("ORVEX.INI")) << "[Settings]\nXDistMode=2\n";
        GeneratorOptions options;
        options.minutes = 1.0;
        options.rateHz = 50;
        test::FakeHost host;
        DataFileContents contents;
        contents.datasets.push_back(GenerateSession(options));
        QVERIFY(WriteDataFile(Path("demo.tbc"), contents, host, Units::Imperial));
        std::ofstream tac(Path("run.tac"));
        tac << "!Brio-Dash Data File Version 2.4\n#Sample Frequency: 100\n#Tire Circ: 80\n"
               "#Rearend Ratio: 4\nSAMPLE Tach Axle-MPH Lap\n";
        for (int i = 0; i <= 400; ++i)
            tac << i << " " << 40 + (i * 7) % 13 << " " << 7000 + 10 * (i % 40) << " "
                << (i == 100 || i == 200 || i == 300 ? 1 : 0) << "\n";
    }

    void windowAndCommandLineAgree_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("sample");
        QTest::addColumn<bool>("wholeLaps");
        QTest::newRow("binary data file") << "demo.tbc" << 733 << false;  // under a lap
        QTest::newRow("ASCII data file") << "run.tac" << 157 << true;
    }
    void windowAndCommandLineAgree() {
        QFETCH(QString, file);
        QFETCH(int, sample);
        QFETCH(bool, wholeLaps);
        const std::string path = Path(file.toUtf8().constData());
        CDataAcqApp app(Path("ORVEX.INI"));
        test::FakeHost host;
        app.LoadSettings(host);
        CMainWindow w(app, host);
        w.resize(1280, 800);
        CDocumentWindow* window = w.OpenFile(QString::fromStdString(path));
        std::string messages;
        for (const std::string& m : host.MessageTexts()) messages += m + "\n";
        QVERIFY2(window, messages.c_str());
        CBriodashDoc& doc = window->Document();
        QVERIFY(!doc.m_datasets.empty());
        CBriodashDataset& ds = *doc.m_datasets.front();

        // Laps and distance.
        std::vector<LapMark> marks;
        for (const CSample& m : ds.m_markers.m_samples) marks.push_back({m.m_lTime, m.m_lRaw});
        std::string laps;
        for (const std::string& line : LapReportLines(marks)) laps += line + "\n";
        QCOMPARE(QString::fromStdString(Cli("laps '" + path + "'").out),
                 QString::fromStdString(laps));
        QCOMPARE(ds.m_nDistanceSource, 2);
        int32_t total = 0;
        ds.ForEachChannel([&total](const CSeriesBase& s) {
            if (s.Size()) total = std::max(total, s.DistanceAt(s.Tail()));
        });
        QCOMPARE(QString::fromStdString(Cli("distance '" + path + "' --source 2").out),
                 DistanceLines(total, ds.m_lLapDistance));
        QCOMPARE(ds.m_lLapDistance > 0, wholeLaps);

        // The marker list at the green marker shows the value the command line displays.
        const CShaftList& engine = ds.m_rpm[0];
        doc.m_lGreenTime = engine.GetSampleTime(sample, true);
        doc.m_lGreenDistance = MarkerDistanceAt(ds, doc.m_lGreenTime);
        window->MarkerList()->Rebuild();
        const CFreqSetup& setup = *ds.m_carSetup.FindRpmSetup(1);
        const QString rpmRow =
            QString::fromStdString(setup.m_strDescription + RpmLabelSuffix(setup, Units::Imperial));
        const test::CliResult dump = Cli("dump '" + path + "' --channel rpm1 --values display");
        QCOMPARE(dump.status, 0);
        bool rpmSeen = false, distanceSeen = false;
        for (int row = 0; row < window->MarkerList()->model()->rowCount(); ++row) {
            const QStringList texts = window->MarkerList()->RowTexts(row);
            if (texts.value(0) == rpmRow) {
                rpmSeen = true;
                QCOMPARE(texts.value(1), DisplayValue(dump.out, sample));
            }
            if (texts.value(0) == QStringLiteral("Distance (Ft)")) {
                distanceSeen = true;
                QCOMPARE(texts.value(1), QString::fromStdString(FormatMarkerDistance(
                                             doc.m_lGreenDistance, Units::Imperial)));
            }
        }
        QVERIFY(rpmSeen);
        QVERIFY(distanceSeen);
        messages.clear();
        for (const std::string& m : host.MessageTexts()) messages += m + "\n";
        // Only the lap-length warning of a session shorter than its laps may have been shown.
        for (const std::string& m : host.MessageTexts())
            QVERIFY2(!wholeLaps && m.rfind("Could NOT normalize Lap Distances.", 0) == 0,
                     messages.c_str());

        const QString png = QStringLiteral(ORVEX_TEST_BINARY_DIR "/open-paths-%1.png")
                                .arg(QFileInfo(file).suffix());
        QVERIFY(w.RenderWindow(QSize(1280, 800)).save(png));
    }

    // Qt's own options beside a data file: "-style Fusion" and "-stylesheet=FILE" go to Qt
    // (the status bar takes the sheet's colour) and the file is opened.
    void qtOptionsGoToQtBesideTheDataFile() {
        const QString png = m_dir.filePath("styled.png");
        const QString sheet = m_dir.filePath("style.qss");
        { std::ofstream(sheet.toStdString()) << "QStatusBar { background: #ffe0a0; }\n"; }
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ORVEX_CONFIG_DIR", m_dir.path());
        p.setProcessEnvironment(env);
        p.start(ORVEX_GUI_PATH, {QString::fromStdString(Path("demo.tbc")), "-style", "Fusion",
                                 "-stylesheet=" + sheet, "--screenshot", png});
        QVERIFY(p.waitForStarted());
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QImage shot(png);
        QVERIFY(!shot.isNull());
        QCOMPARE(shot.pixel(shot.width() / 2, shot.height() - 4), qRgb(0xff, 0xe0, 0xa0));
    }

    void screenshotOfAnUnreadableFileEndsWithTheMessage() {
        const QString png = m_dir.filePath("never.png");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ORVEX_CONFIG_DIR", m_dir.path());
        p.setProcessEnvironment(env);
        p.start(ORVEX_GUI_PATH, {"--screenshot", png, m_dir.filePath("missing.tac")});
        QVERIFY(p.waitForStarted());
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            QFAIL("the program waited instead of ending");
        }
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(err.contains("Could NOT open file"), qPrintable(err));
        QVERIFY(!QFileInfo::exists(png));
    }
};

QTEST_MAIN(TestOpenPaths)
#include "test_open_paths.moc"
