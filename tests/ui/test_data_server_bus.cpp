// The data server and the application control over a private session bus: the real program
// runs offscreen, starts the fake suspension program and serves this test as further clients.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <cstring>

#include "TestPaths.h"
#include "UiTestPaths.h"
#include "app/DataAcqApp.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "graph/ui/ChartWidget.h"
#include "graph/ui/MarkerListWidget.h"
#include "model/Document.h"
#include "support/FakeHost.h"

using namespace orvex;

namespace {

const QString kServer = QStringLiteral("org.orvex.DozaDevaRizevo");
const QString kServerPath = QStringLiteral("/DozaDevaRizevo");
const QString kServerIface = QStringLiteral("org.orvex.DozaDevaRizevo.Server");
const QString kApp = QStringLiteral("org.orvex.Orvex");

std::vector<double> Doubles(const QByteArray& data) {
    std::vector<double> out;
    for (qsizetype i = 0; i + 8 <= data.size(); i += 8) {
        double v = 0;
        std::memcpy(&v, data.constData() + i, 8);
        out.push_back(v);
    }
    return out;
}

QByteArray Zero(const char* text) {
    QByteArray a(text);
    a.append('\0');
    return a;
}

}  // namespace

// Collects the advises that reach one bus connection.
class AdviseSink : public QObject {
    Q_OBJECT
  public:
    struct Advise {
        uint conversation;
        QString item;
        QByteArray data;
        qint64 atMs;
    };
    std::vector<Advise> received;
    QElapsedTimer clock;
    AdviseSink() { clock.start(); }

  public slots:
    void OnAdvise(uint conversation, const QString& item, const QByteArray& data) {
        received.push_back({conversation, item, data, clock.elapsed()});
    }
};

