// Binds a dialog model's fields to the widgets of a form by object name: user input goes into
// the field and to the model's handler, then every bound widget shows its field again.
#pragma once

#include <QObject>
#include <QPalette>
#include <QStringList>
#include <map>
#include <string>

#include "host/DialogModel.h"

class QDialog;
class QTabWidget;
class QWidget;

namespace orvex {

class CDialogBinder : public QObject {
    Q_OBJECT
  public:
    // Binds every field of `model` to the child of `form` with the field's name. When the form
    // is a dialog with a button box named "buttonBox", its OK asks the model's Accept and its
    // Cancel closes the dialog.
    CDialogBinder(QWidget* form, CDialogModel& model);
    // The bound names with no widget of a fitting kind in the form.
    const QStringList& Missing() const { return m_missing; }
    QWidget* Widget(const std::string& name) const;
    // Shows every field in its widget.
    void Refresh();
    // The tabs of `tabs` are the pages of `sheet`: leaving a page that refuses its values
    // keeps it current.
    void BindSheet(QTabWidget* tabs, CDialogSheet& sheet);

  signals:
    // A handler of the model ran and the widgets show its fields again.
    void Handled();

  private:
    void Connect(const NamedField& f, QWidget* w);
    void Show(const NamedField& f, QWidget* w);
    // After a handler: show everything again.
    void After() {
        Refresh();
        emit Handled();
    }

    QWidget* m_form;
    CDialogModel& m_model;
    std::map<std::string, QWidget*> m_widgets;
    std::map<QWidget*, QPalette> m_palettes;
    QStringList m_missing;
    bool m_bInHandler = false;
};

// Widens `dialog` so that its title is not cut off in the title bar.
void FitTitle(QDialog* dialog);

}  // namespace orvex
