// "Retrieve from Data-Logger" from the main window against the logger simulator on COM1: the
// session dialog and the AutoSave save-as answered as a user would, then the chart of the new
// document: data drawn, markers set by double click, zoom, distance axis and saving again.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <map>
#include <sstream>

#include "app/DataAcqApp.h"
#include "app/DocumentSetup.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/QtHost.h"
#include "graph/ui/ChartWidget.h"
#include "logger/ui/LinkWindow.h"
#include "logger/ui/SessionDialog.h"
#include "model/Document.h"
#include "support/FakeHost.h"
#include "support/PtyPair.h"

using namespace orvex;

namespace {

// Answers the modal dialogs as they come up: the session dialog takes session `session` by
// number, the save-as dialog `savePath`. Records which dialogs it answered and how the session
// dialog looked when it came up.
class DialogAnswerer : public QObject {
  public:
    DialogAnswerer(int session, QString savePath)
        : m_session(session), m_save(std::move(savePath)) {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this] { Answer(); });
        m_timer.start();
    }
    QStringList answered;
    QStringList sessionChoices;  // radio texts, first the checked one
    bool numberFieldEnabled = true;
    int firstSession = 0, lastSession = 0, offeredSession = 0;

  private:
    void Answer() {
        QWidget* w = QApplication::activeModalWidget();
        if (auto* sessions = qobject_cast<CSessionDialog*>(w)) {
            answered << sessions->windowTitle();
            QRadioButton* first = sessions->LastSession()->isChecked() ? sessions->LastSession()
                                                                       : sessions->ByNumber();
            sessionChoices = {first->text(), sessions->LastSession()->text(),
                              sessions->ByNumber()->text()};
            numberFieldEnabled = sessions->Number()->isEnabled();
            firstSession = sessions->Number()->minimum();
            lastSession = sessions->Number()->maximum();
            offeredSession = sessions->Number()->value();
            sessions->ByNumber()->click();
            sessions->Number()->setValue(m_session);
            sessions->accept();
        } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
            answered << files->windowTitle();
            files->selectFile(m_save);
            QMetaObject::invokeMethod(files, "accept");
        }
    }
    int m_session;
    QString m_save;
    QTimer m_timer;
};

int TracePixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = kLeftMargin + 1; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            n += c != qRgb(255, 255, 255) && c != qRgb(0, 0, 0) ? 1 : 0;
        }
    return n;
}

// During a retrieve: presses "Abort Transmission" once the memory image has been arriving for
// `afterMs`, answers every question Yes and every message OK, and notes what the link window
// showed of the transfer at the moment of the press.
class AbortThenKeep : public QObject {
  public:
    explicit AbortThenKeep(int afterMs) : m_afterMs(afterMs) {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
        m_timer.start();
    }
    QStringList questions, messages;
    long totalBytes = -1;
    long bytesLeftAtAbort = -1;

  private:
    void Tick() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
                questions << box->text();
                yes->click();
            } else {
                messages << box->text();
                box->accept();
            }
            return;
        }
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* link = qobject_cast<CLinkWindow*>(top);
            if (!link || !link->isVisible() || bytesLeftAtAbort >= 0) continue;
            const QString total = link->StatusText(3);
            if (total.startsWith("Total Bytes: ")) totalBytes = total.mid(13).toLong();
            const QString packet = link->StatusText(4);
            const qsizetype at = packet.indexOf("Bytes left:");
            if (!packet.startsWith("Packet:") || at < 0 || totalBytes < 0) continue;
            if (!m_since.isValid()) m_since.start();
            if (m_since.elapsed() < m_afterMs) continue;
            // The packet named on the line is the one on its way: all before it are in.
            bytesLeftAtAbort = packet.mid(at + 11).section(',', 0, 0).trimmed().toLong();
            link->AbortButton()->click();
        }
    }
    int m_afterMs;
    QElapsedTimer m_since;
    QTimer m_timer;
};

// The samples of the simulator's session by channel ("rpm 1", "analog 17"): time and raw value.
using ChannelSamples = std::map<std::string, std::vector<std::pair<int32_t, int32_t>>>;

ChannelSamples ExpectedSamples(const std::string& path) {
    ChannelSamples out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        int channel = 0;
        int32_t time = 0, raw = 0;
        if (!(words >> kind >> channel >> time >> raw)) continue;
        if (kind != "rpm" && kind != "analog") continue;
        out[kind + " " + std::to_string(channel)].emplace_back(time, raw);
    }
    return out;
}