class TestDataServerBus : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir{QStringLiteral(ORVEX_TEST_BINARY_DIR "/dataserver-XXXXXX")};
    QProcess m_daemon;
    QProcess m_orvex;
    QString m_address;
    QString m_file1, m_file2;
    AdviseSink m_sink;
    test::FakeHost m_host;
    std::unique_ptr<CDataAcqApp> m_app;
    std::unique_ptr<CMainWindow> m_window;  // the same file opened here, to read its marker list

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QDBusConnection Bus(const QString& name = QStringLiteral("test")) const {
        return QDBusConnection(name);
    }

    QDBusMessage Call(const QString& method, const QList<QVariant>& args,
                      const QString& connection = QStringLiteral("test")) {
        QDBusMessage m = QDBusMessage::createMethodCall(kServer, kServerPath, kServerIface, method);
        m.setArguments(args);
        return Bus(connection).call(m, QDBus::Block, 30000);
    }
    QDBusMessage AppCall(const QString& method, const QList<QVariant>& args) {
        QDBusMessage m = QDBusMessage::createMethodCall(
            kApp, QStringLiteral("/Orvex"), QStringLiteral("org.orvex.Orvex.Application"), method);
        m.setArguments(args);
        return Bus().call(m, QDBus::Block, 30000);
    }
    uint Connect(const QString& topic, const QString& connection = QStringLiteral("test")) {
        QDBusMessage r = Call(QStringLiteral("Connect"), {topic}, connection);
        return r.type() == QDBusMessage::ReplyMessage ? r.arguments().value(0).toUInt() : 0;
    }
    static QString Error(const QDBusMessage& r) {
        return r.type() == QDBusMessage::ErrorMessage ? r.errorName() : QString();
    }
    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ORVEX_CONFIG_DIR"), Path(QStringLiteral("config")));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        env.insert(QStringLiteral("FAKE_SUSPENSION_LOG"), Path(QStringLiteral("fake.log")));
        env.insert(QStringLiteral("FAKE_SUSPENSION_ORDER"), QStringLiteral("XT R1"));
        return env;
    }
    QStringList FakeLog() const {
        QFile f(Path(QStringLiteral("fake.log")));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    bool WaitForAdvises(std::size_t count, int ms = 5000) {
        QElapsedTimer t;
        t.start();
        while (m_sink.received.size() < count && t.elapsed() < ms) QTest::qWait(10);
        return m_sink.received.size() >= count;
    }
    static bool MakeFile(const QString& path, double minutes, uint32_t seed) {
        QProcess cli;
        cli.start(
            QStringLiteral(ORVEX_CLI_PATH),
            {QStringLiteral("demo"), QStringLiteral("--out"), path, QStringLiteral("--minutes"),
             QString::number(minutes), QStringLiteral("--seed"), QString::number(seed)});
        return cli.waitForFinished(60000) && cli.exitCode() == 0;
    }
    // What the marker list of the same file shows at `seconds` for a channel row.
    QString ListText(MarkerRowKind kind, int channel, double seconds) {
        CDocumentWindow* w = m_window->ActiveDocument();
        w->MarkerList()->View().SetMode(kModeAll);
        w->Chart()->PlaceMarker(Marker::Green, static_cast<int32_t>(std::lround(seconds * 10000)));
        for (const MarkerRow& row : w->MarkerList()->View().Rows())
            if (row.Kind() == kind && row.Channel() == channel && row.texts.size() > 1)
                return QString::fromStdString(row.texts[1]).trimmed();
        return QStringLiteral("<no row>");
    }
    // The value agrees with the list text to the text's last digit.
    static bool AgreesWith(double value, const QString& text) {
        bool ok = false;
        const double shown = text.toDouble(&ok);
        if (!ok) return false;
        const qsizetype dot = text.indexOf(QLatin1Char('.'));
        const double step = dot < 0 ? 1.0 : std::pow(10.0, -(text.size() - dot - 1));
        return std::fabs(value - shown) <= step * 1.0001;
    }

  private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_file1 = Path(QStringLiteral("first.tbc"));
        m_file2 = Path(QStringLiteral("second.tbc"));
        QVERIFY(MakeFile(m_file1, 6.0, 1));
        QVERIFY(MakeFile(m_file2, 5.0, 2));

        // The suspension program lives in its own folder.
        QVERIFY(QDir().mkpath(Path(QStringLiteral("damplex"))));
        QVERIFY(QFile::link(QStringLiteral(ORVEX_FAKE_SUSPENSION_PATH),
                            Path(QStringLiteral("damplex/Damplexr"))));
        QVERIFY(QDir().mkpath(Path(QStringLiteral("config"))));
        QFile ini(Path(QStringLiteral("config/ORVEX.INI")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Server-Settings]\nSuspension-App=" +
                  Path(QStringLiteral("damplex/Damplexr")).toUtf8() + "\nTimer=30\n");
        ini.close();

        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        QVERIFY2(m_daemon.waitForStarted(5000), "dbus-daemon is needed");
        QVERIFY(m_daemon.waitForReadyRead(5000));
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QVERIFY(!m_address.isEmpty());
        QVERIFY(QDBusConnection::connectToBus(m_address, QStringLiteral("test")).isConnected());
        QVERIFY(Bus().connect(kServer, kServerPath, kServerIface, QStringLiteral("Advise"), &m_sink,
                              SLOT(OnAdvise(uint, QString, QByteArray))));

        m_orvex.setProcessEnvironment(Environment());
        m_orvex.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_orvex.start(QStringLiteral(ORVEX_GUI_PATH), {m_file1});
        QVERIFY(m_orvex.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(Bus().interface()->isServiceRegistered(kApp), 20000);

        m_app = std::make_unique<CDataAcqApp>(Path(QStringLiteral("local.ini")).toStdString());
        m_window = std::make_unique<CMainWindow>(*m_app, m_host);
        QVERIFY(m_window->OpenFile(m_file1));
    }

    void cleanupTestCase() {
        m_window.reset();
        if (m_orvex.state() != QProcess::NotRunning) {
            m_orvex.terminate();
            if (!m_orvex.waitForFinished(10000)) m_orvex.kill();
            m_orvex.waitForFinished(2000);
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("test"));
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }

    // Enabling starts the suspension program in its folder and takes the server's name.
    void enablingStartsTheSuspensionProgram() {
        QCOMPARE(Error(Call(QStringLiteral("Connect"), {QStringLiteral("System")})),
                 QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"));
        QDBusMessage r =
            AppCall(QStringLiteral("ConfigureDataServer"), {true, false, 30, -1.0, -1.0});
        QCOMPARE(r.type(), QDBusMessage::ReplyMessage);
        QVERIFY(r.arguments().value(0).toString().startsWith(QStringLiteral("Server Active, ")));
        QTRY_VERIFY_WITH_TIMEOUT(FakeLog().contains(QStringLiteral("advising 1")), 10000);
        const QStringList log = FakeLog();
        QCOMPARE(log.value(0), QStringLiteral("args /DDEML=BDLNK"));
        QCOMPARE(log.value(1),
                 QStringLiteral("cwd ") + QDir(Path(QStringLiteral("damplex"))).canonicalPath());
        r = AppCall(QStringLiteral("ConfigureDataServer"), {true, false, 30, -1.0, -1.0});
        QCOMPARE(r.arguments().value(0).toString(), QStringLiteral("Server Active, 1 Client(s)"));
        QCOMPARE(
            Error(AppCall(QStringLiteral("ConfigureDataServer"), {true, false, 50, -1.0, -1.0})),
            QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
    }

    void systemItemsAreExact() {
        const uint conv = Connect(QStringLiteral("SYSTEM"));
        QVERIFY(conv != 0);
        const std::pair<const char*, const char*> items[] = {
            {"Topics", "System, PlayBack, ChannelInfo"},
            {"SysItems", "Formats, Help, ItemList, RtnMsg, Status, SysItems, Topics"},
            {"ReturnMessage", "Not Available"},
            {"status", "Server is READY"},
            {"Formats", "CF_TEXT"},
            {"Help", "Not Implemented"},
            {"TopicItemList",
             "ChannelOrder, ChannelData, XAxisList, RPMList, AnalogList, "
             "DigitalList, MathList, ChannelDetails"},
        };
        for (const auto& [item, text] : items) {
            QDBusMessage r = Call(QStringLiteral("Request"),
                                  {conv, QString::fromLatin1(item), QStringLiteral("CF_TEXT")});
            QCOMPARE(r.arguments().value(0).toByteArray(), Zero(text));
        }
        QCOMPARE(Error(Call(QStringLiteral("Connect"), {QStringLiteral("Damplex")})),
                 QStringLiteral("org.orvex.DozaDevaRizevo.Error.Refused"));
        QCOMPARE(Error(Call(QStringLiteral("Request"),
                            {conv, QStringLiteral("Nothing"), QStringLiteral("CF_TEXT")})),
                 QStringLiteral("org.orvex.DozaDevaRizevo.Error.NoData"));
        Call(QStringLiteral("Disconnect"), {conv});
    }

    void channelInfoListsTheOpenFile() {
        const uint conv = Connect(QStringLiteral("ChannelInfo"));
        const CBriodashDataset& ds = *m_window->ActiveDocument()->Document().m_datasets.front();
        QStringList rpm, analog, digital;
        auto entry = [](char kind, int ch, const std::string& description) {
            return QStringLiteral("%1%2:%3")
                .arg(QLatin1Char(kind))
                .arg(ch)
                .arg(QString::fromStdString(description));
        };
        for (int ch = 1; ch <= 5; ++ch)
            if (const CFreqSetup* s = ds.m_carSetup.FindRpmSetup(ch);
                s && !ds.m_rpm[static_cast<std::size_t>(ch - 1)].IsEmpty())
                rpm << entry('R', ch, s->m_strDescription);
        for (int ch = 1; ch <= 20; ++ch)
            if (const CAnalogSetup* s = ds.m_carSetup.FindAnalogSetup(ch);
                s && !ds.m_analog[static_cast<std::size_t>(ch - 1)].IsEmpty())
                analog << entry('A', ch, s->m_strDescription);
        for (int ch = 1; ch <= 6; ++ch)
            if (const CDigitalSetup* s = ds.m_carSetup.FindDigitalSetup(ch);
                s && !ds.m_digital[static_cast<std::size_t>(ch - 1)].IsEmpty())
                digital << entry('D', ch, s->m_strDescription);
        QVERIFY(rpm.size() >= 2 && analog.size() >= 3 && !digital.isEmpty());
        const std::pair<QString, QString> lists[] = {
            {QStringLiteral("XAxisList"),
             HasDistance(ds) ? QStringLiteral("XT:Time, XD:Distance") : QStringLiteral("XT:Time")},
            {QStringLiteral("RPMList"), rpm.join(QStringLiteral(", "))},
            {QStringLiteral("analoglist"), analog.join(QStringLiteral(", "))},
            {QStringLiteral("DigitalList"), digital.join(QStringLiteral(", "))},
            {QStringLiteral("MathList"), QString()},
        };
        for (const auto& [item, text] : lists) {
            QDBusMessage r =
                Call(QStringLiteral("Request"), {conv, item, QStringLiteral("CF_TEXT")});
            QCOMPARE(QString::fromUtf8(r.arguments().value(0).toByteArray()),
                     text + QLatin1Char('\0'));
        }
        QCOMPARE(Error(Call(QStringLiteral("Request"),
                            {conv, QStringLiteral("RPMList"), QStringLiteral("CF_BITMAP")})),
                 QStringLiteral("org.orvex.DozaDevaRizevo.Error.NoData"));
        Call(QStringLiteral("Disconnect"), {conv});
    }

    // Poke + advise + SetMarker: the marker list's values at the green marker, to each
    // client its own entries and to no one else.
    void setMarkerDeliversTheMarkerListsValues() {
        QVERIFY(QDBusConnection::connectToBus(m_address, QStringLiteral("onlooker")).isConnected());
        AdviseSink onlooker;
        QVERIFY(Bus(QStringLiteral("onlooker"))
                    .connect(kServer, kServerPath, kServerIface, QStringLiteral("Advise"),
                             &onlooker, SLOT(OnAdvise(uint, QString, QByteArray))));
        const uint conv = Connect(QStringLiteral("PlayBack"));
        QVERIFY(conv != 0);
        const CBriodashDataset& ds = *m_window->ActiveDocument()->Document().m_datasets.front();
        int analog = 1;
        while (analog < 20 && ds.m_analog[static_cast<std::size_t>(analog - 1)].IsEmpty()) ++analog;
        const QByteArray order = "XT R1 A" + QByteArray::number(analog) + '\0';
        QDBusMessage r =
            Call(QStringLiteral("Poke"), {conv, QStringLiteral("ChannelOrder"), order});
        QVERIFY(r.arguments().value(0).toBool());
        QVERIFY(Call(QStringLiteral("AdviseStart"), {conv, QStringLiteral("CHANNELDATA")})
                    .arguments()
                    .value(0)
                    .toBool());
        const std::size_t fakeBefore = FakeLog().size();
        for (double seconds : {10.0, 12.3456}) {
            m_sink.received.clear();
            QVERIFY(AppCall(QStringLiteral("SetMarker"), {QStringLiteral("green"), seconds})
                        .arguments()
                        .value(0)
                        .toBool());
            QVERIFY(WaitForAdvises(1));
            QTest::qWait(100);
            QCOMPARE(m_sink.received.size(), std::size_t{1});
            QCOMPARE(m_sink.received[0].conversation, conv);
            const std::vector<double> v = Doubles(m_sink.received[0].data);
            QCOMPARE(v.size(), std::size_t{3});
            QCOMPARE(v[0], std::round(seconds * 10000) / 10000);
            const QString rpm = ListText(MarkerRowKind::Rpm, 1, seconds);
            const QString throttle = ListText(MarkerRowKind::Analog, analog, seconds);
            QVERIFY2(AgreesWith(v[1], rpm), qPrintable(QString::number(v[1]) + " vs " + rpm));
            QVERIFY2(AgreesWith(v[2], throttle),
                     qPrintable(QString::number(v[2]) + " vs " + throttle));
        }
        // The fake suspension program got its own two entries (time and RPM).
        QTRY_VERIFY_WITH_TIMEOUT(static_cast<std::size_t>(FakeLog().size()) >= fakeBefore + 2,
                                 5000);
        const QStringList last = FakeLog().last().split(QLatin1Char(' '));
        QCOMPARE(last.value(2), QStringLiteral("ChannelData"));
        QCOMPARE(last.value(3), QStringLiteral("16"));
        QCOMPARE(last.value(4).toDouble(), 12.3456);
        QVERIFY(onlooker.received.empty());
        QDBusConnection::disconnectFromBus(QStringLiteral("onlooker"));

        QVERIFY(AppCall(QStringLiteral("SetMarker"), {QStringLiteral("red"), 5.0})
                    .arguments()
                    .value(0)
                    .toBool());
        QVERIFY(!AppCall(QStringLiteral("SetMarker"), {QStringLiteral("blue"), 5.0})
                     .arguments()
                     .value(0)
                     .toBool());
        Call(QStringLiteral("AdviseStop"), {conv, QStringLiteral("ChannelData")});
        Call(QStringLiteral("Disconnect"), {conv});
    }

    // Auto mode walks the green marker one data point per tick.
    void autoModeWalksOneDataPointPerTick() {
        const uint conv = Connect(QStringLiteral("PlayBack"));
        Call(QStringLiteral("Poke"), {conv, QStringLiteral("ChannelOrder"), Zero("XT")});
        Call(QStringLiteral("AdviseStart"), {conv, QStringLiteral("ChannelData")});
        m_sink.received.clear();
        QDBusMessage r = AppCall(QStringLiteral("ConfigureDataServer"), {true, true, 20, 2.0, 2.5});
        QCOMPARE(r.arguments().value(0).toString(), QStringLiteral("Server Active, 2 Client(s)"));
        QVERIFY(WaitForAdvises(60, 20000));
        AppCall(QStringLiteral("ConfigureDataServer"), {true, false, 20, 2.0, 2.5});
        std::vector<double> times;
        for (const auto& a : m_sink.received)
            if (a.conversation == conv) times.push_back(Doubles(a.data).at(0));
        QVERIFY(times.size() >= 50);
        // The generated session samples RPM at 100 Hz: a step of one sample, from 2.0 to 2.5.
        int steps = 0, wraps = 0;
        for (std::size_t i = 1; i < times.size(); ++i) {
            const double d = times[i] - times[i - 1];
            if (d > 0 && d <= 0.0100001)
                ++steps;
            else if (d < 0 && times[i] <= 2.0 + 0.0101)
                ++wraps;
            else
                QFAIL(qPrintable(QStringLiteral("step %1 -> %2").arg(times[i - 1]).arg(times[i])));
        }
        QVERIFY(wraps >= 1);
        QVERIFY(steps >= 40);
        QVERIFY(*std::max_element(times.begin(), times.end()) <= 2.5 + 1e-9);
        QVERIFY(*std::min_element(times.begin(), times.end()) > 2.0);
        Call(QStringLiteral("Disconnect"), {conv});
    }

    void badInputGetsErrorReplies() {
        const QString unknown =
            QStringLiteral("org.orvex.DozaDevaRizevo.Error.UnknownConversation");
        QCOMPARE(Error(Call(QStringLiteral("Request"),
                            {uint(99999), QStringLiteral("Status"), QStringLiteral("CF_TEXT")})),
                 unknown);
        QCOMPARE(Error(Call(QStringLiteral("Disconnect"), {uint(0)})), unknown);
        const uint conv = Connect(QStringLiteral("playback"));
        QVERIFY(Call(QStringLiteral("Poke"),
                     {conv, QStringLiteral("ChannelOrder"), QByteArray(10000, 'A')})
                    .arguments()
                    .value(0)
                    .toBool());
        QByteArray junk;
        for (int i = 0; i < 4096; ++i) junk.append(static_cast<char>((i * 37 + 11) & 0xFF));
        QVERIFY(Call(QStringLiteral("Poke"), {conv, QStringLiteral("channelorder"), junk})
                    .arguments()
                    .value(0)
                    .toBool());
        QVERIFY(!Call(QStringLiteral("Poke"), {conv, QString(300, QLatin1Char('x')), junk})
                     .arguments()
                     .value(0)
                     .toBool());
        QVERIFY(!Call(QStringLiteral("AdviseStart"), {conv, QStringLiteral("ChannelOrder")})
                     .arguments()
                     .value(0)
                     .toBool());
        QCOMPARE(Error(Call(QStringLiteral("Request"),
                            {conv, QStringLiteral("ChannelData"), QStringLiteral("CF_TEXT")})),
                 QStringLiteral("org.orvex.DozaDevaRizevo.Error.NoData"));
        Call(QStringLiteral("Disconnect"), {conv});
        QCOMPARE(Error(Call(QStringLiteral("Poke"), {conv, QStringLiteral("ChannelOrder"), junk})),
                 unknown);
        QCOMPARE(Error(Call(QStringLiteral("AdviseStart"), {conv, QStringLiteral("ChannelData")})),
                 unknown);
        QCOMPARE(Error(Call(QStringLiteral("Disconnect"), {conv})), unknown);
        QCOMPARE(m_orvex.state(), QProcess::Running);
    }

    // A client that leaves the bus without disconnecting leaves no conversation behind.
    void clientLeavingTheBusEndsItsConversations() {
        const QString leaver = QStringLiteral("leaver");
        QVERIFY(QDBusConnection::connectToBus(m_address, leaver).isConnected());
        const uint conv = Connect(QStringLiteral("PlayBack"), leaver);
        QVERIFY(conv != 0);
        Call(QStringLiteral("AdviseStart"), {conv, QStringLiteral("ChannelData")}, leaver);
        auto status = [this] {
            return AppCall(QStringLiteral("ConfigureDataServer"), {true, false, 30, -1.0, -1.0})
                .arguments()
                .value(0)
                .toString();
        };
        QCOMPARE(status(), QStringLiteral("Server Active, 2 Client(s)"));
        // Another connection cannot use that conversation.
        QCOMPARE(Error(Call(QStringLiteral("AdviseStop"), {conv, QStringLiteral("ChannelData")})),
                 QStringLiteral("org.orvex.DozaDevaRizevo.Error.UnknownConversation"));
        QDBusConnection::disconnectFromBus(leaver);
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("Server Active, 1 Client(s)"), 5000);
    }

    // A second start with a file hands it to the running program and ends.
    void secondStartHandsItsFileOver() {
        QProcess second;
        second.setProcessEnvironment(Environment());
        second.start(QStringLiteral(ORVEX_GUI_PATH), {m_file2});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        // The second file (5 minutes long) is now the active one: at 330 s its RPM is not
        // available, while the first file's would be.
        const uint conv = Connect(QStringLiteral("PlayBack"));
        Call(QStringLiteral("Poke"), {conv, QStringLiteral("ChannelOrder"), Zero("XT R1")});
        Call(QStringLiteral("AdviseStart"), {conv, QStringLiteral("ChannelData")});
        m_sink.received.clear();
        QVERIFY(AppCall(QStringLiteral("SetMarker"), {QStringLiteral("green"), 330.0})
                    .arguments()
                    .value(0)
                    .toBool());
        QVERIFY(WaitForAdvises(1));
        std::vector<double> v;
        for (const auto& a : m_sink.received)
            if (a.conversation == conv) v = Doubles(a.data);
        QCOMPARE(v.size(), std::size_t{2});
        QCOMPARE(v[0], 330.0);
        QVERIFY(std::isnan(v[1]));
        Call(QStringLiteral("Disconnect"), {conv});
    }
};

QTEST_MAIN(TestDataServerBus)
#include "test_data_server_bus.moc"
