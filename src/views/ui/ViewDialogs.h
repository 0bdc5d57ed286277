// The Qt faces of the session and channel selection dialogs; every rule lives in their core
// models (views/SelectionDialogs.h).
#pragma once

#include <QDialog>

#include "views/SelectionDialogs.h"

class QListWidget;
class QComboBox;
class QLineEdit;

namespace orvex {

class CViewSessionDialog : public QDialog {
    Q_OBJECT
  public:
    CViewSessionDialog(CSessionSelectDialog& model, int32_t green, int32_t red,
                       QWidget* parent = nullptr);
    void accept() override;

  private:
    void Refresh();
    void ShowTimes();
    void StoreTimes();
    CSessionSelectDialog& m_model;
    int32_t m_lGreen, m_lRed;
    QListWidget* m_available = nullptr;
    QListWidget* m_selected = nullptr;
    QComboBox* m_start = nullptr;
    QComboBox* m_stop = nullptr;
    bool m_bFilling = false;
};

class CChannelDialog : public QDialog {
    Q_OBJECT
  public:
    CChannelDialog(CChannelSelectDialog& model, QWidget* parent = nullptr);
    void accept() override;

  private:
    void Refresh();
    void ShowBands();
    void StoreBands();
    CChannelSelectDialog& m_model;
    QListWidget* m_available = nullptr;
    QListWidget* m_selected = nullptr;
    QLineEdit* m_min = nullptr;
    QLineEdit* m_max = nullptr;
    QLineEdit* m_inc = nullptr;
    int m_nShown = -1;
};

}  // namespace orvex
