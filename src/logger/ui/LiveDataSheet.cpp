// The live-data sheet's window: one tab per page with the instruments of its channels, and the
// poll timer that brings new readings every 25 ms while the link holds.
#include "logger/ui/LiveDataSheet.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "logger/ui/CalibrationWizard.h"
#include "logger/ui/Gauges.h"

namespace orvex {

namespace {

int DecimalsOf(int resolution) {
    return resolution >= 1000 ? 3 : resolution >= 100 ? 2 : resolution >= 10 ? 1 : 0;
}

bool IsLateral(const std::string& name) {
    return name.find("LEFT") != std::string::npos || name.find("LAT") != std::string::npos;
}
bool IsVertical(const std::string& name) {
    return name.find("UP") != std::string::npos;
}

}  // namespace

CLiveDataDialog::CLiveDataDialog(QWidget* parent, CLiveDataSheet& sheet, IHostServices& host)
    : QDialog(parent), m_sheet(sheet), m_host(host) {
    setWindowTitle(QStringLiteral("View Live Data from Data Logger"));
    setObjectName(QStringLiteral("LiveDataSheet"));
    auto* layout = new QVBoxLayout(this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("LiveStatus"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    auto* row = new QHBoxLayout;
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("LivePages"));
    // Every page's tab in sight: the sheet grows to its tab row instead of scrolling it.
    m_tabs->setUsesScrollButtons(false);
    row->addWidget(m_tabs, 1);
    auto* side = new QVBoxLayout;
    m_calibrate = new QPushButton(QString::fromStdString(sheet.ButtonCaption()), this);
    m_calibrate->setObjectName(QStringLiteral("CalibrateButton"));
    m_wizard = new QPushButton(QStringLiteral("Calibration Wizard..."), this);
    m_wizard->setObjectName(QStringLiteral("WizardButton"));
    side->addSpacing(28);
    side->addWidget(m_calibrate);
    side->addWidget(m_wizard);
    side->addStretch(1);
    row->addLayout(side);
    layout->addLayout(row, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    for (auto& page : sheet.Pages()) BuildPage(*page);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CLiveDataDialog::PageChanged);
    connect(m_calibrate, &QPushButton::clicked, this, &CLiveDataDialog::CalibrateClicked);
    connect(m_wizard, &QPushButton::clicked, this, &CLiveDataDialog::WizardClicked);

    // One poll at a time on this thread: the timer is single shot and restarted after each
    // poll, so a slow logger stretches the interval instead of stacking ticks.
    m_timer.setSingleShot(true);
    m_timer.setInterval(CLiveDataSheet::kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &CLiveDataDialog::Tick);
    if (!sheet.Pages().empty()) PageChanged(0);
    resize(760, 460);
}

CLiveDataDialog::~CLiveDataDialog() {
    m_timer.stop();
}

void CLiveDataDialog::BuildPage(CLivePropertyPage& page) {
    auto* widget = new QWidget(m_tabs);
    auto* grid = new QGridLayout(widget);
    PageWidgets built;
    const CCarSetup& car = m_sheet.CarSetup();
    const Units units = m_sheet.GetUnits();
    int column = 0, row = 0;
    const int columns =
        page.Kind() == LivePageKind::Egts || page.Kind() == LivePageKind::MiscAnalogs ? 4 : 5;
    int firstColumn = 0;
    if (page.Kind() == LivePageKind::Shocks || page.Kind() == LivePageKind::Accels) {
        built.car = new CCarOutline(widget);
        built.car->setObjectName(QStringLiteral("CarOutline"));
        built.car->ShowAccel(page.Kind() == LivePageKind::Accels);
        grid->addWidget(built.car, 0, 0, 2, 1);
        firstColumn = column = 1;
    }
    for (const LiveGauge& g : page.Gauges()) {
        CGauge* gauge = nullptr;
        const QString name = QString::fromStdString(g.m_strName);
        switch (page.Kind()) {
            case LivePageKind::RpmMph: {
                gauge = new CDialGauge(widget);
                const CFreqSetup* s = car.FindRpmSetup(g.m_nChannel);
                const bool speed = s && s->HasTireSize() && s->m_nDisplayMode == kDisplaySpeed;
                if (speed) {
                    gauge->SetRange(0, units == Units::Metric ? 320 : 200);
                    gauge->SetDecimals(0);
                    gauge->SetCaption(name + (units == Units::Metric ? QStringLiteral(" (KPH)")
                                                                     : QStringLiteral(" (MPH)")));
                } else {
                    gauge->SetRange(0, 10);
                    gauge->SetDecimals(2);
                    gauge->SetCaption(name + QStringLiteral(" (x1000)"));
                }
                break;
            }
            case LivePageKind::RpmSensors:
                gauge = new CLedIndicator(widget);
                gauge->SetCaption(name);
                break;
            case LivePageKind::Switches:
                if (g.m_nChannel >= 5)
                    gauge = new CLedIndicator(widget);
                else
                    gauge = new CToggleSwitch(widget);
                gauge->SetCaption(name);
                break;
            default: {
                const CAnalogSetup* s = car.FindAnalogSetup(g.m_nChannel);
                const bool bar =
                    page.Kind() == LivePageKind::Shocks || page.Kind() == LivePageKind::Egts;
                gauge = bar ? static_cast<CGauge*>(new CBarGauge(widget)) : new CDialGauge(widget);
                double low = s ? s->GetMinimum(units) : 0.0, high = s ? s->GetMaximum(units) : 1.0;
                if (page.Kind() == LivePageKind::Pressures) low = 0;
                if (page.Kind() == LivePageKind::Accels) {
                    low = IsVertical(g.m_strName) ? -1 : -2;
                    high = IsVertical(g.m_strName) ? 3 : 2;
                }
                if (low > high) std::swap(low, high);
                gauge->SetRange(low, high);
                gauge->SetDecimals(
                    page.Kind() == LivePageKind::Accels ? 2 : DecimalsOf(s ? s->m_nResolution : 1));
                QString caption = name;
                if (s && !s->UnitsLabel(units).empty())
                    caption += QStringLiteral(" (") + QString::fromStdString(s->UnitsLabel(units)) +
                               QLatin1Char(')');
                gauge->SetCaption(caption);
                break;
            }
        }
        gauge->setObjectName(QStringLiteral("Gauge%1").arg(g.m_nChannel));
        grid->addWidget(gauge, row, column);
        if (++column >= columns + firstColumn) {
            column = firstColumn;
            ++row;
        }
        built.gauges.push_back(gauge);
    }
    m_pages.push_back(built);
    m_tabs->addTab(widget, QString::fromStdString(page.Title()));
}

const std::vector<CGauge*>& CLiveDataDialog::Gauges(int index) const {
    static const std::vector<CGauge*> none;
    return index >= 0 && index < static_cast<int>(m_pages.size())
               ? m_pages[static_cast<std::size_t>(index)].gauges
               : none;
}

CCarOutline* CLiveDataDialog::Car(int index) const {
    return index >= 0 && index < static_cast<int>(m_pages.size())
               ? m_pages[static_cast<std::size_t>(index)].car
               : nullptr;
}

bool CLiveDataDialog::ShowPage(const QString& title) {
    for (int i = 0; i < m_tabs->count(); ++i)
        if (m_tabs->tabText(i) == title) {
            m_tabs->setCurrentIndex(i);
            return true;
        }
    return false;
}

void CLiveDataDialog::PageChanged(int index) {
    if (index < 0) return;
    // A page change between two polls: the old page's channels are deselected and the new
    // page's selected before the next poll.
    m_sheet.ActivatePage(index);
    ShowReadings();
    UpdateButtons();
}

void CLiveDataDialog::UpdateButtons() {
    m_calibrate->setText(QString::fromStdString(m_sheet.ButtonCaption()));
    const int active = m_sheet.ActivePage();
    const bool valid = active >= 0 && active < static_cast<int>(m_sheet.Pages().size());
    const LivePageKind kind =
        valid ? m_sheet.Pages()[static_cast<std::size_t>(active)]->Kind() : LivePageKind::RpmMph;
    const bool calibrates = kind == LivePageKind::Accels || kind == LivePageKind::Shocks ||
                            kind == LivePageKind::MiscAnalogs;
    m_calibrate->setEnabled(m_sheet.IsDisconnected() || (valid && calibrates));
    m_wizard->setVisible(valid && (kind == LivePageKind::Accels || kind == LivePageKind::Shocks));
    m_wizard->setEnabled(!m_sheet.IsDisconnected());
    if (m_sheet.IsDisconnected())
        m_status->setText(QStringLiteral(
            "The link to the data logger is lost; the last readings are shown. Press "
            "ReConnect to carry on."));
    else if (m_sheet.IsDemo())
        m_status->setText(
            QStringLiteral("Demonstration: generated readings, no data logger is connected."));
    else
        m_status->setText(QStringLiteral("Live readings from the data logger."));
}

void CLiveDataDialog::ShowReadings() {
    const int active = m_sheet.ActivePage();
    if (active < 0 || active >= static_cast<int>(m_sheet.Pages().size())) return;
    const CLivePropertyPage& page = *m_sheet.Pages()[static_cast<std::size_t>(active)];
    PageWidgets& widgets = m_pages[static_cast<std::size_t>(active)];
    const CCarSetup& car = m_sheet.CarSetup();
    const Units units = m_sheet.GetUnits();
    double lateral = 0, longitudinal = 0;
    int corner = 0;
    for (std::size_t i = 0; i < page.Gauges().size() && i < widgets.gauges.size(); ++i) {
        const LiveGauge& g = page.Gauges()[i];
        CGauge* gauge = widgets.gauges[i];
        switch (page.Kind()) {
            case LivePageKind::RpmSensors:
                gauge->SetValue(g.m_bIndicator ? 1 : 0);
                break;
            case LivePageKind::Switches:
                gauge->SetValue(g.m_bIndicator ? 1 : 0);
                if (g.m_nChannel >= 5) {
                    const QString caption = QString::fromStdString(g.m_strCaption);
                    gauge->SetCaption(caption.startsWith(QStringLiteral("Last Time"))
                                          ? QString::fromStdString(g.m_strName) +
                                                QLatin1Char('\n') + caption
                                          : caption);
                }
                break;
            default:
                gauge->SetValue(g.m_fValue);
                break;
        }
        if (widgets.car && page.Kind() == LivePageKind::Shocks && corner < 4) {
            const CAnalogSetup* s = car.FindAnalogSetup(g.m_nChannel);
            widgets.car->SetShock(corner++, g.m_fValue, s ? s->GetMinimum(units) : 0,
                                  s ? s->GetMaximum(units) : 1);
        }
        if (page.Kind() == LivePageKind::Accels) {
            if (IsLateral(g.m_strName))
                lateral = g.m_fValue;
            else if (!IsVertical(g.m_strName))
                longitudinal = g.m_fValue;
        }
    }
    if (widgets.car && page.Kind() == LivePageKind::Accels)
        widgets.car->SetAccel(lateral, longitudinal, 2.0);
}

void CLiveDataDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_sheet.IsDisconnected() && !m_timer.isActive()) m_timer.start();
}

