// The "COM Port" dialog.
#include "logger/ui/ComPortDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orvex {

CComPortDialog::CComPortDialog(QWidget* parent, int port) : QDialog(parent), m_nPort(port) {
    setWindowTitle(QStringLiteral("COM Port"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 8; ++i) {
        auto* b = new QRadioButton(QStringLiteral("COM %1").arg(i + 1), this);
        m_buttons[static_cast<std::size_t>(i)] = b;
        group->addButton(b, i + 1);
        grid->addWidget(b, i % 4, i / 4);
    }
    if (port >= 1 && port <= 8) Button(port)->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { m_nPort = id; });
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

}  // namespace orvex
