#include "app/ui/DataServerHost.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QTimer>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "app/DataAcqApp.h"
#include "app/ServerSetupDialog.h"
#include "app/ServerValues.h"
#include "app/ui/DataServerBus.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/ServerSetupWindow.h"
#include "graph/ui/ChartWidget.h"
#include "graph/ui/MarkerListWidget.h"

namespace orvex {

namespace {

// org.orvex.Orvex.Application: opening files, setting markers and configuring the data server
// from outside.
class CAppControlBus : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.orvex.Orvex.Application")
  public:
    CAppControlBus(CDataServerHost& host, QObject* parent) : QObject(parent), m_host(host) {}

  public slots:
    bool Open(const QString& path) { return m_host.OpenFile(path); }
    bool SetMarker(const QString& which, double seconds) {
        return m_host.SetMarker(which, seconds);
    }
    QString ConfigureDataServer(bool enabled, bool autoMode, int timer, double startSeconds,
                                double endSeconds) {
        auto status = m_host.Configure(enabled, autoMode, timer, startSeconds, endSeconds);
        if (!status) {
            sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                           QStringLiteral("timer must lie between 10 and 40, times be numbers"));
            return {};
        }
        return QString::fromStdString(*status);
    }

  private:
    CDataServerHost& m_host;
};

int32_t TimeOfSeconds(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) return kNotSet;
    const double t = std::round(seconds * 10000.0);
    return t >= 2147483647.0 ? kNotSet : static_cast<int32_t>(t);
}

}  // namespace

CDataServerHost::CDataServerHost(CDataAcqApp& app, IHostServices& host, CMainWindow& window)
    : QObject(&window), m_app(app), m_host(host), m_window(window) {
    m_bus = new CDataServerBus(this);
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    ISuspensionLauncher& launcher = *this;
    IServerClock& clock = *this;
    IPlaybackWindow& playback = *this;
    m_server = std::make_unique<CDDEServer>(app, host, *m_bus, launcher, clock, playback);
    m_bus->Attach(*m_server);
    connect(m_timer, &QTimer::timeout, this, [this] { m_server->OnPlaybackTick(); });

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.registerObject(QString::fromLatin1(kAppBusPath), new CAppControlBus(*this, this),
                           QDBusConnection::ExportAllSlots);

    QAction* damplex = window.GraphMenu()->addAction(QStringLiteral("Damplex"));
    damplex->setStatusTip(QStringLiteral("Set up the data transfer to the suspension program"));
    connect(damplex, &QAction::triggered, this, &CDataServerHost::ShowSetupDialog);
    connect(window.MdiArea(), &QMdiArea::subWindowActivated, this, &CDataServerHost::HookCharts);
    HookCharts();
}

CDataServerHost::~CDataServerHost() {
    m_timer->stop();
    for (CDocumentWindow* w : m_window.Documents()) w->Chart()->Markers().m_postAdvise = nullptr;
}

void CDataServerHost::HookCharts() {
    for (CDocumentWindow* w : m_window.Documents())
        w->Chart()->Markers().m_postAdvise = [this] { return m_server->PostAdviseFromView(); };
}

CDocumentWindow* CDataServerHost::Active() const {
    return m_window.ActiveDocument();
}

void CDataServerHost::ShowSetupDialog() {
    CDocumentWindow* w = Active();
    CBriodashDataset* ds = nullptr;
    if (w) {
        ds = const_cast<CBriodashDataset*>(w->Chart()->State().m_pCurrent);
        if (!ds && !w->Document().ShownDatasets().empty()) ds = w->Document().ShownDatasets()[0];
    }
    CServerSetupWindow dialog(m_app, *m_server, m_host, w ? &w->Document() : nullptr, ds,
                              &m_window);
    dialog.exec();
}

bool CDataServerHost::OpenFile(const QString& path) {
    return m_window.OpenFile(path) != nullptr;
}

bool CDataServerHost::SetMarker(const QString& which, double seconds) {
    CDocumentWindow* w = Active();
    if (!w || !std::isfinite(seconds) || std::fabs(seconds * 10000.0) >= 2147483647.0) return false;
    const auto time = static_cast<int32_t>(std::lround(seconds * 10000.0));
    if (which.compare(QLatin1String("green"), Qt::CaseInsensitive) == 0)
        w->Chart()->PlaceMarker(Marker::Green, time);
    else if (which.compare(QLatin1String("red"), Qt::CaseInsensitive) == 0)
        w->Chart()->PlaceMarker(Marker::Red, time);
    else
        return false;
    return true;
}

