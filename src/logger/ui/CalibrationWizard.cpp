// The calibration wizard's pages: each step takes the live reading when Next is pressed and
// refuses a reading the calibration cannot use; the last page shows the result.
#include "logger/ui/CalibrationWizard.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWizardPage>
#include <cmath>

namespace orvex {

namespace {

QString ReadingText(const CCalibration& cal, double raw) {
    const CAnalogSetup& s = cal.Original();
    return QStringLiteral("Live reading: %1 counts, shown as %2 %3")
        .arg(std::lround(raw))
        .arg(cal.ValueOf(s, raw), 0, 'f', 2)
        .arg(QString::fromStdString(s.UnitsLabel(cal.GetUnits())));
}

}  // namespace

class CCalibrationStepPage : public QWizardPage {
  public:
    CCalibrationStepPage(CCalibrationWizard& wizard, std::size_t step)
        : QWizardPage(&wizard), m_wizard(wizard), m_step(step) {
        const CalibrationStep& s = wizard.m_cal.Steps()[step];
        setTitle(QStringLiteral("Step %1 of %2: %3")
                     .arg(step + 1)
                     .arg(wizard.m_cal.Steps().size() + 1)
                     .arg(QString::fromStdString(s.title)));
        auto* layout = new QVBoxLayout(this);
        auto* instruction = new QLabel(QString::fromStdString(s.instruction) +
                                           QStringLiteral("\nPress Next when the reading is "
                                                          "steady."),
                                       this);
        instruction->setWordWrap(true);
        layout->addWidget(instruction);
        auto* form = new QFormLayout;
        auto* known = new QDoubleSpinBox(this);
        known->setObjectName(QStringLiteral("KnownValue"));
        known->setDecimals(2);
        known->setRange(-100000.0, 100000.0);
        known->setValue(s.known);
        if (s.valueLabel.empty()) {
            known->setVisible(false);
            form->addRow(
                QStringLiteral("This position reads:"),
                new QLabel(QStringLiteral("%1 %2")
                               .arg(s.known, 0, 'f', 2)
                               .arg(QString::fromStdString(
                                   wizard.m_cal.Original().UnitsLabel(wizard.m_cal.GetUnits()))),
                           this));
        } else {
            form->addRow(QString::fromStdString(s.valueLabel) + QLatin1Char(':'), known);
        }
        layout->addLayout(form);
        auto* reading = new QLabel(this);
        reading->setObjectName(QStringLiteral("Reading"));
        layout->addWidget(reading);
        layout->addStretch(1);
        wizard.m_known.push_back(known);
        wizard.m_readings.push_back(reading);
    }

    bool validatePage() override {
        std::string error;
        const double known = m_wizard.m_known[m_step]->value();
        if (m_wizard.m_cal.Take(m_step, m_wizard.m_reading(), known, error)) return true;
        m_wizard.m_host.Message(error, Icon::Warning);
        return false;
    }

  private:
    CCalibrationWizard& m_wizard;
    std::size_t m_step;
};

class CCalibrationConfirmPage : public QWizardPage {
  public:
    explicit CCalibrationConfirmPage(CCalibrationWizard& wizard)
        : QWizardPage(&wizard), m_wizard(wizard) {
        setTitle(QStringLiteral("Step %1 of %1: Confirm").arg(wizard.m_cal.Steps().size() + 1));
        setFinalPage(true);
        auto* layout = new QVBoxLayout(this);
        wizard.m_result = new QLabel(this);
        wizard.m_result->setObjectName(QStringLiteral("Result"));
        wizard.m_result->setWordWrap(true);
        wizard.m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(wizard.m_result);
        auto* reading = new QLabel(this);
        reading->setObjectName(QStringLiteral("Reading"));
        layout->addWidget(reading);
        layout->addStretch(1);
        wizard.m_readings.push_back(reading);
    }

    void initializePage() override {
        std::string error;
        m_ok = m_wizard.m_cal.Compute(error);
        QString text;
        if (m_ok) {
            text = QStringLiteral("The readings give this calibration of \"%1\":\n\n")
                       .arg(QString::fromStdString(m_wizard.m_cal.Original().m_strDescription));
            for (const std::string& line : m_wizard.m_cal.ResultLines())
                text += QString::fromStdString(line) + QLatin1Char('\n');
            text += QStringLiteral(
                "\nFinish writes it into the channel's setup; Cancel keeps the setup as it was.");
        } else {
            text = QString::fromStdString(error);
        }
        m_wizard.m_result->setText(text);
        emit completeChanged();
    }
    bool isComplete() const override { return m_ok; }

  private:
    CCalibrationWizard& m_wizard;
    bool m_ok = false;
};

CCalibrationWizard::CCalibrationWizard(QWidget* parent, CCalibration& cal,
                                       std::function<double()> reading, IHostServices& host)
    : QWizard(parent), m_cal(cal), m_reading(std::move(reading)), m_host(host) {
    setWindowTitle(QString::fromStdString(cal.Title()));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    for (std::size_t i = 0; i < cal.Steps().size(); ++i)
        setPage(static_cast<int>(i), new CCalibrationStepPage(*this, i));
    setPage(ConfirmId(), new CCalibrationConfirmPage(*this));
    setStartId(0);
    auto* timer = new QTimer(this);
    timer->setInterval(100);
    connect(timer, &QTimer::timeout, this, &CCalibrationWizard::ShowReading);
    connect(this, &QWizard::currentIdChanged, this, &CCalibrationWizard::ShowReading);
    timer->start();
    setMinimumSize(460, 300);
    ShowReading();
}

QDoubleSpinBox* CCalibrationWizard::KnownValue(int step) const {
    return step >= 0 && step < static_cast<int>(m_known.size())
               ? m_known[static_cast<std::size_t>(step)]
               : nullptr;
}

QLabel* CCalibrationWizard::ReadingLabel(int id) const {
    return id >= 0 && id < static_cast<int>(m_readings.size())
               ? m_readings[static_cast<std::size_t>(id)]
               : nullptr;
}

void CCalibrationWizard::ShowReading() {
    const int id = currentId() < 0 ? 0 : currentId();
    QLabel* label = ReadingLabel(id);
    if (!label) return;
    const double raw = m_reading();
    QString text = ReadingText(m_cal, raw);
    std::string error;
    if (id == ConfirmId() && m_cal.Compute(error))
        text = QStringLiteral("With the new calibration the sensor reads %1 %2 now.")
                   .arg(m_cal.ValueOf(m_cal.Result(), raw), 0, 'f', 2)
                   .arg(QString::fromStdString(m_cal.Original().UnitsLabel(m_cal.GetUnits())));
    label->setText(text);
}

// --- CChannelChoiceDialog ------------------------------------------------------------------

CChannelChoiceDialog::CChannelChoiceDialog(QWidget* parent, const QString& title,
                                           const std::vector<std::pair<int, QString>>& channels)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Channels:"), this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("Channels"));
    for (const auto& [channel, name] : channels) {
        auto* item = new QListWidgetItem(name, m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        m_channels.push_back(channel);
    }
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::vector<int> CChannelChoiceDialog::Chosen() const {
    std::vector<int> out;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            out.push_back(m_channels[static_cast<std::size_t>(i)]);
    return out;
}

}  // namespace orvex
