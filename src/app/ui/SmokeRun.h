// A scripted run of the desktop program for the smoke test under a real X server: a dialog,
// the help, a save and the quit, driven by timers from inside the program.
#pragma once

#include <QString>

namespace orvex {

class CMainWindow;

// Starts the run once the event loop runs; the program quits at its end (exit code 3 when the
// save failed).
void StartSmokeRun(CMainWindow& window, const QString& savePath);

}  // namespace orvex
