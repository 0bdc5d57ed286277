// The rows of the settings file's tables and the one loader and saver that work from them.
// Each group of settings (one struct, or one channel setup or logger configuration) has a
// table of fields: key, kind, default, range and how the field reaches its member. A key with
// "%d" in its name stands for one key per number from `first` to `last`.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "app/DataAcqApp.h"

namespace orvex {

// One value as the tables carry it between the file and a member: numbers (Boolean 0/1,
// integers, floats, smoothing factors, COLORREF values) in `number`, strings in `text`, the
// numbers of a list key ("2, 40") in `list`.
struct SettingValue {
    double number = 0;
    std::string text;
    std::array<int, 4> list{};
};

inline SettingValue NumberValue(double v) {
    return SettingValue{v, {}, {}};
}
inline SettingValue TextValue(std::string v) {
    return SettingValue{0, std::move(v), {}};
}
inline SettingValue ListValue(int a, int b = 0, int c = 0, int d = 0) {
    return SettingValue{0, {}, {a, b, c, d}};
}

using SettingKind = CDataAcqApp::SettingKind;

// A menu command that shows a setting: it flips a flag, or chooses `value`.
inline constexpr int kFlipSetting = INT32_MIN;
struct SettingMenuItem {
    MainCommand command{};
    int value = kFlipSetting;
};
// Up to four commands (the choices of one key).
struct SettingMenu {
    std::array<SettingMenuItem, 4> items{};
    std::size_t count = 0;
    const SettingMenuItem* begin() const { return items.data(); }
    const SettingMenuItem* end() const { return items.data() + count; }
};

template <class T>
struct SettingField {
    const char* key;
    SettingKind kind;
    double def = 0, min = 0, max = 0;  // Bool: 0 or 1; ranges of Int, Long, Float, Ratio
    const char* defText = "";          // String
    int first = 0, last = 0;           // the numbers of a numbered key, or the member's index
    int count = 0;                     // List: numbers per key
    SettingValue (*get)(const T&, int n) = nullptr;
    void (*set)(T&, const SettingValue&, int n) = nullptr;
    const char* section = nullptr;  // a section of its own instead of the group's
    // The default when it depends on the record (a value read before, the record's own).
    SettingValue (*fallback)(const T&, int n) = nullptr;
    // The key is read (or written) only when these hold.
    bool (*readIf)(const T&, int n) = nullptr;
    bool (*writeIf)(const T&, int n) = nullptr;
    // An Int key that the record's type makes a Boolean one.
    bool (*asBool)(const T&) = nullptr;
    // The member itself, for the menu's toggles.
    bool* (*flag)(T&) = nullptr;
    int32_t* (*integer)(T&) = nullptr;
    // The main frame's commands that show and change the member.
    SettingMenu menu{};