void CLiveDataDialog::done(int result) {
    m_timer.stop();
    QDialog::done(result);
}

void CLiveDataDialog::Tick() {
    const bool kept = m_sheet.Poll();
    ShowReadings();
    if (kept) {
        if (isVisible()) m_timer.start();
        return;
    }
    // The link is lost: the page keeps its last readings and the button offers ReConnect.
    UpdateButtons();
}

CLiveDataDialog::Channels CLiveDataDialog::ChannelsOf(const CLivePropertyPage& page) const {
    Channels out;
    for (const LiveGauge& g : page.Gauges())
        out.emplace_back(g.m_nChannel, QString::fromStdString(g.m_strName));
    return out;
}

std::optional<std::vector<int>> CLiveDataDialog::Choose(const QString& title,
                                                        const Channels& channels) {
    if (m_chooser) return m_chooser(title, channels);
    CChannelChoiceDialog dialog(this, title, channels);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Chosen();
}

bool CLiveDataDialog::CalibrateChannel(int channel) {
    const int active = m_sheet.ActivePage();
    if (active < 0 || active >= static_cast<int>(m_sheet.Pages().size())) return false;
    const LivePageKind kind = m_sheet.Pages()[static_cast<std::size_t>(active)]->Kind();
    CAnalogSetup* setup = m_sheet.CarSetup().FindAnalogSetup(channel);
    if (!setup) return false;
    const CalibrationKind wizard = kind == LivePageKind::Accels   ? CalibrationKind::Accel
                                   : kind == LivePageKind::Shocks ? CalibrationKind::Shock
                                                                  : CCalibration::KindFor(*setup);
    CCalibration cal(wizard, *setup, m_sheet.GetUnits(), m_sheet.VoltageCorrection());
    auto reading = [this, kind, channel] {
        const LiveGauge* g = m_sheet.FindGauge(kind, channel);
        return g ? LiveMean(*g) : 0.0;
    };
    bool finished = false;
    if (m_runner) {
        finished = m_runner(cal, reading);
    } else {
        CCalibrationWizard dialog(this, cal, reading, m_host);
        finished = dialog.exec() == QDialog::Accepted;
    }
    if (!finished) return false;
    cal.ApplyTo(*setup);
    return true;
}

