// The calibration wizards of the live-data sheet (one page per reading step and a page that
// shows the new calibration before Finish applies it), and the list from which the channels to
// zero or calibrate are chosen.
#pragma once

#include <QDialog>
#include <QWizard>
#include <functional>
#include <utility>
#include <vector>

#include "host/HostServices.h"
#include "logger/live/Calibration.h"

class QLabel;
class QListWidget;
class QDoubleSpinBox;

namespace orvex {

class CCalibrationWizard : public QWizard {
    Q_OBJECT
  public:
    // `reading` gives the channel's current raw mean. Finish leaves the result in `cal`; the
    // caller applies it. Cancel leaves everything as it was.
    CCalibrationWizard(QWidget* parent, CCalibration& cal, std::function<double()> reading,
                       IHostServices& host);

    CCalibration& Calibration() { return m_cal; }
    // The step pages (ids 0..n-1) and the confirm page (id n).
    int ConfirmId() const { return static_cast<int>(m_cal.Steps().size()); }
    QDoubleSpinBox* KnownValue(int step) const;
    QLabel* ReadingLabel(int id) const;
    QLabel* ResultLabel() const { return m_result; }
    // Refreshes the live reading shown on the current page.
    void ShowReading();

  private:
    friend class CCalibrationStepPage;
    friend class CCalibrationConfirmPage;
    CCalibration& m_cal;
    std::function<double()> m_reading;
    IHostServices& m_host;
    std::vector<QDoubleSpinBox*> m_known;
    std::vector<QLabel*> m_readings;
    QLabel* m_result = nullptr;
};

// A list of channels with a check box each; OK returns the checked ones.
class CChannelChoiceDialog : public QDialog {
    Q_OBJECT
  public:
    CChannelChoiceDialog(QWidget* parent, const QString& title,
                         const std::vector<std::pair<int, QString>>& channels);
    std::vector<int> Chosen() const;
    QListWidget* List() const { return m_list; }

  private:
    QListWidget* m_list = nullptr;
    std::vector<int> m_channels;
};

}  // namespace orvex
