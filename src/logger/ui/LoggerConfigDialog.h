// The "Setup Data Logger's Channels" dialog: "Configuration #", "# of Segs", the recording
// time, "Data Configuration Active : ", the seven tabs, the report and OK, Cancel, "Retrieve"
// and "Send", all shown from CLoggerConfigSheet.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "logger/config/ConfigSheet.h"

class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace Ui {
class LoggerConfigDialog;
}

namespace orvex {

class CDialogBinder;

class CLoggerConfigDialog : public QDialog {
    Q_OBJECT
  public:
    CLoggerConfigDialog(QWidget* parent, CLoggerConfigSheet& sheet);
    ~CLoggerConfigDialog() override;

    CLoggerConfigSheet& Sheet() { return m_sheet; }
    QTabWidget* Tabs() const;
    QPlainTextEdit* Report() const;
    QPushButton* RetrieveButton() const;
    QPushButton* SendButton() const;
    QPushButton* OkButton() const;
    // The page widget of tab 0..6 and a control on it by name.
    QWidget* PageWidget(int tab) const { return m_pages[static_cast<std::size_t>(tab)]; }
    template <class W>
    W* Control(int tab, const char* name) const {
        return PageWidget(tab)->findChild<W*>(QString::fromLatin1(name));
    }
    // Shows a tab as a click on it does.
    void ShowTab(int tab);
    // Every bound widget shows its field again; the tab, report position and focus follow.
    void RefreshAll();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* BuildEquationPage(int e);
    void ReportChosen();

    std::unique_ptr<Ui::LoggerConfigDialog> m_ui;
    CLoggerConfigSheet& m_sheet;
    CDialogBinder* m_binder = nullptr;
    std::array<QWidget*, kConfigTabs> m_pages{};
    std::array<CDialogBinder*, kConfigTabs> m_pageBinders{};
    bool m_bRefreshing = false;
};

}  // namespace orvex
