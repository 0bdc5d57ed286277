// The state behind every dialog: fields (choice, text with pattern, check, radio, number, label,
// button) that a form binds by name, pages that show and store a state, and a sheet of pages.
// The Qt binder (host/ui/DialogBinder.h) copies fields into widgets and user input back.
#pragma once

#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <variant>
#include <vector>

namespace orvex {

// What every field has: whether its control takes input and whether it is shown.
struct DialogField {
    bool enabled = true;
    bool shown = true;
};

// A drop-down or list: its texts and the entry selected (-1: none). A list that takes several
// entries at once (`multiple`) keeps them, in list order, in `marked`.
struct ChoiceField : DialogField {
    std::vector<std::string> items;
    int selected = -1;
    bool multiple = false;
    std::vector<int> marked;
    const std::string* Text() const;
    // Selects the entry of `text`, else the first entry (none in an empty list).
    void SelectText(const std::string& text);
};

// A text field: its text, a pattern the whole text must match (none: any text), the tip shown
// while hovering and the error state (a text that does not match is shown in red). Optional
// suggestions are offered by an editable drop-down.
struct TextField : DialogField {
    std::string text;
    std::string tip;
    bool error = false;
    bool readOnly = false;
    std::vector<std::string> suggestions;

    // A pattern that does not compile leaves the old one and gives false with the reason.
    bool SetPattern(const std::string& pattern, std::string* reason = nullptr);
    bool Matches(const std::string& candidate) const;
    bool HasPattern() const { return m_pattern.has_value(); }
    // The text as typed: stored, with the error state from the pattern.
    void Type(const std::string& typed);

  private:
    std::optional<std::regex> m_pattern;
};

struct CheckField : DialogField {
    bool checked = false;
};

// A group of option buttons; `selected` is the option checked (-1: none). Option i binds to
// the widget named "<name>_<i>".
struct RadioField : DialogField {
    int options = 0;
    int selected = -1;
};

// A whole number within limits (a spin box).
struct NumberField : DialogField {
    int value = 0;
    int lo = 0;
    int hi = 100;
};

// A text the dialog shows (a caption or status).
struct LabelField : DialogField {
    std::string text;
};

// A push button: pressing it calls the model's Clicked.
struct ButtonField : DialogField {};

using FieldRef = std::variant<ChoiceField*, TextField*, CheckField*, RadioField*, NumberField*,
                              LabelField*, ButtonField*>;

struct NamedField {
    std::string name;
    FieldRef field;
};

// A dialog's model: its named fields and how it answers the user. The binder writes user input
// into the field first, then calls the matching handler, then shows every field again.
class CDialogModel {
  public:
    CDialogModel() = default;
    // The fields point into the model itself: a model is never copied.
    CDialogModel(const CDialogModel&) = delete;
    CDialogModel& operator=(const CDialogModel&) = delete;
    virtual ~CDialogModel() = default;
    const std::vector<NamedField>& Fields() const { return m_fields; }
    // Every widget name the fields bind to (a radio field gives one name per option).
    std::vector<std::string> BoundNames() const;
    const NamedField* Find(const std::string& name) const;

    // A choice, check, radio or number field changed, or a text field's text was typed.
    virtual void Changed(const std::string& /*name*/) {}
    // A text field lost the focus after editing; false when the entry was refused (the field
    // then takes the focus again).
    virtual bool Edited(const std::string& /*name*/) { return true; }
    virtual void Clicked(const std::string& /*name*/) {}
    // "OK": false keeps the dialog open (the model has told the user why).
    virtual bool Accept() { return true; }

  protected:
    template <class F>
    F& Bind(const std::string& name, F& field) {
        m_fields.push_back({name, &field});
        return field;
    }

  private:
    std::vector<NamedField> m_fields;
};

// A page of a sheet: Refresh shows the state in the page's fields; Store writes the fields back
// into the state, and with `validate` refuses (false, the user told) a value it cannot take.
class IDialogPage {
  public:
    virtual ~IDialogPage() = default;
    virtual void Refresh() = 0;
    virtual bool Store(bool validate) = 0;
};

// Pages with one of them active. Leaving a page stores it with validation: a refused value
// keeps the page active.
class CDialogSheet {
  public:
    void AddPage(IDialogPage& page);
    int Pages() const { return static_cast<int>(m_pages.size()); }
    int ActivePage() const { return m_nActive; }
    IDialogPage* Active() const;
    // Stores the active page (validating) and shows `page`; false leaves the old page active.
    bool SetActivePage(int page);
    // "OK" or "Apply": the active page is stored with validation.
    bool StoreActive() const;

  private:
    std::vector<IDialogPage*> m_pages;
    int m_nActive = -1;
};

}  // namespace orvex
