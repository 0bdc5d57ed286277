// The desktop program: settings at start-up, the main window, the command line (a data file,
// "LiveDemo", --demo, --screenshot with --trackmap) and the settings written back at exit.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/DataAcqApp.h"
#include "app/MainFrameCommands.h"
#include "app/ui/DataServerHost.h"
#include "app/ui/DialogGallery.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/GuardedApplication.h"
#include "app/ui/LiveDataShots.h"
#include "app/ui/MainWindow.h"
#include "app/ui/QtHost.h"
#include "app/ui/SmokeRun.h"
#include "app/ui/Theme.h"
#include "graph/ui/ChartWidget.h"
#include "host/StderrHost.h"
#include "trackmap/ui/TrackMapWindow.h"

int main(int argc, char** argv) {
    // A screenshot needs no display: the platform is chosen before Qt starts.
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--screenshot" && !std::getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);

    // Qt takes its own options (-style, -stylesheet, -platform ...) out of the arguments first.
    orvex::CGuardedApplication qapp(argc, argv);
    // No display name: the window system would add it to the main window's title, which
    // already begins with the program's name ("ORVEX - [run.tbc - Graph]").
    QApplication::setApplicationName(QStringLiteral("ORVEX"));

    std::vector<std::string> args;
    const QStringList remaining = QCoreApplication::arguments();
    for (qsizetype i = 1; i < remaining.size(); ++i) args.push_back(remaining[i].toStdString());
    orvex::CommandLine cl = orvex::ParseCommandLine(args);
    if (!cl.error.empty()) {
        std::fprintf(stderr,
                     "orvex: %s\nusage: orvex [Qt options] [DATAFILE] [/LiveDemo] [--demo] "
                     "[--screenshot FILE.png [--size WxH] [--trackmap LAP] "
                     "[--view histogram|traction|lap-report] [--dialog TITLE [--page NAME]]]\n",
                     cl.error.c_str());
        return 2;
    }

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

    orvex::CDataAcqApp app;
    orvex::CQtHost qtHost(app.AbortRequest());
    // A screenshot has no one to answer a message box: its messages go to stderr.
    orvex::CStderrHost stderrHost;
    orvex::IHostServices& host =
        cl.screenshot.empty() ? static_cast<orvex::IHostServices&>(qtHost) : stderrHost;
    app.LoadSettings(host);
    app.SetLiveDemo(cl.liveDemo);
    orvex::ApplyTheme(app.GetTheme());

    orvex::CMainWindow window(app, host);
    qtHost.SetParent(&window);

    if (!cl.screenshot.empty()) {
        const orvex::GalleryEntry* entry = nullptr;
        const bool live = orvex::IsLiveDataShot(cl.dialog);
        if (!cl.dialog.empty() && !live && !(entry = orvex::FindDialog(cl.dialog))) {
            std::fprintf(stderr, "orvex: no dialog \"%s\"; the dialogs are:\n", cl.dialog.c_str());
            for (const orvex::GalleryEntry& e : orvex::DialogGallery())
                std::fprintf(stderr, "  %s\n", e.title.c_str());
            for (const std::string& title : orvex::LiveDataShotTitles())
                std::fprintf(stderr, "  %s\n", title.c_str());
            return 1;
        }
        orvex::CDocumentWindow* shown = nullptr;
        if (!qapp.RunGuarded([&] {
                shown = cl.file.empty() ? window.OpenDemo()
                                        : window.OpenFile(QString::fromStdString(cl.file));
                return shown != nullptr;
            }))
            return 1;
        if (!cl.view.empty() && !window.ShowViewByName(cl.view)) {
            std::fprintf(stderr, "orvex: cannot show the %s view\n", cl.view.c_str());
            return 1;
        }
        QImage image = window.RenderWindow(QSize(cl.width, cl.height));
        if (cl.trackMapLap > 0) {
            // The track map window of that lap beside the main window.
            orvex::CTrackMapWindow* map = window.ShowTrackMap(cl.trackMapLap);
            if (!map || map->View().LapCode() == 0) {
                std::fprintf(stderr, "orvex: no track map of lap %d\n", cl.trackMapLap);
                return 1;
            }
            const QImage mapImage = map->Render(QSize(cl.height * 4 / 5, cl.height));
            QImage both(image.width() + mapImage.width(), image.height(), QImage::Format_RGB32);
            both.fill(Qt::black);
            QPainter painter(&both);
            painter.drawImage(0, 0, image);
            painter.drawImage(image.width(), 0, mapImage);
            painter.end();
            image = both;
        }
        if (entry || live) {
            // The dialog drawn where it opens: over the middle of the main window.
            orvex::DialogContext context{app, host, &shown->Document(), &window, shown->Chart()};
            orvex::OpenedDialog opened;
            std::shared_ptr<QDialog> liveDialog;
            if (entry) {
                // The dialogs that work at the markers find both set: at a quarter and at the
                // middle of the window the chart shows.
                orvex::CBriodashDoc& doc = shown->Document();
                const orvex::CGraphViewState& chart = shown->Chart()->State();
                if (chart.IsTimeAxis() && doc.m_lGreenTime == orvex::kNotSet &&
                    doc.m_lRedTime == orvex::kNotSet) {
                    shown->Chart()->PlaceMarker(orvex::Marker::Green,
                                                chart.m_lXStart + chart.m_lXSpan / 4);
                    shown->Chart()->PlaceMarker(orvex::Marker::Red,
                                                chart.m_lXStart + chart.m_lXSpan / 2);
                    image = window.RenderWindow(QSize(cl.width, cl.height));
                }
                opened = entry->open(context);
                if (!opened.dialog) {
                    std::fprintf(stderr, "orvex: \"%s\" does not open on this document\n",
                                 cl.dialog.c_str());
                    return 1;
                }
                if (!cl.page.empty() && !orvex::ShowDialogPage(*opened.dialog, cl.page)) return 1;
            } else {
                std::string error;
                liveDialog = orvex::OpenLiveDataShot(cl.dialog, cl.page, app, host, &window, error);
                if (!liveDialog) {
                    std::fprintf(stderr, "orvex: %s\n", error.c_str());
                    return 1;
                }
            }
            QDialog* dialog = entry ? opened.dialog.get() : liveDialog.get();
            dialog->adjustSize();
            const QPixmap shot = dialog->grab();
            // A title strip above the dialog's client area, as a window manager draws it.
            const int title = 26;
            const int x = (image.width() - shot.width()) / 2;
            const int y = (image.height() - shot.height() + title) / 2;
            QPainter painter(&image);
            const QPalette palette = dialog->palette();
            painter.fillRect(x - 1, y - title, shot.width() + 2, title, palette.highlight());
            painter.setPen(palette.highlightedText().color());
            painter.drawText(QRect(x + 8, y - title, shot.width() - 16, title),
                             Qt::AlignVCenter | Qt::AlignLeft, dialog->windowTitle());
            painter.drawPixmap(x, y, shot);
            painter.setPen(palette.dark().color());
            painter.drawRect(x - 1, y - title, shot.width() + 1, shot.height() + title);
        }
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
    if (!cl.file.empty() &&
        !qapp.RunGuarded([&] { return window.OpenFile(QString::fromStdString(cl.file)); }))
        return 1;
    if (cl.demo && !qapp.RunGuarded([&] { return window.OpenDemo(); })) return 1;
    // The desktop entry's "Retrieve from Data-Logger" action.
    if (cl.retrieve) QTimer::singleShot(0, &window, [&window] { window.RetrieveFromLogger(); });
    // The application-control name is taken once start-up is done, so that calls find the
    // command line's file open.
    if (controlled) bus.registerService(QString::fromLatin1(orvex::kAppBusName));
    // The smoke test's scripted run: a dialog, the help, a save to this file, the quit.
    if (const char* smoke = std::getenv("ORVEX_SMOKE_SAVE"))
        orvex::StartSmokeRun(window, QString::fromLocal8Bit(smoke));

    const int rc = QApplication::exec();
    app.SaveSettings(host);
    return rc;
}
