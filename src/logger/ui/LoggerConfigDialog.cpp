// The configuration dialog.
#include "logger/ui/LoggerConfigDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <algorithm>
#include <cstdlib>

#include "host/ui/DialogBinder.h"
#include "logger/ui/UpDownButton.h"
#include "ui_ConfigAnalogPage.h"
#include "ui_ConfigRpmPage.h"
#include "ui_ConfigSwitchPage.h"
#include "ui_ConfigTimerPage.h"
#include "ui_LoggerConfigDialog.h"

namespace orvex {

namespace {

template <class Form>
QWidget* MakePage() {
    auto* page = new QWidget;
    Form form;
    form.setupUi(page);
    return page;
}

// Captions follow the controls they name: a hidden field hides its caption, and the trigger
// box goes with its buttons.
void SyncCaptions(QWidget* page) {
    for (QLabel* label : page->findChildren<QLabel*>())
        if (QWidget* buddy = label->buddy()) label->setVisible(!buddy->isHidden());
    if (auto* box = page->findChild<QGroupBox*>(QStringLiteral("triggerBox"))) {
        bool any = false;
        for (QRadioButton* b : box->findChildren<QRadioButton*>()) any = any || !b->isHidden();
        box->setVisible(any);
    }
}

}  // namespace

CLoggerConfigDialog::CLoggerConfigDialog(QWidget* parent, CLoggerConfigSheet& sheet)
    : QDialog(parent), m_ui(std::make_unique<Ui::LoggerConfigDialog>()), m_sheet(sheet) {
    m_ui->setupUi(this);
    m_pages[kTabRpm] = MakePage<Ui::ConfigRpmPage>();
    m_pages[kTabAnalog] = MakePage<Ui::ConfigAnalogPage>();
    m_pages[kTabSwitches] = MakePage<Ui::ConfigSwitchPage>();
    m_pages[kTabTimers] = MakePage<Ui::ConfigTimerPage>();
    for (int e = 0; e < CTachConfig::kEquations; ++e)
        m_pages[static_cast<std::size_t>(kTabAutoStart + e)] = BuildEquationPage(e);
    for (int tab = 0; tab < kConfigTabs; ++tab) {
        QWidget* page = m_pages[static_cast<std::size_t>(tab)];
        page->setObjectName(QStringLiteral("page%1").arg(tab));
        m_ui->tabs->addTab(page, QString::fromLatin1(kConfigTabNames[tab]));
    }
    m_binder = new CDialogBinder(this, sheet);
    connect(m_binder, &CDialogBinder::Handled, this, &CLoggerConfigDialog::RefreshAll);
    for (int tab = 0; tab < kConfigTabs; ++tab) {
        auto* b = new CDialogBinder(m_pages[static_cast<std::size_t>(tab)], sheet.Page(tab));
        m_pageBinders[static_cast<std::size_t>(tab)] = b;
        connect(b, &CDialogBinder::Handled, this, &CLoggerConfigDialog::RefreshAll);
    }
    if (auto* spin = Control<CUpDownButton>(kTabRpm, "pulsesSpin"))
        connect(spin, &CUpDownButton::Stepped, this, [this](int step) {
            auto& rpm = static_cast<CConfigureRPMPage&>(m_sheet.ChannelPage(kTabRpm));
            const int pulses = std::clamp(std::atoi(rpm.m_pulses.text.c_str()) + step, 1, 20);
            rpm.OnPulses(std::to_string(pulses));
            RefreshAll();
        });
    connect(m_ui->tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (m_bRefreshing) return;
        m_sheet.SelectTab(tab);
        RefreshAll();
        m_ui->tabs->setFocus();
    });
    m_ui->report->installEventFilter(this);
    m_ui->report->viewport()->installEventFilter(this);
    RefreshAll();
}

CLoggerConfigDialog::~CLoggerConfigDialog() = default;

QTabWidget* CLoggerConfigDialog::Tabs() const {
    return m_ui->tabs;
}
QPlainTextEdit* CLoggerConfigDialog::Report() const {
    return m_ui->report;
}
QPushButton* CLoggerConfigDialog::RetrieveButton() const {
    return m_ui->retrieve;
}
QPushButton* CLoggerConfigDialog::SendButton() const {
    return m_ui->send;
}
QPushButton* CLoggerConfigDialog::OkButton() const {
    return m_ui->buttonBox->button(QDialogButtonBox::Ok);
}

