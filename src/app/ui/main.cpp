// The desktop program: settings at start-up, the main window, the command line (a data file,
// "LiveDemo", --demo, --screenshot) and the settings written back at exit.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/DataAcqApp.h"
#include "app/MainFrameCommands.h"
#include "app/ui/DataServerHost.h"
#include "app/ui/MainWindow.h"
#include "app/ui/QtHost.h"
#include "app/ui/SmokeRun.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    orvex::CommandLine cl = orvex::ParseCommandLine(args);
    if (!cl.error.empty()) {
        std::fprintf(stderr,
                     "orvex: %s\nusage: orvex [DATAFILE] [/LiveDemo] [--demo] "
                     "[--screenshot FILE.png [--size WxH]]\n",
                     cl.error.c_str());
        return 2;
    }
    // A screenshot needs no display.
    if (!cl.screenshot.empty() && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORVEX"));
    QApplication::setApplicationDisplayName(QStringLiteral("ORVEX"));

    // A program already running takes a file given here and this start ends.
    QDBusConnection bus = QDBusConnection::sessionBus();
    const bool controlled = cl.screenshot.empty() && bus.isConnected();
    if (controlled && !cl.file.empty() &&
        bus.interface()->isServiceRegistered(QString::fromLatin1(orvex::kAppBusName))) {
        QDBusMessage open = QDBusMessage::createMethodCall(
            QString::fromLatin1(orvex::kAppBusName), QString::fromLatin1(orvex::kAppBusPath),
            QString::fromLatin1(orvex::kAppBusInterface), QStringLiteral("Open"));
        open << QFileInfo(QString::fromStdString(cl.file)).absoluteFilePath();
        const QDBusMessage reply = bus.call(open, QDBus::Block, 120000);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            return reply.arguments().first().toBool() ? 0 : 1;
        // No answer from the running program: start on our own.
    }

    orvex::CQtHost host;
    orvex::CDataAcqApp app;
    app.LoadSettings(host);
    app.SetLiveDemo(cl.liveDemo);

    orvex::CMainWindow window(app, host);
    host.SetParent(&window);

    if (!cl.screenshot.empty()) {
        if (cl.file.empty() ? !window.OpenDemo()
                            : !window.OpenFile(QString::fromStdString(cl.file)))
            return 1;
        QImage image = window.RenderWindow(QSize(cl.width, cl.height));
        if (!image.save(QString::fromStdString(cl.screenshot), "PNG")) {
            std::fprintf(stderr, "orvex: cannot write %s\n", cl.screenshot.c_str());
            return 1;
        }
        return 0;
    }

    orvex::CDataServerHost dataServer(app, host, window);
    window.resize(1280, 800);
    window.show();
    // A failed command-line request ends start-up.
    if (!cl.file.empty() && !window.OpenFile(QString::fromStdString(cl.file))) return 1;
    if (cl.demo && !window.OpenDemo()) return 1;
    // The application-control name is taken once start-up is done, so that calls find the
    // command line's file open.
    if (controlled) bus.registerService(QString::fromLatin1(orvex::kAppBusName));
    // The smoke test's scripted run: a dialog, the help, a save to this file, the quit.
    if (const char* smoke = std::getenv("ORVEX_SMOKE_SAVE"))
        orvex::StartSmokeRun(window, QString::fromLocal8Bit(smoke));

    const int rc = QApplication::exec();
    app.SaveSettings(host);
    window.SaveRecentFiles();
    return rc;
}
