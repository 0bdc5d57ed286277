// The up-down arrows beside a number field: a press on the upper half steps up, on the lower
// half down.
#pragma once

#include <QAbstractButton>

namespace orvex {

class CUpDownButton : public QAbstractButton {
    Q_OBJECT
  public:
    explicit CUpDownButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

  signals:
    // +1 or -1.
    void Stepped(int step);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace orvex