void CLiveDataDialog::CalibrateClicked() {
    if (m_sheet.IsDisconnected()) {
        if (m_sheet.Reconnect()) m_timer.start();
        UpdateButtons();
        return;
    }
    const int active = m_sheet.ActivePage();
    if (active < 0 || active >= static_cast<int>(m_sheet.Pages().size())) return;
    const CLivePropertyPage& page = *m_sheet.Pages()[static_cast<std::size_t>(active)];
    switch (page.Kind()) {
        case LivePageKind::Accels:
            m_sheet.CalibrateAccels();
            break;
        case LivePageKind::Shocks:
            if (auto chosen = Choose(QStringLiteral("Zero Shocks"), ChannelsOf(page)))
                m_sheet.CalibrateShocks(*chosen);
            break;
        case LivePageKind::MiscAnalogs:
            if (auto chosen = Choose(QStringLiteral("Calibrate Sensors"), ChannelsOf(page)))
                for (int channel : *chosen) CalibrateChannel(channel);
            break;
        default:
            break;
    }
}

void CLiveDataDialog::WizardClicked() {
    const int active = m_sheet.ActivePage();
    if (active < 0 || active >= static_cast<int>(m_sheet.Pages().size())) return;
    const CLivePropertyPage& page = *m_sheet.Pages()[static_cast<std::size_t>(active)];
    if (auto chosen = Choose(QStringLiteral("Calibrate Sensors"), ChannelsOf(page)))
        for (int channel : *chosen) CalibrateChannel(channel);
}

}  // namespace orvex
