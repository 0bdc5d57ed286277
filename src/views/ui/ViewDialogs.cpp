#include "views/ui/ViewDialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "views/ViewData.h"

namespace orvex {

namespace {

// The four list buttons between the two lists.
QVBoxLayout* ListButtons(QWidget* owner, const std::function<void()>& add,
                         const std::function<void()>& remove, const std::function<void()>& addAll,
                         const std::function<void()>& removeAll) {
    auto* column = new QVBoxLayout;
    const std::pair<const char*, std::function<void()>> buttons[] = {
        {">> Add", add}, {"<< Remove", remove}, {"Add All", addAll}, {"Remove All", removeAll}};
    column->addStretch();
    for (const auto& [text, fn] : buttons) {
        auto* b = new QPushButton(QString::fromUtf8(text), owner);
        b->setObjectName(QString::fromUtf8(text));
        QObject::connect(b, &QPushButton::clicked, owner, fn);
        column->addWidget(b);
    }
    column->addStretch();
    return column;
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

}  // namespace

CViewSessionDialog::CViewSessionDialog(CSessionSelectDialog& model, int32_t green, int32_t red,
                                       QWidget* parent)
    : QDialog(parent), m_model(model), m_lGreen(green), m_lRed(red) {
    setWindowTitle(QString::fromStdString(model.Title()));
    auto* grid = new QGridLayout(this);
    m_available = new QListWidget(this);
    m_available->setObjectName(QStringLiteral("availableList"));
    m_selected = new QListWidget(this);
    m_selected->setObjectName(QStringLiteral("selectedList"));
    grid->addWidget(new QLabel(QStringLiteral("Available Sessions"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Selected Sessions"), this), 0, 2);
    grid->addWidget(m_available, 1, 0);
    grid->addLayout(
        ListButtons(
            this, [this] { m_model.Add(m_available->currentRow()), Refresh(); },
            [this] { m_model.Remove(m_selected->currentRow()), Refresh(); },
            [this] { m_model.AddAll(), Refresh(); }, [this] { m_model.RemoveAll(), Refresh(); }),
        1, 1);
    grid->addWidget(m_selected, 1, 2);
    auto* times = new QGroupBox(QStringLiteral("Select Time Segment"), this);
    auto* form = new QFormLayout(times);
    m_start = new QComboBox(times);
    m_stop = new QComboBox(times);
    form->addRow(QStringLiteral("Start Time"), m_start);
    form->addRow(QStringLiteral("Stop Time"), m_stop);
    grid->addWidget(times, 2, 0, 1, 3);
    grid->addWidget(OkCancel(this), 3, 0, 1, 3);
    connect(m_selected, &QListWidget::currentRowChanged, this, [this] { ShowTimes(); });
    connect(m_start, &QComboBox::currentIndexChanged, this, [this] { StoreTimes(); });
    connect(m_stop, &QComboBox::currentIndexChanged, this, [this] { StoreTimes(); });
    Refresh();
}

void CViewSessionDialog::Refresh() {
    m_available->clear();
    for (const CDatasetList& e : m_model.Available())
        m_available->addItem(QString::fromStdString(e.m_strName));
    const int keep = m_selected->currentRow();
    m_selected->clear();
    for (const CDatasetList& e : m_model.Selected())
        m_selected->addItem(QString::fromStdString(e.m_strName));
    const int n = m_selected->count();
    m_selected->setCurrentRow(m_model.Highlighted() >= 0 ? m_model.Highlighted()
                                                         : std::min(keep < 0 ? 0 : keep, n - 1));
    ShowTimes();
}

void CViewSessionDialog::ShowTimes() {
    m_bFilling = true;
    m_start->clear();
    m_stop->clear();
    const int row = m_selected->currentRow();
    if (row >= 0 && row < static_cast<int>(m_model.Selected().size())) {
        const CDatasetList& e = m_model.Selected()[static_cast<std::size_t>(row)];
        const std::vector<TimeChoice> choices = EntryTimeChoices(e, m_lGreen, m_lRed);
        for (const TimeChoice& c : choices) {
            if (c.text != "End of Data") m_start->addItem(QString::fromStdString(c.text), c.time);
            if (c.text != "Beginning of Data")
                m_stop->addItem(QString::fromStdString(c.text), c.time);
        }
        const int s = m_start->findData(e.m_lStart), t = m_stop->findData(e.m_lEnd);
        m_start->setCurrentIndex(s < 0 ? 0 : s);
        m_stop->setCurrentIndex(t < 0 ? m_stop->count() - 1 : t);
    }
    m_bFilling = false;
}

void CViewSessionDialog::StoreTimes() {
    if (m_bFilling) return;
    const int row = m_selected->currentRow();
    if (row < 0) return;
    m_model.SetTimes(row, m_start->currentData().toInt(), m_stop->currentData().toInt());
}

void CViewSessionDialog::accept() {
    if (!m_model.Accept()) {
        Refresh();
        return;
    }
    QDialog::accept();
}

CChannelDialog::CChannelDialog(CChannelSelectDialog& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setWindowTitle(QStringLiteral("Select which Channels for Histogram"));
    auto* grid = new QGridLayout(this);
    m_available = new QListWidget(this);
    m_available->setObjectName(QStringLiteral("availableList"));
    m_selected = new QListWidget(this);
    m_selected->setObjectName(QStringLiteral("selectedList"));
    grid->addWidget(new QLabel(QStringLiteral("Available Channels"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Selected Channels"), this), 0, 2);
    grid->addWidget(m_available, 1, 0);
    grid->addLayout(
        ListButtons(
            this, [this] { StoreBands(), m_model.Add(m_available->currentRow()), Refresh(); },
            [this] { m_model.Remove(m_selected->currentRow()), m_nShown = -1, Refresh(); },
            [this] { StoreBands(), m_model.AddAll(), Refresh(); },
            [this] { m_model.RemoveAll(), m_nShown = -1, Refresh(); }),
        1, 1);
    grid->addWidget(m_selected, 1, 2);
    auto* setup = new QGroupBox(QStringLiteral("Channel Setup"), this);
    auto* form = new QFormLayout(setup);
    m_min = new QLineEdit(setup);
    m_max = new QLineEdit(setup);
    m_inc = new QLineEdit(setup);
    form->addRow(QStringLiteral("Minimum Value"), m_min);
    form->addRow(QStringLiteral("Maximum Value"), m_max);
    form->addRow(QStringLiteral("Incremental Value"), m_inc);
    grid->addWidget(setup, 2, 0, 1, 3);
    grid->addWidget(OkCancel(this), 3, 0, 1, 3);
    connect(m_selected, &QListWidget::currentRowChanged, this, [this] {
        StoreBands();
        ShowBands();
    });
    Refresh();
}

void CChannelDialog::Refresh() {
    m_available->clear();
    for (const CChannelList& c : m_model.Available())
        m_available->addItem(QString::fromStdString(c.m_strName));
    m_selected->blockSignals(true);
    m_selected->clear();
    for (const CChannelList& c : m_model.Selected())
        m_selected->addItem(QString::fromStdString(c.m_strName));
    m_selected->setCurrentRow(m_selected->count() - 1);
    m_selected->blockSignals(false);
    ShowBands();
}

void CChannelDialog::ShowBands() {
    m_nShown = m_selected->currentRow();
    const bool any = m_nShown >= 0 && m_nShown < static_cast<int>(m_model.Selected().size());
    for (QLineEdit* e : {m_min, m_max, m_inc}) e->setEnabled(any);
    if (!any) {
        for (QLineEdit* e : {m_min, m_max, m_inc}) e->clear();
        return;
    }
    const CChannelList& c = m_model.Selected()[static_cast<std::size_t>(m_nShown)];
    const int d = ChannelDecimals(c);
    m_min->setText(QString::number(c.m_fMinimum, 'f', d));
    m_max->setText(QString::number(c.m_fMaximum, 'f', d));
    m_inc->setText(QString::number(c.m_fIncrement, 'f', d));
}

void CChannelDialog::StoreBands() {
    if (m_nShown < 0 || m_nShown >= static_cast<int>(m_model.Selected().size())) return;
    bool a = false, b = false, c = false;
    const float lo = m_min->text().toFloat(&a), hi = m_max->text().toFloat(&b),
                inc = m_inc->text().toFloat(&c);
    if (a && b && c && inc > 0) m_model.SetBands(m_nShown, lo, hi, inc);
}

void CChannelDialog::accept() {
    StoreBands();
    QDialog::accept();
}

}  // namespace orvex