std::optional<std::string> CDataServerHost::Configure(bool enabled, bool autoMode, int timer,
                                                      double startSeconds, double endSeconds) {
    if (timer < 10 || timer > 40 || std::isnan(startSeconds) || std::isnan(endSeconds))
        return std::nullopt;
    ServerChoice c;
    c.enabled = enabled;
    c.autoMode = autoMode;
    c.timer = timer;
    c.start = TimeOfSeconds(startSeconds);
    c.end = TimeOfSeconds(endSeconds);
    ApplyServerChoice(m_app, *m_server, m_host, c);
    return m_server->StatusText();
}

// --- Starting the suspension program ---

std::optional<std::string> CDataServerHost::ChooseProgram() {
    const QString path = QFileDialog::getOpenFileName(
        &m_window, QString(), QStringLiteral("Damplexr"), QStringLiteral("All Files (*)"));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

bool CDataServerHost::FileExists(const std::string& path) const {
    return QFileInfo(QString::fromStdString(path)).isFile();
}

std::string CDataServerHost::Start(const std::string& program, const std::vector<std::string>& args,
                                   const std::string& folder) {
    const QFileInfo info(QString::fromStdString(program));
    if (!info.exists()) return std::strerror(ENOENT);
    if (!info.isFile() || !info.isExecutable()) return std::strerror(EACCES);
    QProcess process;
    process.setProgram(info.absoluteFilePath());
    QStringList list;
    for (const std::string& a : args) list << QString::fromStdString(a);
    process.setArguments(list);
    process.setWorkingDirectory(QString::fromStdString(folder));
    qint64 pid = 0;
    if (!process.startDetached(&pid)) {
        const std::string error = process.errorString().toStdString();
        return error.empty() ? std::string("The program could not be started") : error;
    }
    m_pid = pid;
    return "";
}

bool CDataServerHost::IsRunning() const {
    if (m_pid <= 0) return false;
    // A process that ended (or is only a zombie) no longer counts.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(m_pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() && line[close + 2] != 'Z' &&
           line[close + 2] != 'X';
}

// --- Timer and waits ---

bool CDataServerHost::StartTimer(double periodMs) {
    m_timer->start(std::max(1, static_cast<int>(std::lround(periodMs))));
    return m_timer->isActive();
}

void CDataServerHost::StopTimer() {
    m_timer->stop();
}

bool CDataServerHost::WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= timeoutMs) loop.quit();
    });
    poll.start();
    if (!done()) loop.exec();
    QApplication::restoreOverrideCursor();
    return done();
}

// --- The active graph window ---

const CBriodashDataset* CDataServerHost::CurrentDataset() const {
    CDocumentWindow* w = Active();
    if (!w) return nullptr;
    if (const CBriodashDataset* ds = w->Chart()->State().m_pCurrent) return ds;
    auto shown = w->Document().ShownDatasets();
    return shown.empty() ? nullptr : shown.front();
}

int32_t CDataServerHost::GreenMarker() const {
    CDocumentWindow* w = Active();
    return w ? w->Document().m_lGreenTime : kNotSet;
}

void CDataServerHost::ResetAndPlaceGreen(int32_t time) {
    if (CDocumentWindow* w = Active()) {
        w->Chart()->ResetDisplay();
        w->Chart()->PlaceMarker(Marker::Green, time);
    }
}

void CDataServerHost::NudgeGreenRight() {
    if (CDocumentWindow* w = Active()) w->Chart()->Nudge(Marker::Green, 1);
}

void CDataServerHost::ShowMarkerView() {
    if (CDocumentWindow* w = Active())
        if (w->MarkerList()->isHidden()) w->MarkerList()->show();
}

void CDataServerHost::WriteClientValues(std::vector<CAdvReqClient>& clients) {
    CDocumentWindow* w = Active();
    const CBriodashDataset* ds = CurrentDataset();
    if (!w || !ds) return;
    WriteMarkerValues(w->Document(), *ds, w->Chart()->State().IsTimeAxis(),
                      w->MarkerList()->View().m_conv, clients);
}

}  // namespace orvex

#include "DataServerHost.moc"
