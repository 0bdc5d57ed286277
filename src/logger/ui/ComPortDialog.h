// The "COM Port" dialog: eight choices "COM 1" to "COM 8", OK and Cancel.
#pragma once

#include <QDialog>
#include <array>

class QRadioButton;

namespace orvex {

class CComPortDialog : public QDialog {
    Q_OBJECT
  public:
    // A port outside 1 to 8 selects no button.
    CComPortDialog(QWidget* parent, int port);
    // The chosen port, or the one given when nothing was chosen.
    int Port() const { return m_nPort; }
    QRadioButton* Button(int port) const {
        return m_buttons.at(static_cast<std::size_t>(port - 1));
    }

  private:
    std::array<QRadioButton*, 8> m_buttons{};
    int m_nPort;
};

}  // namespace orvex
