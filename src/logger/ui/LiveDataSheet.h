// "View Live Data from Data Logger": the live-data sheet's pages of gauges in tabs, the 25 ms
// poll on the event loop, the "Calibrate" / "ReConnect" button and the calibration wizards.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "host/HostServices.h"
#include "logger/live/Calibration.h"
#include "logger/live/LiveData.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace orvex {

class CGauge;
class CCarOutline;

class CLiveDataDialog : public QDialog {
    Q_OBJECT
  public:
    using Channels = std::vector<std::pair<int, QString>>;
    // Picks channels from a list (null: cancelled).
    using ChannelChooser =
        std::function<std::optional<std::vector<int>>(const QString& title, const Channels&)>;
    // Runs a wizard on `cal` with the live `reading`; true when it ended with Finish.
    using WizardRunner = std::function<bool(CCalibration& cal, std::function<double()> reading)>;

    // `sheet` has been started. The poll timer runs from the moment the dialog is shown.
    CLiveDataDialog(QWidget* parent, CLiveDataSheet& sheet, IHostServices& host);
    ~CLiveDataDialog() override;

    CLiveDataSheet& Sheet() const { return m_sheet; }
    QTabWidget* Tabs() const { return m_tabs; }
    QPushButton* CalibrateButton() const { return m_calibrate; }
    QPushButton* WizardButton() const { return m_wizard; }
    QLabel* StatusLabel() const { return m_status; }
    bool Polling() const { return m_timer.isActive(); }
    // The gauges of page `index`, in the order of its channels, and its car outline (or null).
    const std::vector<CGauge*>& Gauges(int index) const;
    CCarOutline* Car(int index) const;
    // Shows the first page titled `title`; false when there is none.
    bool ShowPage(const QString& title);
    // One tick of the poll timer: poll, show the readings, restart or stop.
    void Tick();
    // Sets the gauges of the active page from its readings.
    void ShowReadings();
    // The calibration choices and wizards without modal windows (tests).
    void SetChannelChooser(ChannelChooser chooser) { m_chooser = std::move(chooser); }
    void SetWizardRunner(WizardRunner runner) { m_runner = std::move(runner); }
    // The wizard of one channel of the active page, as "Calibrate" / "Calibration Wizard..."
    // run it; true when its result went into the working setup.
    bool CalibrateChannel(int channel);

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    struct PageWidgets {
        std::vector<CGauge*> gauges;
        CCarOutline* car = nullptr;
    };
    void BuildPage(CLivePropertyPage& page);
    void PageChanged(int index);
    void UpdateButtons();
    void CalibrateClicked();
    void WizardClicked();
    Channels ChannelsOf(const CLivePropertyPage& page) const;
    std::optional<std::vector<int>> Choose(const QString& title, const Channels& channels);

    CLiveDataSheet& m_sheet;
    IHostServices& m_host;
    QTabWidget* m_tabs = nullptr;
    QPushButton* m_calibrate = nullptr;
    QPushButton* m_wizard = nullptr;
    QLabel* m_status = nullptr;
    std::vector<PageWidgets> m_pages;
    QTimer m_timer;
    ChannelChooser m_chooser;
    WizardRunner m_runner;
};

}  // namespace orvex
