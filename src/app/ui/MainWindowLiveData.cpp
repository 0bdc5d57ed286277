// "Live Data": the live-data sheet on the chosen port (or, with "LiveDemo", on generated
// readings), working on a copy of the default car setup that OK makes the default again.

#include "app/DataAcqApp.h"
#include "app/ui/MainWindow.h"
#include "logger/link/SerialLine.h"
#include "logger/live/LiveData.h"
#include "logger/live/LiveDataDemo.h"
#include "logger/ui/LiveDataSheet.h"

namespace orvex {

void CMainWindow::ShowLiveData(const std::function<void(QDialog&)>& opened) {
    if (m_bLiveData || m_bRetrieving) return;
    m_bLiveData = true;
    UpdateCommandStates();

    const bool demo = m_app.GetLiveDemo();
    CCarSetup car = m_app.GetDefaultCarSetup();
    if (demo) AddLiveDemoSetups(car, m_app.GetUnits());
    CLinkOptions options;
    options.device = LoggerDevicePath(m_app.GetComPort(), m_app.GetComDevice());
    m_app.ClearAbort();
    auto line = MakePosixSerialLine();
    CLiveDataSheet sheet(*line, m_host, options, car, m_app.GetUnits(), m_app.GetAnalog20Offset(),
                         demo, m_app.GetSharedPort());
    if (sheet.Start()) {
        CLiveDataDialog dialog(this, sheet, m_host);
        if (opened) opened(dialog);
        if (dialog.exec() == QDialog::Accepted)
            CopyLiveSetupsBack(sheet.CarSetup(), m_app.GetDefaultCarSetup(), demo);
    }
    sheet.Close();
    m_bLiveData = false;
    UpdateCommandStates();
}

}  // namespace orvex
