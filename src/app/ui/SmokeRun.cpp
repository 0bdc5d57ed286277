// The scripted smoke run.
#include "app/ui/SmokeRun.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/ui/HelpWindow.h"
#include "app/ui/MainWindow.h"

namespace orvex {
namespace {

constexpr int kStepMs = 400;

void Step(const char* what) {
    std::printf("smoke: %s\n", what);
    std::fflush(stdout);
}

// Closes the modal dialog the next command opens, once it is up.
void CloseNextDialog() {
    QTimer::singleShot(kStepMs, qApp, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            Step(qPrintable("dialog " + modal->windowTitle()));
            modal->close();
        }
    });
}

}  // namespace

void StartSmokeRun(CMainWindow& window, const QString& savePath) {
    // The graph window maximised, so that the window system shows the combined title
    // ("ORVEX - [demo.tbc - Graph]") for the rest of the run.
    if (QMdiSubWindow* graph = window.MdiArea()->activeSubWindow()) {
        graph->showMaximized();
        Step("maximised");
    }
    QTimer::singleShot(kStepMs, &window, [&window, savePath] {
        CloseNextDialog();
        window.Run(MainCommand::ComPort);
        window.Run(MainCommand::HelpIndex);
        window.Run(MainCommand::HelpTopic);
        Step(window.Help()->Window() ? "help" : "no help window");
        // Opening the track map comes here once the program has one.
        QTimer::singleShot(kStepMs, &window, [&window, savePath] {
            const bool saved =
                window.ActiveDocument() && window.SaveDocument(window.ActiveDocument(), savePath);
            Step(saved ? "saved" : "save failed");
            if (window.Help()->Window()) window.Help()->Window()->close();
            window.close();
            if (!saved) QApplication::exit(3);
        });
    });
}

}  // namespace orvex
