// The desktop program: settings at start-up, the main window, the command line (a data file,
// "LiveDemo", --demo, --screenshot) and the settings written back at exit.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/DataAcqApp.h"
#include "app/MainFrameCommands.h"
#include "app/ui/DialogGallery.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/QtHost.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    orvex::CommandLine cl = orvex::ParseCommandLine(args);
    if (!cl.error.empty()) {
        std::fprintf(stderr,
                     "orvex: %s\nusage: orvex [DATAFILE] [/LiveDemo] [--demo] "
                     "[--screenshot FILE.png [--size WxH] [--dialog TITLE]]\n",
                     cl.error.c_str());
        return 2;
    }
    // A screenshot needs no display.
    if (!cl.screenshot.empty() && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORVEX"));
    QApplication::setApplicationDisplayName(QStringLiteral("ORVEX"));

    orvex::CQtHost host;
    orvex::CDataAcqApp app;
    app.LoadSettings(host);
    app.SetLiveDemo(cl.liveDemo);

    orvex::CMainWindow window(app, host);
    host.SetParent(&window);

    if (!cl.screenshot.empty()) {
        const orvex::GalleryEntry* entry = nullptr;
        if (!cl.dialog.empty() && !(entry = orvex::FindDialog(cl.dialog))) {
            std::fprintf(stderr, "orvex: no dialog \"%s\"; the dialogs are:\n", cl.dialog.c_str());
            for (const orvex::GalleryEntry& e : orvex::DialogGallery())
                std::fprintf(stderr, "  %s\n", e.title.c_str());
            return 1;
        }
        orvex::CDocumentWindow* doc =
            cl.file.empty() ? window.OpenDemo() : window.OpenFile(QString::fromStdString(cl.file));
        if (!doc) return 1;
        QImage image = window.RenderWindow(QSize(cl.width, cl.height));
        if (entry) {
            // The dialog drawn where it opens: over the middle of the main window.
            orvex::DialogContext context{app, host, &doc->Document(), &window};
            orvex::OpenedDialog opened = entry->open(context);
            opened.dialog->adjustSize();
            const QPixmap shot = opened.dialog->grab();
            // A title strip above the dialog's client area, as a window manager draws it.
            const int title = 26;
            const int x = (image.width() - shot.width()) / 2;
            const int y = (image.height() - shot.height() + title) / 2;
            QPainter painter(&image);
            const QPalette palette = opened.dialog->palette();
            painter.fillRect(x - 1, y - title, shot.width() + 2, title, palette.highlight());
            painter.setPen(palette.highlightedText().color());
            painter.drawText(QRect(x + 8, y - title, shot.width() - 16, title),
                             Qt::AlignVCenter | Qt::AlignLeft, opened.dialog->windowTitle());
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

    window.resize(1280, 800);
    window.show();
    // A failed command-line request ends start-up.
    if (!cl.file.empty() && !window.OpenFile(QString::fromStdString(cl.file))) return 1;
    if (cl.demo && !window.OpenDemo()) return 1;

    const int rc = QApplication::exec();
    app.SaveSettings(host);
    window.SaveRecentFiles();
    return rc;
}
