// The one binder between dialog models and Qt forms.
#include "host/ui/DialogBinder.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>

namespace orvex {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QStringList Items(const std::vector<std::string>& items) {
    QStringList list;
    for (const std::string& s : items) list << Q(s);
    return list;
}

template <class W>
W* As(QWidget* w) {
    return qobject_cast<W*>(w);
}

// Whether widget `w` can show a field of this kind.
bool Fits(const FieldRef& field, QWidget* w) {
    struct {
        QWidget* w;
        bool operator()(ChoiceField*) const {
            auto* combo = As<QComboBox>(w);
            return (combo && !combo->isEditable()) || As<QListWidget>(w);
        }
        bool operator()(TextField*) const {
            auto* combo = As<QComboBox>(w);
            return As<QLineEdit>(w) || As<QPlainTextEdit>(w) || (combo && combo->isEditable());
        }
        bool operator()(CheckField*) const {
            auto* group = As<QGroupBox>(w);
            auto* button = As<QAbstractButton>(w);
            return (group && group->isCheckable()) || (button && button->isCheckable());
        }
        bool operator()(RadioField*) const { return As<QAbstractButton>(w) != nullptr; }
        bool operator()(NumberField*) const {
            return As<QSpinBox>(w) != nullptr || As<QAbstractSlider>(w) != nullptr;
        }
        bool operator()(LabelField*) const { return As<QLabel>(w) != nullptr; }
        bool operator()(ButtonField*) const { return As<QAbstractButton>(w) != nullptr; }
    } fits{w};
    return std::visit(fits, field);
}

void SetCommon(QWidget* w, const DialogField& f) {
    w->setEnabled(f.enabled);
    // Hiding before the form is shown would otherwise be undone by showing it.
    if (w->isHidden() == f.shown) w->setVisible(f.shown);
}

}  // namespace

CDialogBinder::CDialogBinder(QWidget* form, CDialogModel& model)
    : QObject(form), m_form(form), m_model(model) {
    for (const NamedField& f : model.Fields()) {
        const auto* radio = std::get_if<RadioField*>(&f.field);
        const int count = radio ? (*radio)->options : 1;
        for (int i = 0; i < count; ++i) {
            const std::string name = radio ? f.name + "_" + std::to_string(i) : f.name;
            auto* w = form->findChild<QWidget*>(Q(name));
            if (!w || !Fits(f.field, w)) {
                m_missing << Q(name);
                continue;
            }
            m_widgets[name] = w;
            if (auto* lineEdit = As<QLineEdit>(w)) m_palettes[w] = lineEdit->palette();
            if (auto* combo = As<QComboBox>(w); combo && combo->lineEdit())
                m_palettes[w] = combo->lineEdit()->palette();
        }
        if (radio) {
            for (int i = 0; i < count; ++i)
                if (QWidget* w = Widget(f.name + "_" + std::to_string(i)))
                    connect(As<QAbstractButton>(w), &QAbstractButton::clicked, this, [this, f, i] {
                        (*std::get<RadioField*>(f.field)).selected = i;
                        m_model.Changed(f.name);
                        After();
                    });
        } else if (QWidget* w = Widget(f.name)) {
            Connect(f, w);
        }
    }
    if (auto* dialog = As<QDialog>(form)) {
        if (auto* box = form->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
            connect(box, &QDialogButtonBox::accepted, this, [this, dialog] {
                if (m_model.Accept())
                    dialog->accept();
                else
                    After();
            });
            connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
        }
    }
    Refresh();
}

QWidget* CDialogBinder::Widget(const std::string& name) const {
    auto it = m_widgets.find(name);
    return it == m_widgets.end() ? nullptr : it->second;
}