QWidget* CLoggerConfigDialog::BuildEquationPage(int e) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    auto* caption =
        new QLabel(QStringLiteral("On = (X1 && X2 && X3) + (X4 && X5 && X6) + (X7 && X8 && X9)"));
    caption->setTextFormat(Qt::PlainText);
    grid->addWidget(caption, 0, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Selected Channel")), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Operator")), 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Value")), 1, 3);
    for (int k = 1; k <= CTachConfig::kTerms; ++k) {
        auto* row = new QCheckBox(QStringLiteral("X%1=").arg(k));
        row->setObjectName(QStringLiteral("row%1").arg(k));
        auto* channel = new QComboBox;
        channel->setObjectName(QStringLiteral("channel%1").arg(k));
        channel->setMinimumWidth(170);
        channel->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        auto* op = new QComboBox;
        op->setObjectName(QStringLiteral("operator%1").arg(k));
        op->setMinimumWidth(70);
        auto* value = new QLineEdit;
        value->setObjectName(QStringLiteral("value%1").arg(k));
        value->setMaximumWidth(90);
        grid->addWidget(row, k + 1, 0);
        grid->addWidget(channel, k + 1, 1);
        grid->addWidget(op, k + 1, 2);
        grid->addWidget(value, k + 1, 3);
    }
    auto* autoStart = new QHBoxLayout;
    auto* recordFor = new QCheckBox(QStringLiteral("Record for"));
    recordFor->setObjectName(QStringLiteral("recordFor"));
    auto* minutes = new QLineEdit;
    minutes->setObjectName(QStringLiteral("minutes"));
    minutes->setMaximumWidth(60);
    auto* minutesCaption = new QLabel(QStringLiteral("minutes"));
    minutesCaption->setBuddy(minutes);
    auto* pause = new QCheckBox(QStringLiteral("then Pause."));
    pause->setObjectName(QStringLiteral("pause"));
    autoStart->addWidget(recordFor);
    autoStart->addWidget(minutes);
    autoStart->addWidget(minutesCaption);
    autoStart->addWidget(pause);
    autoStart->addStretch();
    grid->addLayout(autoStart, CTachConfig::kTerms + 2, 0, 1, 4);
    grid->setRowStretch(CTachConfig::kTerms + 3, 1);
    grid->setColumnStretch(1, 1);
    if (e != 0) minutesCaption->hide();
    return page;
}

void CLoggerConfigDialog::ShowTab(int tab) {
    m_ui->tabs->setCurrentIndex(tab);
}

void CLoggerConfigDialog::RefreshAll() {
    if (m_bRefreshing) return;
    m_bRefreshing = true;
    QScrollBar* bar = m_ui->report->verticalScrollBar();
    const int keep = bar->value();
    m_binder->Refresh();
    for (CDialogBinder* b : m_pageBinders) b->Refresh();
    for (QWidget* page : m_pages) SyncCaptions(page);
    if (m_ui->tabs->currentIndex() != m_sheet.CurrentTab())
        m_ui->tabs->setCurrentIndex(m_sheet.CurrentTab());
    const int line = m_sheet.TakeScrollLine();
    bar->setValue(line >= 0 ? line : keep);
    for (int e = 0; e < CTachConfig::kEquations; ++e) {
        const std::string focus = m_sheet.EquationPage(e).TakeFocus();
        if (focus.empty()) continue;
        if (auto* w =
                PageWidget(kTabAutoStart + e)->findChild<QWidget*>(QString::fromStdString(focus)))
            w->setFocus();
    }
    m_bRefreshing = false;
}

void CLoggerConfigDialog::ReportChosen() {
    m_sheet.ReportLineChosen(m_ui->report->textCursor().blockNumber());
    RefreshAll();
    m_ui->tabs->setFocus();
}

bool CLoggerConfigDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->report->viewport() && event->type() == QEvent::MouseButtonRelease) {
        ReportChosen();
    } else if (watched == m_ui->report && event->type() == QEvent::FocusIn) {
        // Reached by the keyboard: the line of the caret.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) ReportChosen();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orvex