ChannelSamples KeptSamples(const CBriodashDataset& ds) {
    ChannelSamples out;
    for (int i = 0; i < kRpmChannels; ++i)
        for (const CShaft& s : ds.m_rpm[static_cast<std::size_t>(i)].m_samples)
            out["rpm " + std::to_string(i + 1)].emplace_back(s.m_lTime, s.m_lRaw);
    for (int i = 0; i < kAnalogChannels; ++i)
        for (const CSample& s : ds.m_analog[static_cast<std::size_t>(i)].m_samples)
            out["analog " + std::to_string(i + 1)].emplace_back(s.m_lTime, s.m_lRaw);
    return out;
}

}  // namespace

class TestRetrieve : public QObject {
    Q_OBJECT

  private slots:
    void retrieveFromSimulatorThenWorkOnTheChart() {
        if (test::SimulatorPath().empty()) QSKIP("logger simulator not built");
        QTemporaryDir dir;
        test::SimProcess sim(
            {"--rpm", "1,2", "--analog", "1,2", "--sessions", "2", "--idle-exit", "5000"});
        QVERIFY(sim.Started());
        qputenv("ORVEX_COM1", QByteArray::fromStdString(sim.Path()));

        CDataAcqApp app(dir.filePath("ORVEX.INI").toStdString());
        app.SetComPort(1);
        app.SetAutoSave(true);
        // The car: RPM input 2 is the rear wheel, so that distance can be worked out.
        std::vector<CFreqSetup>& rpm = app.GetDefaultCarSetup().m_rpm;
        std::erase_if(rpm, [](const CFreqSetup& f) { return f.m_nChannel == 2; });
        rpm.push_back(CFreqSetup::Make(2, kRpmRearWheel, app.GetUnits()));
        std::sort(rpm.begin(), rpm.end(),
                  [](const auto& a, const auto& b) { return a.m_nChannel < b.m_nChannel; });
        app.SetXDistMode(2);  // distance from the rear wheel, which new documents take
        test::FakeHost host;
        CMainWindow w(app, host);
        w.resize(1200, 700);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        const QString saved = dir.filePath("retrieved.tbc");
        DialogAnswerer answerer(1, saved);
        QVERIFY(w.Action(MainCommand::Retrieve)->isEnabled());
        w.Action(MainCommand::Retrieve)->trigger();

        // The session dialog offered the last recorded session first, its number field off
        // until "Upload Session Number" is chosen, for sessions 1 to 2; the save-as followed
        // because AutoSave is on.
        QCOMPARE(answerer.sessionChoices,
                 QStringList({"Upload Last Recorded Session", "Upload Last Recorded Session",
                              "Upload Session Number"}));
        QVERIFY(!answerer.numberFieldEnabled);
        QCOMPARE(answerer.firstSession, 1);
        QCOMPARE(answerer.lastSession, 2);
        QVERIFY(answerer.offeredSession >= 1 && answerer.offeredSession <= 2);
        QCOMPARE(answerer.answered, QStringList({"Select Session to Upload", "Save As"}));
        for (const auto& m : host.messages)
            QVERIFY2(m.icon != Icon::Error && m.icon != Icon::Warning, m.text.c_str());
        QCOMPARE(w.Documents().size(), 1);
        CDocumentWindow* window = w.ActiveDocument();
        QVERIFY(window);
        CBriodashDoc& doc = window->Document();
        QCOMPARE(QString::fromStdString(doc.m_strPathName), saved);
        QVERIFY(!doc.m_bModified);
        QVERIFY(QFileInfo(saved).size() > 0);
        QVERIFY(HasAnythingToDraw(doc));

        // The chart shows traces.
        CChartWidget& chart = *window->Chart();
        QTest::qWait(50);
        QImage img(chart.viewport()->size(), QImage::Format_RGB32);
        {
            QPainter p(&img);
            chart.PaintTo(p, img.size(), false);
        }
        QVERIFY(TracePixels(img) > 200);

        // Markers by double click: green with the left button, red with the right.
        QWidget* vp = chart.viewport();
        const int y = vp->height() / 2;
        QTest::mouseDClick(vp, Qt::LeftButton, {}, QPoint(vp->width() / 3, y));
        QTest::mouseDClick(vp, Qt::RightButton, {}, QPoint(vp->width() * 2 / 3, y));
        QVERIFY(chart.Markers().IsSet(Marker::Green));
        QVERIFY(chart.Markers().IsSet(Marker::Red));
        QVERIFY(chart.Markers().AxisValue(Marker::Green, true) <
                chart.Markers().AxisValue(Marker::Red, true));

        // Zoom in on the time axis with F3.
        const int32_t span = chart.State().m_lXSpan;
        QTest::keyClick(vp, Qt::Key_F3);
        QVERIFY(chart.State().m_lXSpan < span);

        // Distance axis.
        const bool toDistance = chart.Execute(GraphCommand::DisplayAsDistance);
        QVERIFY2(toDistance, host.messages.empty() ? "" : host.messages.front().text.c_str());
        QVERIFY(!chart.State().IsTimeAxis());
        {
            QPainter p(&img);
            chart.PaintTo(p, img.size(), false);
        }
        QVERIFY(TracePixels(img) > 200);

        // Save under the same name and read the file back.
        doc.m_bModified = true;
        QVERIFY(w.Action(MainCommand::Save)->isEnabled());
        w.Action(MainCommand::Save)->trigger();
        QVERIFY(!doc.m_bModified);
        QCOMPARE(answerer.answered.size(), 2);  // no second save-as
        test::FakeHost readHost;
        CBriodashDoc reread(readHost, DefaultDocumentServices(), DocumentOptions{});
        QVERIFY(reread.Open(saved.toStdString()));
        QCOMPARE(reread.m_datasets.size(), doc.m_datasets.size());
        QCOMPARE(reread.m_datasets[0]->m_rpm[0].Size(), doc.m_datasets[0]->m_rpm[0].Size());
        QVERIFY(reread.m_datasets[0]->m_rpm[0].Size() > 0);
    }