void CDialogBinder::Connect(const NamedField& f, QWidget* w) {
    const std::string name = f.name;
    auto changed = [this, name] {
        m_model.Changed(name);
        After();
    };
    if (auto* choice = std::get_if<ChoiceField*>(&f.field)) {
        ChoiceField* field = *choice;
        if (auto* combo = As<QComboBox>(w))
            connect(combo, &QComboBox::activated, this, [field, changed](int index) {
                field->selected = index;
                changed();
            });
        else if (auto* list = As<QListWidget>(w); list && field->multiple)
            connect(list, &QListWidget::itemSelectionChanged, this, [this, field, list, changed] {
                if (m_bInHandler) return;
                field->marked.clear();
                for (int row = 0; row < list->count(); ++row)
                    if (list->item(row)->isSelected()) field->marked.push_back(row);
                field->selected = list->currentRow();
                changed();
            });
        else if (list)
            connect(list, &QListWidget::currentRowChanged, this, [field, changed](int row) {
                field->selected = row;
                changed();
            });
    } else if (auto* text = std::get_if<TextField*>(&f.field)) {
        TextField* field = *text;
        QLineEdit* edit = As<QLineEdit>(w);
        if (auto* combo = As<QComboBox>(w)) {
            edit = combo->lineEdit();
            connect(combo, &QComboBox::activated, this, [field, combo, changed] {
                field->Type(combo->currentText().toStdString());
                changed();
            });
        }
        if (edit) {
            connect(edit, &QLineEdit::textEdited, this, [field, changed](const QString& typed) {
                field->Type(typed.toStdString());
                changed();
            });
            connect(edit, &QLineEdit::editingFinished, this, [this, name, edit] {
                // A refusal's message box takes the focus and would finish the edit again.
                if (m_bInHandler || !edit->isModified()) return;
                m_bInHandler = true;
                const bool taken = m_model.Edited(name);
                m_bInHandler = false;
                edit->setModified(!taken);
                After();
                if (!taken) edit->setFocus();
            });
        } else if (auto* plain = As<QPlainTextEdit>(w)) {
            connect(plain, &QPlainTextEdit::textChanged, this, [this, field, plain, changed] {
                if (m_bInHandler) return;
                field->Type(plain->toPlainText().toStdString());
                changed();
            });
        }
    } else if (auto* check = std::get_if<CheckField*>(&f.field)) {
        CheckField* field = *check;
        auto clicked = [field, changed](bool on) {
            field->checked = on;
            changed();
        };
        if (auto* group = As<QGroupBox>(w))
            connect(group, &QGroupBox::clicked, this, clicked);
        else
            connect(As<QAbstractButton>(w), &QAbstractButton::clicked, this, clicked);
    } else if (auto* number = std::get_if<NumberField*>(&f.field)) {
        NumberField* field = *number;
        auto moved = [this, field, changed](int v) {
            if (m_bInHandler) return;
            field->value = v;
            changed();
        };
        if (auto* spin = As<QSpinBox>(w))
            connect(spin, &QSpinBox::valueChanged, this, moved);
        else
            connect(As<QAbstractSlider>(w), &QAbstractSlider::valueChanged, this, moved);
    } else if (std::holds_alternative<ButtonField*>(f.field)) {
        connect(As<QAbstractButton>(w), &QAbstractButton::clicked, this, [this, name] {
            m_model.Clicked(name);
            After();
        });
    }
}

void CDialogBinder::Refresh() {
    const bool was = m_bInHandler;
    m_bInHandler = true;
    for (const NamedField& f : m_model.Fields()) {
        if (const auto* radio = std::get_if<RadioField*>(&f.field)) {
            for (int i = 0; i < (*radio)->options; ++i)
                if (auto* b = As<QAbstractButton>(Widget(f.name + "_" + std::to_string(i)))) {
                    SetCommon(b, **radio);
                    // Exclusive groups refuse to uncheck their checked button directly.
                    const bool exclusive = b->autoExclusive();
                    b->setAutoExclusive(false);
                    b->setChecked((*radio)->selected == i);
                    b->setAutoExclusive(exclusive);
                }
        } else if (QWidget* w = Widget(f.name)) {
            Show(f, w);
        }
    }
    m_bInHandler = was;
}

