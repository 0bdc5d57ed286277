// "Retrieve from Data-Logger" from the main window against the logger simulator on COM1: the
// session dialog and the AutoSave save-as answered as a user would, then the chart of the new
// document: data drawn, markers set by double click, zoom, distance axis and saving again.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QInputDialog>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/DataAcqApp.h"
#include "app/DocumentSetup.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "graph/ui/ChartWidget.h"
#include "model/Document.h"
#include "support/FakeHost.h"
#include "support/PtyPair.h"

using namespace orvex;

namespace {

// Answers the modal dialogs as they come up: the session dialog takes `sessionItem`, the
// save-as dialog `savePath`. Records which dialogs it answered.
class DialogAnswerer : public QObject {
  public:
    DialogAnswerer(QString sessionItem, QString savePath)
        : m_session(std::move(sessionItem)), m_save(std::move(savePath)) {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this] { Answer(); });
        m_timer.start();
    }
    QStringList answered;
    QStringList sessionItems;

  private:
    void Answer() {
        QWidget* w = QApplication::activeModalWidget();
        if (auto* input = qobject_cast<QInputDialog*>(w)) {
            sessionItems = input->comboBoxItems();
            answered << input->windowTitle();
            input->setTextValue(m_session);
            input->accept();
        } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
            answered << files->windowTitle();
            files->selectFile(m_save);
            QMetaObject::invokeMethod(files, "accept");
        }
    }
    QString m_session, m_save;
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
        DialogAnswerer answerer(QStringLiteral("Session 1"), saved);
        QVERIFY(w.Action(MainCommand::Retrieve)->isEnabled());
        w.Action(MainCommand::Retrieve)->trigger();

        // The session dialog offered the last session and both recorded ones; the save-as
        // followed because AutoSave is on.
        QCOMPARE(answerer.sessionItems,
                 QStringList({"Upload Last Recorded Session", "Session 1", "Session 2"}));
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
};

QTEST_MAIN(TestRetrieve)
#include "test_retrieve.moc"
