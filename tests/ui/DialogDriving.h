// Driving a dialog's widgets as the user does, for the Qt tests of the dialogs.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QString>

namespace orvex::test {

// Presses OK or Cancel of the dialog's button box.
inline void Click(QDialog& dialog, bool ok) {
    auto* box = dialog.findChild<QDialogButtonBox*>("buttonBox");
    box->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
}

// Chooses the entry with `text` of the combo box named `combo`; false when there is none.
inline bool Choose(QDialog& dialog, const char* combo, const QString& text) {
    auto* box = dialog.findChild<QComboBox*>(combo);
    if (!box) return false;
    const int i = box->findText(text);
    if (i < 0) return false;
    box->setCurrentIndex(i);
    emit box->activated(i);
    return true;
}

}  // namespace orvex::test
