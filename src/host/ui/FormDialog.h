// A dialog made of a form (a .ui file's generated class) bound to a dialog model: the whole Qt
// side of most dialogs.
#pragma once

#include <QDialog>

#include "host/DialogModel.h"
#include "host/ui/DialogBinder.h"

namespace orvex {

template <class Form>
class CFormDialog : public QDialog {
  public:
    CFormDialog(QWidget* parent, CDialogModel& model) : QDialog(parent) {
        m_form.setupUi(this);
        m_binder = new CDialogBinder(this, model);
        FitTitle(this);
        adjustSize();  // to the texts the fields brought
    }
    Form& Widgets() { return m_form; }
    CDialogBinder& Binder() const { return *m_binder; }

  private:
    Form m_form;
    CDialogBinder* m_binder;
};

}  // namespace orvex
