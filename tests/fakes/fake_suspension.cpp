// A stand-in for the suspension-analysis program in tests. It writes its arguments and working
// folder to the file named by FAKE_SUSPENSION_LOG, connects to the data server's PlayBack topic
// (retrying until the server's name is taken), pokes the order in FAKE_SUSPENSION_ORDER
// ("XT R1 A1" when unset), starts the advise loop on "ChannelData" and appends one line per
// advise that arrives: "advise N v1 v2 ..." (N = bytes). It ends when the server leaves the
// bus or after FAKE_SUSPENSION_SECONDS (60 when unset).
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstring>

namespace {

const QString kService = QStringLiteral("org.orvex.DozaDevaRizevo");
const QString kPath = QStringLiteral("/DozaDevaRizevo");
const QString kInterface = QStringLiteral("org.orvex.DozaDevaRizevo.Server");

class Recorder : public QObject {
    Q_OBJECT
  public:
    explicit Recorder(QString path) : m_log(std::move(path)) {
        m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
    }
    void Line(const QString& text) {
        m_log.write(text.toUtf8() + '\n');
        m_log.flush();
    }

  public slots:
    void OnAdvise(uint conversation, const QString& item, const QByteArray& data) {
        QString line =
            QStringLiteral("advise %1 %2 %3").arg(conversation).arg(item).arg(data.size());
        for (qsizetype i = 0; i + 8 <= data.size(); i += 8) {
            double v = 0;
            std::memcpy(&v, data.constData() + i, 8);  // little-endian host
            line += QLatin1Char(' ') + QString::number(v, 'g', 10);
        }
        Line(line);
    }

  private:
    QFile m_log;
};

QDBusMessage Call(const QString& method, const QList<QVariant>& args) {
    QDBusMessage m = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    m.setArguments(args);
    return QDBusConnection::sessionBus().call(m);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Recorder rec(
        qEnvironmentVariable("FAKE_SUSPENSION_LOG", QStringLiteral("fake-suspension.log")));
    rec.Line(QStringLiteral("args %1").arg(app.arguments().mid(1).join(QLatin1Char(' '))));
    rec.Line(QStringLiteral("cwd %1").arg(QDir::currentPath()));
    const QString order = qEnvironmentVariable("FAKE_SUSPENSION_ORDER", QStringLiteral("XT R1 A1"));
    const int seconds = qEnvironmentVariableIntValue("FAKE_SUSPENSION_SECONDS");
    QTimer::singleShot((seconds > 0 ? seconds : 60) * 1000, &app, &QCoreApplication::quit);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        rec.Line(QStringLiteral("no bus"));
        return 1;
    }
    bus.connect(kService, kPath, kInterface, QStringLiteral("Advise"), &rec,
                SLOT(OnAdvise(uint, QString, QByteArray)));

    QTimer retry;
    retry.setInterval(50);
    int tries = 0;
    QObject::connect(&retry, &QTimer::timeout, &app, [&] {
        if (++tries > 200) {
            rec.Line(QStringLiteral("no server"));
            app.exit(1);
            return;
        }
        QDBusMessage reply = Call(QStringLiteral("Connect"), {QStringLiteral("PlayBack")});
        if (reply.type() != QDBusMessage::ReplyMessage) return;
        retry.stop();
        const uint conv = reply.arguments().value(0).toUInt();
        rec.Line(QStringLiteral("connected %1").arg(conv));
        QByteArray text = order.toLatin1();
        text.append('\0');
        Call(QStringLiteral("Poke"), {conv, QStringLiteral("ChannelOrder"), text});
        reply = Call(QStringLiteral("AdviseStart"), {conv, QStringLiteral("ChannelData")});
        rec.Line(QStringLiteral("advising %1").arg(reply.arguments().value(0).toBool()));
        // The server leaving the bus ends this program.
        QObject::connect(bus.interface(), &QDBusConnectionInterface::serviceOwnerChanged, &app,
                         [&](const QString& name, const QString&, const QString& owner) {
                             if (name == kService && owner.isEmpty()) app.quit();
                         });
    });
    retry.start();
    return app.exec();
}

#include "fake_suspension.moc"