void CDialogBinder::Show(const NamedField& f, QWidget* w) {
    const QSignalBlocker block(w);
    if (auto* choice = std::get_if<ChoiceField*>(&f.field)) {
        const ChoiceField& field = **choice;
        SetCommon(w, field);
        const QStringList items = Items(field.items);
        if (auto* combo = As<QComboBox>(w)) {
            QStringList now;
            for (int i = 0; i < combo->count(); ++i) now << combo->itemText(i);
            if (now != items) {
                combo->clear();
                combo->addItems(items);
            }
            combo->setCurrentIndex(field.selected);
        } else if (auto* list = As<QListWidget>(w)) {
            QStringList now;
            for (int i = 0; i < list->count(); ++i) now << list->item(i)->text();
            if (now != items) {
                list->clear();
                list->addItems(items);
            }
            if (field.multiple) {
                list->setSelectionMode(QAbstractItemView::ExtendedSelection);
                list->setCurrentRow(field.selected, QItemSelectionModel::NoUpdate);
                for (int row = 0; row < list->count(); ++row)
                    list->item(row)->setSelected(std::find(field.marked.begin(), field.marked.end(),
                                                           row) != field.marked.end());
            } else {
                list->setCurrentRow(field.selected);
            }
        }
    } else if (auto* text = std::get_if<TextField*>(&f.field)) {
        const TextField& field = **text;
        SetCommon(w, field);
        w->setToolTip(Q(field.tip));
        QLineEdit* edit = As<QLineEdit>(w);
        if (auto* combo = As<QComboBox>(w)) {
            const QSignalBlocker blockEdit(combo->lineEdit());
            const QStringList items = Items(field.suggestions);
            QStringList now;
            for (int i = 0; i < combo->count(); ++i) now << combo->itemText(i);
            if (now != items) {
                combo->clear();
                combo->addItems(items);
            }
            edit = combo->lineEdit();
        }
        if (edit) {
            const QSignalBlocker blockEdit(edit);
            if (edit->text() != Q(field.text)) {
                const bool modified = edit->isModified();
                edit->setText(Q(field.text));
                edit->setModified(modified);
            }
            edit->setReadOnly(field.readOnly);
            QPalette palette = m_palettes.count(w) ? m_palettes[w] : edit->palette();
            if (field.error) palette.setColor(QPalette::Text, Qt::red);
            edit->setPalette(palette);
        } else if (auto* plain = As<QPlainTextEdit>(w)) {
            if (plain->toPlainText() != Q(field.text)) plain->setPlainText(Q(field.text));
            plain->setReadOnly(field.readOnly);
        }
    } else if (auto* check = std::get_if<CheckField*>(&f.field)) {
        SetCommon(w, **check);
        if (auto* group = As<QGroupBox>(w))
            group->setChecked((*check)->checked);
        else
            As<QAbstractButton>(w)->setChecked((*check)->checked);
    } else if (auto* number = std::get_if<NumberField*>(&f.field)) {
        const NumberField& field = **number;
        SetCommon(w, field);
        if (auto* spin = As<QSpinBox>(w)) {
            spin->setRange(field.lo, field.hi);
            spin->setValue(field.value);
        } else if (auto* slider = As<QAbstractSlider>(w)) {
            slider->setRange(field.lo, field.hi);
            slider->setValue(field.value);
        }
    } else if (auto* label = std::get_if<LabelField*>(&f.field)) {
        SetCommon(w, **label);
        As<QLabel>(w)->setText(Q((*label)->text));
    } else if (auto* button = std::get_if<ButtonField*>(&f.field)) {
        SetCommon(w, **button);
    }
}

void CDialogBinder::BindSheet(QTabWidget* tabs, CDialogSheet& sheet) {
    {
        const QSignalBlocker block(tabs);
        tabs->setCurrentIndex(sheet.ActivePage());
    }
    connect(tabs, &QTabWidget::currentChanged, this, [this, tabs, &sheet](int page) {
        if (m_bInHandler) return;
        m_bInHandler = true;
        const bool moved = sheet.SetActivePage(page);
        m_bInHandler = false;
        if (!moved) {
            const QSignalBlocker block(tabs);
            tabs->setCurrentIndex(sheet.ActivePage());
        }
        After();
    });
}

void FitTitle(QDialog* dialog) {
    // The title bar's buttons and frame take about as much again as the widest icon set.
    const int needed =
        QFontMetrics(QApplication::font()).horizontalAdvance(dialog->windowTitle()) + 140;
    if (dialog->minimumWidth() < needed) dialog->setMinimumWidth(needed);
}

}  // namespace orvex
