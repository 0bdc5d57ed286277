// The "Channel Menu" dialog.
#include "graph/ui/ChannelMenuDialog.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

#include "host/ui/DialogBinder.h"
#include "ui_ChannelMenuForm.h"

namespace orvex {

namespace {

QColor ToQColor(ColorRef c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QIcon Swatch(ColorRef c) {
    QPixmap pixmap(28, 14);
    pixmap.fill(ToQColor(c));
    QPainter p(&pixmap);
    p.setPen(Qt::gray);
    p.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}

}  // namespace

CChannelMenuDialog::CChannelMenuDialog(QWidget* parent, CChannelMenu& model,
                                       ColourChooser chooseColour)
    : QDialog(parent), m_model(model), m_chooseColour(std::move(chooseColour)) {
    auto* form = new Ui::ChannelMenuForm;
    form->setupUi(this);
    m_list = form->channelList;
    m_list->setIconSize(QSize(28, 14));
    delete form;
    if (!m_chooseColour)
        m_chooseColour = [this](const std::string& title, ColorRef& colour) {
            const QColor c =
                QColorDialog::getColor(ToQColor(colour), this, QString::fromStdString(title));
            if (!c.isValid()) return false;
            colour = MakeRGB(c.red(), c.green(), c.blue());
            return true;
        };
    m_binder = new CDialogBinder(this, model);
    // The binder has told the model first; the rows follow.
    for (const char* name : {"allOn", "allOff", "loadColors", "saveColors"})
        connect(findChild<QPushButton*>(name), &QPushButton::clicked, this,
                &CChannelMenuDialog::RefreshRows);
    connect(findChild<QComboBox*>("session"), &QComboBox::activated, this,
            &CChannelMenuDialog::RefreshRows);
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (m_bFilling) return;
        m_model.SetOn(m_list->row(item), item->checkState() == Qt::Checked);
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CChannelMenuDialog::ChooseColour);
    RefreshRows();
    FitTitle(this);
    adjustSize();
}

void CChannelMenuDialog::RefreshRows() {
    m_bFilling = true;
    const std::vector<CChannelMenu::Row> rows = m_model.Rows();
    if (m_list->count() != static_cast<int>(rows.size())) {
        m_list->clear();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            auto* item = new QListWidgetItem(m_list);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QListWidgetItem* item = m_list->item(static_cast<int>(i));
        item->setText(QString::fromStdString(rows[i].text));
        item->setCheckState(rows[i].on ? Qt::Checked : Qt::Unchecked);
        item->setIcon(Swatch(rows[i].colour));
    }
    m_bFilling = false;
}

void CChannelMenuDialog::ChooseColour(QListWidgetItem* item) {
    const int row = m_list->row(item);
    const std::vector<CChannelMenu::Row> rows = m_model.Rows();
    if (row < 0 || row >= static_cast<int>(rows.size())) return;
    ColorRef colour = rows[static_cast<std::size_t>(row)].colour;
    if (!m_chooseColour(m_model.ColourTitle(row), colour)) return;
    m_model.SetColour(row, colour);
    RefreshRows();
}

CChannelMenu::PathChooser ColorFileChooser(QWidget* parent, const std::string& folder) {
    QPointer<QWidget> owner(parent);
    const QString proposal = QString::fromStdString(folder) + QStringLiteral("/default.col");
    return [owner, proposal](bool save) {
        const QString filter = QStringLiteral("Color Setups (*.col)");
        QString path = save ? QFileDialog::getSaveFileName(owner, QStringLiteral("Save Colors"),
                                                           proposal, filter)
                            : QFileDialog::getOpenFileName(owner, QStringLiteral("Load Colors"),
                                                           QString(), filter);
        if (save && !path.isEmpty() && !path.endsWith(QStringLiteral(".col"), Qt::CaseInsensitive))
            path += QStringLiteral(".col");
        return path.toStdString();
    };
}

}  // namespace orvex
