// "Setup Data Logger's Channels" and "Update Firmware on Data Logger": the configuration and
// firmware dialogs on the application's stored configurations and the logger's port.

#include "app/DataAcqApp.h"
#include "app/ProgramData.h"
#include "app/ui/MainWindow.h"
#include "logger/config/ConfigSheet.h"
#include "logger/firmware/FirmwareForm.h"
#include "logger/link/SerialLine.h"
#include "logger/ui/FirmwareDialog.h"
#include "logger/ui/LoggerConfigDialog.h"

namespace orvex {

namespace {

// Marks the port as held while a dialog talks to the logger.
class LoggerDialogScope {
  public:
    LoggerDialogScope(bool& flag, CMainWindow& window) : m_flag(flag), m_window(window) {
        m_flag = true;
        m_window.UpdateCommandStates();
    }
    ~LoggerDialogScope() {
        m_flag = false;
        m_window.UpdateCommandStates();
    }
    LoggerDialogScope(const LoggerDialogScope&) = delete;
    LoggerDialogScope& operator=(const LoggerDialogScope&) = delete;

  private:
    bool& m_flag;
    CMainWindow& m_window;
};

}  // namespace

void CMainWindow::SetupLoggerChannels() {
    if (LoggerBusy()) return;
    LoggerDialogScope busy(m_bLoggerDialog, *this);
    std::array<CTachConfig, 4> configs;
    for (int i = 0; i < 4; ++i) configs[static_cast<std::size_t>(i)] = m_app.GetLoggerConfig(i);
    CLinkOptions link;
    link.device = LoggerDevicePath(m_app.GetComPort(), m_app.GetComDevice());
    m_app.ClearAbort();
    CLoggerConfigSheet sheet(configs, m_app.GetRecordSegments(), m_app.GetEquationChannels(),
                             m_host, link, m_app.GetSharedPort());
    CLoggerConfigDialog dlg(this, sheet);
    if (dlg.exec() != QDialog::Accepted) return;
    m_app.SetRecordSegments(sheet.Segments());
    for (int i = 0; i < 4; ++i)
        m_app.SetLoggerConfig(i, sheet.Configs()[static_cast<std::size_t>(i)]);
}

void CMainWindow::UpdateFirmware() {
    if (LoggerBusy()) return;
    LoggerDialogScope busy(m_bLoggerDialog, *this);
    CLinkOptions link;
    link.device = LoggerDevicePath(m_app.GetComPort(), m_app.GetComDevice());
    auto line = MakePosixSerialLine();
    CFirmwareDlg core(*line, m_host, link, m_app.GetSharedPort(), FirmwareFolder(),
                      QtFolderChooser(this));
    CFirmwareForm form(core);
    CFirmwareDialog dlg(this, form);
    dlg.Run();
}

}  // namespace orvex
