// The session dialog of the upload.
#include "logger/ui/SessionDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace orvex {

CSessionDialog::CSessionDialog(QWidget* parent, int sessions, int offered) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Select Session to Upload"));
    sessions = std::max(sessions, 1);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    m_last = new QRadioButton(QStringLiteral("Upload Last Recorded Session"), this);
    m_byNumber = new QRadioButton(QStringLiteral("Upload Session Number"), this);
    m_number = new QSpinBox(this);
    m_number->setRange(1, sessions);
    m_number->setValue(offered >= 1 && offered <= sessions ? offered : 1);
    m_number->setEnabled(false);
    m_last->setChecked(true);
    grid->addWidget(m_last, 0, 0, 1, 2);
    grid->addWidget(m_byNumber, 1, 0);
    grid->addWidget(m_number, 1, 1);
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The number field is live only while a session is chosen by number.
    connect(m_byNumber, &QRadioButton::toggled, m_number, &QSpinBox::setEnabled);
}

int CSessionDialog::Choice() const {
    return m_byNumber->isChecked() ? m_number->value() : 0;
}

}  // namespace orvex