    SettingField In(const char* sectionName) const {
        SettingField f = *this;
        f.section = sectionName;
        return f;
    }
    SettingField Menu(std::initializer_list<SettingMenuItem> items) const {
        SettingField f = *this;
        for (const SettingMenuItem& item : items) f.menu.items.at(f.menu.count++) = item;
        return f;
    }
};

template <class T>
using SettingTable = std::vector<SettingField<T>>;

// The key name of number `n`: "%d" in `pattern` replaced by the number.
std::string SettingKeyName(const char* pattern, int n);
// "%1d, %1d, ..." of the first `count` numbers.
std::string JoinSettingInts(const std::array<int, 4>& list, int count);
// The numbers of a list key; false when the text holds fewer than `count`.
bool ScanSettingInts(const std::string& text, int count, std::array<int, 4>& list);

// --- Fields bound to a member ---

template <class P>
struct MemberTraits;
template <class T, class U>
struct MemberTraits<U T::*> {
    using Class = T;
    using Type = U;
};
template <auto M>
using MemberClass = typename MemberTraits<decltype(M)>::Class;

template <class U>
SettingValue ToSettingValue(const U& v) {
    if constexpr (std::is_same_v<U, std::string>)
        return TextValue(v);
    else
        return NumberValue(static_cast<double>(v));
}

template <class U>
void FromSettingValue(const SettingValue& v, U& member) {
    if constexpr (std::is_same_v<U, std::string>)
        member = v.text;
    else if constexpr (std::is_same_v<U, bool>)
        member = v.number != 0;
    else
        member = static_cast<U>(v.number);
}

// A field bound to member M of member Outer of the record (a setup inside a record that
// carries more than the setup).
template <auto Outer, auto M>
SettingField<MemberClass<Outer>> BindIn(const char* key, SettingKind kind, double def,
                                        double min = 0, double max = 0) {
    using T = MemberClass<Outer>;
    using U = typename MemberTraits<decltype(M)>::Type;
    SettingField<T> f{key, kind, def, min, max};
    f.get = [](const T& t, int) { return ToSettingValue((t.*Outer).*M); };
    f.set = [](T& t, const SettingValue& v, int) { FromSettingValue(v, (t.*Outer).*M); };
    if constexpr (std::is_same_v<U, bool>) f.flag = [](T& t) { return &((t.*Outer).*M); };
    if constexpr (std::is_same_v<U, int32_t>) f.integer = [](T& t) { return &((t.*Outer).*M); };
    return f;
}

template <auto M>
SettingField<MemberClass<M>> Bind(const char* key, SettingKind kind, double def, double min = 0,
                                  double max = 0) {
    using T = MemberClass<M>;
    using U = typename MemberTraits<decltype(M)>::Type;
    SettingField<T> f{key, kind, def, min, max};
    f.get = [](const T& t, int) { return ToSettingValue(t.*M); };
    f.set = [](T& t, const SettingValue& v, int) { FromSettingValue(v, t.*M); };
    if constexpr (std::is_same_v<U, bool>) f.flag = [](T& t) { return &(t.*M); };
    if constexpr (std::is_same_v<U, int32_t>) f.integer = [](T& t) { return &(t.*M); };
    return f;
}

// The writeIf of a key that is read and never written.
template <class T>
bool NeverWritten(const T&, int) {
    return false;
}

// A missing or unusable key keeps the record's own value.
template <class T>
SettingField<T> KeepOwn(SettingField<T> f) {
    f.fallback = f.get;
    return f;
}

template <auto M>
SettingField<MemberClass<M>> Flag(const char* key, bool def) {
    return Bind<M>(key, SettingKind::Bool, def ? 1 : 0, 0, 1);
}
template <auto M>
SettingField<MemberClass<M>> Integer(const char* key, int32_t def, int32_t min, int32_t max) {
    return Bind<M>(key, SettingKind::Int, def, min, max);
}
template <auto M>
SettingField<MemberClass<M>> Fraction(const char* key, float def, float min, float max) {
    return Bind<M>(key, SettingKind::Float, def, min, max);
}
template <auto M>
SettingField<MemberClass<M>> Ratio(const char* key, float def, float min, float max) {
    return Bind<M>(key, SettingKind::Ratio, def, min, max);
}
template <auto M>
SettingField<MemberClass<M>> Words(const char* key, const char* def) {
    SettingField<MemberClass<M>> f = Bind<M>(key, SettingKind::String, 0);
    f.defText = def;
    return f;
}
// --- Loading and saving ---

// The value of one field as the file gives it, or its default.
template <class T>
SettingValue ReadSettingField(const CDataAcqApp& app, std::string_view section,
                              const SettingField<T>& f, const T& t, int n) {
    const std::string key = SettingKeyName(f.key, n);
    const std::string_view sec = f.section ? std::string_view(f.section) : section;
    const SettingValue def = f.fallback ? f.fallback(t, n) : SettingValue{f.def, f.defText, {}};
    const SettingKind kind = f.asBool && f.asBool(t) ? SettingKind::Bool : f.kind;
    switch (kind) {
        case SettingKind::Bool:
            return NumberValue(app.GetProfileBool(sec, key, def.number != 0) ? 1 : 0);
        case SettingKind::Int:
            return NumberValue(app.GetProfileRangedInt(sec, key, static_cast<int32_t>(def.number),
                                                       static_cast<int32_t>(f.min),
                                                       static_cast<int32_t>(f.max)));
        case SettingKind::Long:
            return NumberValue(app.GetProfileLong(sec, key, static_cast<int32_t>(def.number),
                                                  static_cast<int32_t>(f.min),
                                                  static_cast<int32_t>(f.max)));
        case SettingKind::Float:
        case SettingKind::Ratio:
            return NumberValue(app.GetProfileFloat(sec, key, static_cast<float>(def.number),
                                                   static_cast<float>(f.min),
                                                   static_cast<float>(f.max)));
        case SettingKind::Smoothing:
            return NumberValue(app.GetProfileSmoothing(sec, key));
        case SettingKind::Color:
            return NumberValue(app.GetProfileColor(sec, key, static_cast<ColorRef>(def.number)));
        case SettingKind::String:
            return TextValue(app.GetProfileString(sec, key, def.text));
        case SettingKind::List: {
            SettingValue v;
            if (!ScanSettingInts(app.GetProfileString(sec, key, ""), f.count, v.list)) return def;
            return v;
        }
    }
    return def;
}

template <class T>
void WriteSettingField(CDataAcqApp& app, std::string_view section, const SettingField<T>& f,
                       const T& t, int n) {
    const std::string key = SettingKeyName(f.key, n);
    const std::string_view sec = f.section ? std::string_view(f.section) : section;
    const SettingValue v = f.get(t, n);
    const SettingKind kind = f.asBool && f.asBool(t) ? SettingKind::Bool : f.kind;
    switch (kind) {
        case SettingKind::Bool:
            app.WriteProfileBool(sec, key, v.number != 0);
            break;
        case SettingKind::Int:
            app.WriteProfileInt(sec, key, static_cast<int32_t>(v.number));
            break;
        case SettingKind::Long:
            app.WriteProfileLong(sec, key, static_cast<int32_t>(v.number));
            break;
        case SettingKind::Float:
            app.WriteProfileFloat(sec, key, static_cast<float>(v.number));
            break;
        case SettingKind::Ratio:
            app.WriteProfileRatio(sec, key, static_cast<float>(v.number));
            break;
        case SettingKind::Smoothing:
            app.WriteProfileSmoothing(sec, key, static_cast<int16_t>(v.number));
            break;
        case SettingKind::Color:
            app.WriteProfileColor(sec, key, static_cast<ColorRef>(v.number));
            break;
        case SettingKind::String:
            app.WriteProfileString(sec, key, v.text);
            break;
        case SettingKind::List:
            app.WriteProfileString(sec, key, JoinSettingInts(v.list, f.count));
            break;
    }
}

// Reads the fields of `table` from `begin` on into `t`, in table order.
template <class T>
void LoadSettingFields(const CDataAcqApp& app, std::string_view section,
                       const SettingTable<T>& table, T& t, std::size_t begin = 0) {
    for (std::size_t i = begin; i < table.size(); ++i) {
        const SettingField<T>& f = table[i];
        for (int n = f.first; n <= f.last; ++n)
            if (!f.readIf || f.readIf(t, n)) f.set(t, ReadSettingField(app, section, f, t, n), n);
    }
}

// Writes the fields of `table` from `t`, in table order.
template <class T>
void SaveSettingFields(CDataAcqApp& app, std::string_view section, const SettingTable<T>& table,
                       const T& t, std::size_t begin = 0, std::size_t end = SIZE_MAX) {
    for (std::size_t i = begin; i < table.size() && i < end; ++i) {
        const SettingField<T>& f = table[i];
        for (int n = f.first; n <= f.last; ++n)
            if (!f.writeIf || f.writeIf(t, n)) WriteSettingField(app, section, f, t, n);
    }
}

// Gives every field with a fixed default its default.
template <class T>
void ResetSettingFields(const SettingTable<T>& table, T& t) {
    for (const SettingField<T>& f : table)
        if (!f.fallback)
            for (int n = f.first; n <= f.last; ++n) f.set(t, SettingValue{f.def, f.defText, {}}, n);
}

// The table's keys as CDataAcqApp::SettingGroups() describes them: numbered keys once per
// number; fields without a section of their own have an empty section.
template <class T>
std::vector<CDataAcqApp::SettingKey> DescribeSettingFields(const SettingTable<T>& table) {
    std::vector<CDataAcqApp::SettingKey> out;
    for (const SettingField<T>& f : table)
        for (int n = f.first; n <= f.last; ++n)
            out.push_back({f.section ? f.section : "", SettingKeyName(f.key, n), f.kind, f.def,
                           f.min, f.max, f.defText, f.fallback != nullptr,
                           f.readIf || f.writeIf || f.asBool, f.writeIf == &NeverWritten<T>,
                           f.count});
    return out;
}

}  // namespace orvex
