// The data server in the desktop program: the server core on the session bus, the suspension
// program started as a detached process, the main window's playback timer, the active graph
// window as the playback window, the "Damplex" command of the graph menu, and the
// application-control object org.orvex.Orvex (/Orvex, org.orvex.Orvex.Application).
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "app/DataServer.h"

class QTimer;

namespace orvex {

class CDataAcqApp;
class CDataServerBus;
class CDocumentWindow;
class CMainWindow;
class IHostServices;

inline constexpr const char* kAppBusName = "org.orvex.Orvex";
inline constexpr const char* kAppBusPath = "/Orvex";
inline constexpr const char* kAppBusInterface = "org.orvex.Orvex.Application";

class CDataServerHost : public QObject,
                        private ISuspensionLauncher,
                        private IServerClock,
                        private IPlaybackWindow {
    Q_OBJECT
  public:
    CDataServerHost(CDataAcqApp& app, IHostServices& host, CMainWindow& window);
    ~CDataServerHost() override;

    CDDEServer& Server() { return *m_server; }
    // "Damplex": the setup dialog for the active graph window.
    void ShowSetupDialog();

    // What the application-control calls do.
    bool OpenFile(const QString& path);
    bool SetMarker(const QString& which, double seconds);
    // "Apply Settings" with these values; nothing when an argument is out of range.
    std::optional<std::string> Configure(bool enabled, bool autoMode, int timer,
                                         double startSeconds, double endSeconds);

  private:
    // ISuspensionLauncher
    std::optional<std::string> ChooseProgram() override;
    bool FileExists(const std::string& path) const override;
    std::string Start(const std::string& program, const std::vector<std::string>& args,
                      const std::string& folder) override;
    bool IsRunning() const override;
    // IServerClock
    bool StartTimer(double periodMs) override;
    void StopTimer() override;
    bool WaitFor(const std::function<bool()>& done, int timeoutMs) override;
    // IPlaybackWindow
    const CBriodashDataset* CurrentDataset() const override;
    int32_t GreenMarker() const override;
    void ResetAndPlaceGreen(int32_t time) override;
    void NudgeGreenRight() override;
    void ShowMarkerView() override;
    void WriteClientValues(std::vector<CAdvReqClient>& clients) override;

    CDocumentWindow* Active() const;
    void HookCharts();

    CDataAcqApp& m_app;
    IHostServices& m_host;
    CMainWindow& m_window;
    CDataServerBus* m_bus = nullptr;
    QTimer* m_timer = nullptr;
    qint64 m_pid = 0;
    std::unique_ptr<CDDEServer> m_server;
};

}  // namespace orvex
