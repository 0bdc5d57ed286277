// The "Damplex Setup" dialog and its "Calibrate Sensors for Suspension Analysis" dialog: widgets
// bound to the dialogs' core state.
#pragma once

#include <QDialog>
#include <memory>

#include "app/SensorCalibration.h"
#include "app/ServerSetupDialog.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;

namespace orvex {

class CBriodashDoc;

class CServerSetupWindow : public QDialog {
    Q_OBJECT
  public:
    CServerSetupWindow(CDataAcqApp& app, CDDEServer& server, IHostServices& host, CBriodashDoc* doc,
                       CBriodashDataset* ds, QWidget* parent = nullptr);
    ~CServerSetupWindow() override;

    CServerSetupDialog& State() { return *m_state; }
    // The widgets show the core state again.
    void Refresh();

  public slots:
    void accept() override;

  private:
    void Read();
    void OpenSensorSetup();

    CDataAcqApp& m_app;
    CBriodashDoc* m_doc;
    CBriodashDataset* m_ds;
    std::unique_ptr<CServerSetupDialog> m_state;
    QRadioButton* m_manual = nullptr;
    QRadioButton* m_auto = nullptr;
    QComboBox* m_start = nullptr;
    QComboBox* m_end = nullptr;
    QSlider* m_speed = nullptr;
    QLabel* m_rate = nullptr;
    QCheckBox* m_enable = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_sensors = nullptr;
    QTimer* m_statusTimer = nullptr;
    bool m_bRefreshing = false;
};

class CSensorCalibrationWindow : public QDialog {
    Q_OBJECT
  public:
    CSensorCalibrationWindow(CBriodashDataset& ds, Units units, const CCarSetup& defaults,
                             QWidget* parent = nullptr);
    CSensorCalibration& State() { return m_state; }
    void Refresh();

  public slots:
    void accept() override;

  private:
    void Read();
    struct RowWidgets {
        QDoubleSpinBox* minimum;
        QDoubleSpinBox* maximum;
        QDoubleSpinBox* offset;
        QCheckBox* invert;
    };
    CSensorCalibration m_state;
    const CCarSetup& m_defaults;
    std::vector<RowWidgets> m_rows;
};

}  // namespace orvex