    // "Abort Transmission" during a paced Kavrane retrieve, then Yes to processing what
    // arrived: one question only, and every sample of the packets received before the press is
    // in the new document, in every channel.
    void abortThenKeepingKeepsEverySampleThatArrived() {
        if (test::SimulatorPath().empty()) QSKIP("logger simulator not built");
        QTemporaryDir dir;
        const std::string expect = dir.filePath("expect.txt").toStdString();
        test::SimProcess sim({"--family", "kavrane", "--firmware", "2.24", "--rpm", "1,2,3,4",
                              "--analog", "1,2,3,4,17,18,19", "--seconds", "120", "--pace",
                              "--expect", expect, "--idle-exit", "5000"});
        QVERIFY(sim.Started());
        qputenv("ORVEX_COM1", QByteArray::fromStdString(sim.Path()));

        CDataAcqApp app(dir.filePath("ORVEX.INI").toStdString());
        app.SetComPort(1);
        app.SetAutoSave(false);
        CQtHost host(app.AbortRequest());
        CMainWindow w(app, host);
        host.SetParent(&w);
        w.resize(1000, 700);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        AbortThenKeep user(2500);
        w.Action(MainCommand::Retrieve)->trigger();
        QCOMPARE(user.questions, QStringList{"Do you wish to process uploaded data?"});
        QVERIFY(user.totalBytes > 0);
        QVERIFY(user.bytesLeftAtAbort > 0);
        QCOMPARE(w.Documents().size(), 1);
        const CBriodashDataset& ds = *w.ActiveDocument()->Document().m_datasets.at(0);

        const ChannelSamples expected = ExpectedSamples(expect);
        const ChannelSamples kept = KeptSamples(ds);
        QVERIFY(kept.size() >= 4);
        int32_t sessionEnd = 0;
        for (const auto& [name, samples] : expected)
            if (!samples.empty()) sessionEnd = std::max(sessionEnd, samples.back().first);
        // The image interleaves every channel at a steady rate, so the bytes that arrived cover
        // that share of the session's time; one packet more or less is within the tolerance.
        const long arrived = user.totalBytes - user.bytesLeftAtAbort;
        const double arrivedEnd = double(sessionEnd) * double(arrived) / double(user.totalBytes);
        const double tolerance = double(sessionEnd) * 1200.0 / double(user.totalBytes) + 1000.0;
        for (const auto& [name, samples] : kept) {
            QVERIFY2(!samples.empty(), name.c_str());
            const auto it = expected.find(name);
            QVERIFY2(it != expected.end(), name.c_str());
            // Every kept sample is the session's own, from its start without a gap.
            QVERIFY2(samples.size() <= it->second.size(), name.c_str());
            QVERIFY2(std::equal(samples.begin(), samples.end(), it->second.begin()), name.c_str());
            const double end = samples.back().first;
            QVERIFY2(std::abs(end - arrivedEnd) <= tolerance,
                     qPrintable(QString("%1 ends at %2 s, %3 s arrived")
                                    .arg(QString::fromStdString(name))
                                    .arg(end / 10000.0)
                                    .arg(arrivedEnd / 10000.0)));
        }
    }
};

QTEST_MAIN(TestRetrieve)
#include "test_retrieve.moc"
