#include "app/ui/ServerSetupWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "app/DataAcqApp.h"
#include "app/DataServer.h"
#include "model/Document.h"
#include "model/ViewHints.h"

namespace orvex {

CServerSetupWindow::CServerSetupWindow(CDataAcqApp& app, CDDEServer& server, IHostServices& host,
                                       CBriodashDoc* doc, CBriodashDataset* ds, QWidget* parent)
    : QDialog(parent), m_app(app), m_doc(doc), m_ds(ds) {
    setObjectName(QStringLiteral("DamplexSetup"));
    setWindowTitle(QStringLiteral("Damplex Setup"));
    m_state = std::make_unique<CServerSetupDialog>(app, server, host, PlaybackPositions(doc, ds));

    auto* method = new QGroupBox(QStringLiteral("Update Method"), this);
    m_manual = new QRadioButton(QStringLiteral("Manual Mode"), method);
    m_manual->setObjectName(QStringLiteral("manualMode"));
    m_auto = new QRadioButton(QStringLiteral("Auto Mode"), method);
    m_auto->setObjectName(QStringLiteral("autoMode"));
    auto* methodLayout = new QHBoxLayout(method);
    methodLayout->addWidget(m_manual);
    methodLayout->addWidget(m_auto);

    auto* selection = new QGroupBox(QStringLiteral("Data Selection"), this);
    auto* selectionLayout = new QGridLayout(selection);
    m_start = new QComboBox(selection);
    m_start->setObjectName(QStringLiteral("startPosition"));
    m_end = new QComboBox(selection);
    m_end->setObjectName(QStringLiteral("endPosition"));
    for (const PlaybackPosition& p : m_state->Positions()) {
        m_start->addItem(QString::fromStdString(p.text), p.position);
        m_end->addItem(QString::fromStdString(p.text), p.position);
    }
    selectionLayout->addWidget(new QLabel(QStringLiteral("Start:"), selection), 0, 0);
    selectionLayout->addWidget(m_start, 0, 1);
    selectionLayout->addWidget(new QLabel(QStringLiteral("End:"), selection), 1, 0);
    selectionLayout->addWidget(m_end, 1, 1);

    auto* speed = new QGroupBox(QStringLiteral("Auto-Mode Update Speed"), this);
    auto* speedLayout = new QGridLayout(speed);
    m_speed = new QSlider(Qt::Horizontal, speed);
    m_speed->setObjectName(QStringLiteral("updateSpeed"));
    m_speed->setRange(10, 40);
    m_rate = new QLabel(speed);
    m_rate->setObjectName(QStringLiteral("rate"));
    speedLayout->addWidget(new QLabel(QStringLiteral("Slow"), speed), 0, 0);
    speedLayout->addWidget(m_speed, 0, 1);
    speedLayout->addWidget(new QLabel(QStringLiteral("Fast"), speed), 0, 2);
    speedLayout->addWidget(m_rate, 1, 1, Qt::AlignHCenter);

    m_enable = new QCheckBox(QStringLiteral("Enable Data Transfer"), this);
    m_enable->setObjectName(QStringLiteral("enableTransfer"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setFrameShape(QFrame::StyledPanel);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_apply = buttons->addButton(QStringLiteral("Apply Settings"), QDialogButtonBox::ApplyRole);
    m_apply->setObjectName(QStringLiteral("applySettings"));
    m_sensors = buttons->addButton(QStringLiteral("Sensor Setup"), QDialogButtonBox::ActionRole);
    m_sensors->setObjectName(QStringLiteral("sensorSetup"));
    m_sensors->setEnabled(ds != nullptr);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(method);
    layout->addWidget(selection);
    layout->addWidget(speed);
    layout->addWidget(m_enable);
    layout->addWidget(m_status);
    layout->addWidget(buttons);

    m_statusTimer = new QTimer(this);
    m_statusTimer->setInterval(1000);
    connect(m_statusTimer, &QTimer::timeout, this, [this] {
        m_state->RefreshStatus();
        Refresh();
    });

    auto changed = [this] {
        if (!m_bRefreshing) {
            Read();
            Refresh();
        }
    };
    connect(m_manual, &QRadioButton::toggled, this, changed);
    connect(m_auto, &QRadioButton::toggled, this, changed);
    connect(m_start, &QComboBox::currentIndexChanged, this, changed);
    connect(m_end, &QComboBox::currentIndexChanged, this, changed);
    connect(m_speed, &QSlider::valueChanged, this, changed);
    connect(m_enable, &QCheckBox::toggled, this, changed);
    connect(buttons, &QDialogButtonBox::accepted, this, &CServerSetupWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CServerSetupWindow::reject);
    connect(m_apply, &QPushButton::clicked, this, [this] {
        m_state->Apply();
        Refresh();
    });
    connect(m_sensors, &QPushButton::clicked, this, &CServerSetupWindow::OpenSensorSetup);
    Refresh();
}

CServerSetupWindow::~CServerSetupWindow() = default;

void CServerSetupWindow::Read() {
    m_state->m_bAutoMode = m_auto->isChecked();
    m_state->m_nStart = m_start->currentIndex();
    m_state->m_nEnd = m_end->currentIndex();
    m_state->m_nSlider = m_speed->value();
    m_state->m_bEnable = m_enable->isChecked();
}

void CServerSetupWindow::Refresh() {
    m_bRefreshing = true;
    const CServerSetupDialog& s = *m_state;
    m_manual->setChecked(!s.m_bAutoMode);
    m_auto->setChecked(s.m_bAutoMode);
    m_start->setCurrentIndex(s.m_nStart);
    m_end->setCurrentIndex(s.m_nEnd);
    m_speed->setValue(s.m_nSlider);
    m_enable->setChecked(s.m_bEnable);
    for (QWidget* w : {static_cast<QWidget*>(m_start), static_cast<QWidget*>(m_end),
                       static_cast<QWidget*>(m_speed)})
        w->setEnabled(s.RangeControlsEnabled());
    m_rate->setText(QString::fromStdString(s.RateText()));
    m_status->setText(QString::fromStdString(s.Status()));
    m_apply->setEnabled(s.CanApply());
    if (s.StatusTimerWanted() && !m_statusTimer->isActive()) m_statusTimer->start();
    if (!s.StatusTimerWanted()) m_statusTimer->stop();
    m_bRefreshing = false;
}

void CServerSetupWindow::accept() {
    Read();
    if (!m_state->Ok()) {
        Refresh();
        return;
    }
    m_statusTimer->stop();
    QDialog::accept();
}

void CServerSetupWindow::OpenSensorSetup() {
    if (!m_ds) return;
    const Units units = m_doc ? m_doc->m_options.units : m_app.GetUnits();
    CSensorCalibrationWindow dialog(*m_ds, units, m_app.GetDefaultCarSetup(), this);
    if (dialog.exec() == QDialog::Accepted && m_doc) {
        m_doc->m_bModified = true;
        m_doc->UpdateAllViews(kHintSetupsChanged);
    }
}

CSensorCalibrationWindow::CSensorCalibrationWindow(CBriodashDataset& ds, Units units,
                                                   const CCarSetup& defaults, QWidget* parent)
    : QDialog(parent), m_state(ds, units), m_defaults(defaults) {
    setObjectName(QStringLiteral("SensorCalibration"));
    setWindowTitle(QStringLiteral("Calibrate Sensors for Suspension Analysis"));
    auto* grid = new QGridLayout;
    const char* headers[] = {"Sensor", "Minimum", "Maximum", "Offset", ""};
    for (int c = 0; c < 5; ++c) grid->addWidget(new QLabel(QString::fromUtf8(headers[c])), 0, c);
    for (std::size_t i = 0; i < m_state.m_rows.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        const QString name = QString::fromStdString(m_state.m_rows[i].name);
        grid->addWidget(new QLabel(name), r, 0);
        auto spin = [&](const char* what) {
            auto* s = new QDoubleSpinBox;
            s->setObjectName(name + QString::fromUtf8(what));
            s->setRange(-100000, 100000);
            s->setDecimals(3);
            return s;
        };
        RowWidgets w{spin("Min"), spin("Max"), spin("Offset"),
                     new QCheckBox(QStringLiteral("Invert Sensor"))};
        w.invert->setObjectName(name + QStringLiteral("Invert"));
        grid->addWidget(w.minimum, r, 1);
        grid->addWidget(w.maximum, r, 2);
        grid->addWidget(w.offset, r, 3);
        grid->addWidget(w.invert, r, 4);
        m_rows.push_back(w);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* load =
        buttons->addButton(QStringLiteral("Load Defaults"), QDialogButtonBox::ResetRole);
    connect(load, &QPushButton::clicked, this, [this] {
        Read();
        m_state.LoadDefaults(m_defaults);
        Refresh();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &CSensorCalibrationWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSensorCalibrationWindow::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    Refresh();
}

void CSensorCalibrationWindow::Read() {
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        SensorRow& row = m_state.m_rows[i];
        row.minimum = static_cast<float>(m_rows[i].minimum->value());
        row.maximum = static_cast<float>(m_rows[i].maximum->value());
        row.offset = static_cast<float>(m_rows[i].offset->value());
        row.invert = m_rows[i].invert->isChecked();
    }
}

void CSensorCalibrationWindow::Refresh() {
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const SensorRow& row = m_state.m_rows[i];
        m_rows[i].minimum->setValue(row.minimum);
        m_rows[i].maximum->setValue(row.maximum);
        m_rows[i].offset->setValue(row.offset);
        m_rows[i].invert->setChecked(row.invert);
        for (QWidget* w :
             {static_cast<QWidget*>(m_rows[i].minimum), static_cast<QWidget*>(m_rows[i].maximum),
              static_cast<QWidget*>(m_rows[i].offset), static_cast<QWidget*>(m_rows[i].invert)})
            w->setEnabled(row.present);
    }
}

void CSensorCalibrationWindow::accept() {
    Read();
    m_state.Apply();
    QDialog::accept();
}

}  // namespace orvex
