// "Select Session to Upload": the last recorded session, or a session by its number.
#pragma once

#include <QDialog>

class QRadioButton;
class QSpinBox;

namespace orvex {

class CSessionDialog : public QDialog {
    Q_OBJECT
  public:
    // `sessions` recorded on the logger; `offered` is the number it offers (out of range: 1).
    CSessionDialog(QWidget* parent, int sessions, int offered);

    // 0 for "Upload Last Recorded Session", otherwise the session number chosen.
    int Choice() const;

    QRadioButton* LastSession() const { return m_last; }
    QRadioButton* ByNumber() const { return m_byNumber; }
    QSpinBox* Number() const { return m_number; }

  private:
    QRadioButton* m_last = nullptr;
    QRadioButton* m_byNumber = nullptr;
    QSpinBox* m_number = nullptr;
};

}  // namespace orvex
