#include "logger/ui/UpDownButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace orvex {

CUpDownButton::CUpDownButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
}

QSize CUpDownButton::sizeHint() const {
    return {16, 22};
}

void CUpDownButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    const int half = height() / 2;
    style()->drawPrimitive(QStyle::PE_PanelButtonTool, &option, &painter, this);
    option.rect = QRect(0, 0, width(), half);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowUp, &option, &painter, this);
    option.rect = QRect(0, half, width(), height() - half);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &painter, this);
}

void CUpDownButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled())
        emit Stepped(event->position().y() < height() / 2.0 ? 1 : -1);
    QAbstractButton::mousePressEvent(event);
}

}  // namespace orvex
