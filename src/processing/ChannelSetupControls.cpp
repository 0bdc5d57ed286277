// The per-channel controls of the channel setup dialogs, the name chooser, the slip partners
// and the "Channel Configuration List".
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "host/FormatText.h"
#include "model/Dataset.h"
#include "model/RpmSetups.h"
#include "processing/ChannelSetupDialog.h"
#include "processing/SpeedDistance.h"

namespace orvex {

namespace {

constexpr std::array<int, 4> kSmoothingWords = {1, 4, 8, 16};
constexpr const char* kNone = "<none>";

std::string NumberText(float value) {
    return FormatText("%g", static_cast<double>(value));
}

// A number typed into a field; false for an empty or unreadable text.
bool ReadNumber(const std::string& text, float& value) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    if (end == begin) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end) return false;
    value = static_cast<float>(v);
    return std::isfinite(v);
}

int SmoothingIndex(int word) {
    for (std::size_t i = 0; i < kSmoothingWords.size(); ++i)
        if (kSmoothingWords[i] == word) return static_cast<int>(i);
    return -1;
}

// Slip partner categories of the eligibility table.
enum class Shaft { DriveShaft, FrontWheel, RearWheel, Clutch, Engine };

Shaft ShaftOf(const CFreqSetup& s) {
    switch (s.m_nRpmType) {
        case kRpmDriveShaft:
            return Shaft::DriveShaft;
        case kRpmFrontWheel:
            return Shaft::FrontWheel;
        case kRpmRearWheel:
            return Shaft::RearWheel;
        case kRpmClutch:
            return Shaft::Clutch;
        default:
            return Shaft::Engine;  // engine types and user defined
    }
}

}  // namespace

bool SlipPartnerEligible(const CCarSetup& car, const CFreqSetup& setup, const CFreqSetup& other) {
    if (&setup == &other || !HasOwnChannel(other) || other.m_nChannel == setup.m_nChannel)
        return false;
    const bool g = car.HasGears();
    const bool r = car.HasRearEnd();
    bool tr = false;
    for (const CFreqSetup& s : car.m_rpm)
        if (s.m_nRpmType == kRpmRearWheel && s.HasTireSize()) tr = true;
    const Shaft a = ShaftOf(setup);
    const Shaft b = ShaftOf(other);
    // The front wheel of the pair has a tire size.
    const CFreqSetup& front = a == Shaft::FrontWheel ? setup : other;
    const bool tf = front.HasTireSize();
    // Front wheel against rear wheel: both wheels need their tire sizes.
    const bool wheels = (a == Shaft::FrontWheel ? other : setup).HasTireSize() && tf;
    switch (a) {
        case Shaft::DriveShaft:
            switch (b) {
                case Shaft::DriveShaft:
                    return false;
                case Shaft::FrontWheel:
                    return r && tf && tr;
                case Shaft::RearWheel:
                    return r;
                default:
                    return g;
            }
        case Shaft::FrontWheel:
            switch (b) {
                case Shaft::DriveShaft:
                    return r && tf && tr;
                case Shaft::FrontWheel:
                    return false;
                case Shaft::RearWheel:
                    return wheels;
                default:
                    return g && r && tf && tr;
            }
        case Shaft::RearWheel:
            switch (b) {
                case Shaft::DriveShaft:
                    return r;
                case Shaft::FrontWheel:
                    return wheels;
                case Shaft::RearWheel:
                    return false;
                default:
                    return g && r;
            }
        case Shaft::Clutch:
            switch (b) {
                case Shaft::DriveShaft:
                    return g;
                case Shaft::FrontWheel:
                    return g && r && tf && tr;
                case Shaft::RearWheel:
                    return g && r;
                default:
                    return true;
            }
        case Shaft::Engine:
            switch (b) {
                case Shaft::DriveShaft:
                    return g;
                case Shaft::FrontWheel:
                    return g && r && tf && tr;
                case Shaft::RearWheel:
                    return g && r;
                case Shaft::Clutch:
                    return true;
                case Shaft::Engine:
                    return false;  // two engine sensors are not compared
            }
    }
    return false;
}

void CChannelSetupDialog::ClearControls() {
    auto off = [](auto& field) { field.enabled = false; };
    for (TextField* f : {&m_name, &m_minimum, &m_maximum, &m_zero, &m_diameter, &m_circumference}) {
        off(*f);
        f->text.clear();
        f->error = false;
    }
    m_name.suggestions.clear();
    for (CheckField* f : {&m_invert, &m_verticalMarker}) {
        off(*f);
        f->checked = false;
    }
    for (RadioField* f : {&m_sender, &m_smoothing, &m_scaleMode, &m_band}) {
        off(*f);
        f->selected = -1;
    }
    for (int i = 0; i < 4; ++i) {
        off(m_displayOption[i]);
        m_displayOption[i].selected = -1;
        m_displayOption[i].shown = true;
        m_displayLabel[i].text.clear();
        m_displayLabel[i].shown = true;
    }
    m_sender.shown = false;
    m_invert.shown = true;
    off(m_ppr);
    m_ppr.value = 0;
    off(m_slipPartner);
    m_slipPartner.items.clear();
    m_slipPartner.selected = -1;
    m_diameterLabel.text = TireSizeCaption("Tire Diameter", m_units);
    m_circumferenceLabel.text = TireSizeCaption("Tire Circumference", m_units);
}

void CChannelSetupDialog::BuildNameChooser() {
    m_name.suggestions = {kNone};
    m_name.enabled = true;
    const CCarSetup& car = Car();
    const int own = TypeOf(m_nChannel);
    std::string text;
    auto offer = [this](const std::string& d) {
        if (!d.empty() && std::find(m_name.suggestions.begin(), m_name.suggestions.end(), d) ==
                              m_name.suggestions.end())
            m_name.suggestions.push_back(d);
    };
    switch (m_kind) {
        case SetupKind::Analog:
            for (const CAnalogSetup& s : car.m_analog)
                if (s.m_nType == own ||
                    (m_nChannel == kVoltageChannel && s.m_nChannel == kVoltageChannel))
                    offer(s.m_strDescription);
            if (const CAnalogSetup* s = car.FindAnalogSetup(m_nChannel)) text = s->m_strDescription;
            break;
        case SetupKind::Digital:
            for (const CDigitalSetup& s : car.m_digital)
                if (s.m_nType == own) offer(s.m_strDescription);
            if (const CDigitalSetup* s = car.FindDigitalSetup(m_nChannel))
                text = s->m_strDescription;
            break;
        default:
            for (const CFreqSetup& s : car.m_rpm)
                if (s.m_nRpmType == own) offer(s.m_strDescription);
            if (const CFreqSetup* s = car.FindRpmSetup(m_nChannel)) text = s->m_strDescription;
            break;
    }
    m_name.text = text;
}

void CChannelSetupDialog::BuildSlipPartners() {
    CFreqSetup* s = Car().FindRpmSetup(m_nChannel);
    m_slipPartner.items = {kNone};
    m_slipChannels = {0};
    m_slipPartner.selected = 0;
    if (!s) return;
    for (const CFreqSetup& other : Car().m_rpm) {
        if (!SlipPartnerEligible(Car(), *s, other)) continue;
        m_slipPartner.items.push_back(
            FormatText("#%d: %s", other.m_nChannel, other.m_strDescription.c_str()));
        m_slipChannels.push_back(other.m_nChannel);
    }
    bool found = s->m_nSlipPartner == 0;
    for (std::size_t i = 0; i < m_slipChannels.size(); ++i)
        if (m_slipChannels[i] == s->m_nSlipPartner) {
            m_slipPartner.selected = static_cast<int>(i);
            found = true;
        }
    if (!found) {
        s->m_nSlipPartner = 0;
        MarkChanged();
    }
    m_slipPartner.enabled = HasOwnChannel(*s) && m_slipChannels.size() > 1;
}

void CChannelSetupDialog::ShowControls() {
    ClearControls();
    if (m_copies.empty() || m_mode != Mode::Normal || !HasSetup(m_nChannel)) return;
    BuildNameChooser();
    CCarSetup& car = Car();
    switch (m_kind) {
        case SetupKind::Analog: {
            const CAnalogSetup& s = *car.FindAnalogSetup(m_nChannel);
            m_minimum.text = NumberText(s.GetMinimum(m_units));
            m_maximum.text = NumberText(s.GetMaximum(m_units));
            m_zero.text = NumberText(s.GetOffset(m_units));
            m_minimum.enabled = m_zero.enabled = true;
            m_maximum.enabled = !((s.m_nType == kAnalogVdo || s.m_nType == kAnalog2Voltage) &&
                                  s.m_nChannel == kVoltageChannel);
            const bool pressure = s.m_nType == kAnalogPressure || s.m_nType == kAnalog2Pressure;
            m_sender.shown = m_sender.enabled = pressure;
            m_invert.shown = m_invert.enabled = !pressure;
            m_sender.selected =
                pressure && s.m_nInvert >= 1 && s.m_nInvert <= 3 ? s.m_nInvert - 1 : -1;
            m_invert.checked = !pressure && s.m_nInvert != 0;
            m_smoothing.enabled = m_scaleMode.enabled = true;
            m_smoothing.selected = SmoothingIndex(s.m_nSmoothing);
            m_scaleMode.selected =
                s.m_nScaleMode >= 1 && s.m_nScaleMode <= 4 ? s.m_nScaleMode - 1 : -1;
            break;
        }
        case SetupKind::Digital: {
            const CDigitalSetup& s = *car.FindDigitalSetup(m_nChannel);
            m_invert.enabled = m_verticalMarker.enabled = true;
            m_invert.checked = s.m_nInvert != 0;
            m_verticalMarker.checked = s.m_nBand == 1;
            m_band.enabled = s.m_nBand != 1;
            m_band.selected = s.m_nBand >= 2 && s.m_nBand <= 4 ? s.m_nBand - 2 : -1;
            break;
        }
        default: {
            BuildSlipPartners();
            const CFreqSetup& s = *car.FindRpmSetup(m_nChannel);
            m_ppr.value = s.m_nPPR;
            // An engine sensor's pulses follow from its type.
            m_ppr.enabled = !(s.m_nRpmType >= 1 && s.m_nRpmType <= kRpmLastEngine);
            m_smoothing.enabled = true;
            m_smoothing.selected = SmoothingIndex(s.m_nSmoothing);
            m_displayModes.clear();
            for (const RpmDisplayChoice& c : RpmDisplayChoices(s.m_nRpmType, m_units)) {
                if (m_displayModes.size() == 4) break;
                if (!CanDisplay(car, s, c.mode)) continue;
                const std::size_t i = m_displayModes.size();
                m_displayModes.push_back(c.mode);
                m_displayLabel[i].text = c.label;
                m_displayOption[i].enabled = true;
                m_displayOption[i].selected = c.mode == s.m_nDisplayMode ? 0 : -1;
            }
            for (std::size_t i = m_displayModes.size(); i < 4; ++i)
                m_displayOption[i].shown = m_displayLabel[i].shown = false;
            const bool tire = s.m_nRpmType == kRpmFrontWheel || s.m_nRpmType == kRpmRearWheel;
            for (TextField* f : {&m_diameter, &m_circumference}) f->shown = f->enabled = tire;
            m_diameterLabel.shown = m_circumferenceLabel.shown = tire;
            if (tire) {
                m_diameter.text = NumberText(s.m_fDiameter);
                m_circumference.text = NumberText(s.m_fCircumference);
            }
            break;
        }
    }
}

void CChannelSetupDialog::StoreControl(const std::string& name) {
    if (m_mode != Mode::Normal || !HasSetup(m_nChannel)) return;
    CCarSetup& car = Car();
    bool typed = false;  // a text field: its text stays as typed
    auto set = [this](auto& member, auto value) {
        if (member == value) return;
        member = value;
        MarkChanged();
    };
    if (name == "name") {
        const std::string text = m_name.text == kNone ? std::string() : m_name.text;
        typed = true;
        if (CAnalogSetup* a =
                m_kind == SetupKind::Analog ? car.FindAnalogSetup(m_nChannel) : nullptr)
            set(a->m_strDescription, text);
        if (CDigitalSetup* d =
                m_kind == SetupKind::Digital ? car.FindDigitalSetup(m_nChannel) : nullptr)
            set(d->m_strDescription, text);
        if (CFreqSetup* f = m_kind == SetupKind::Rpm ? car.FindRpmSetup(m_nChannel) : nullptr)
            set(f->m_strDescription, text);
    } else if (m_kind == SetupKind::Analog) {
        CAnalogSetup& s = *car.FindAnalogSetup(m_nChannel);
        float v = 0;
        if (name == "minimum" || name == "maximum" || name == "zero") {
            typed = true;
            TextField& f = name == "minimum" ? m_minimum : name == "maximum" ? m_maximum : m_zero;
            if (!ReadNumber(f.text, v)) return BuildList();
            const float now = name == "minimum"   ? s.GetMinimum(m_units)
                              : name == "maximum" ? s.GetMaximum(m_units)
                                                  : s.GetOffset(m_units);
            if (now != v) {
                if (name == "minimum") s.SetMinimum(v, m_units);
                if (name == "maximum") s.SetMaximum(v, m_units);
                if (name == "zero") s.SetOffset(v, m_units);
                s.ApplyTypeResolution();
                MarkChanged();
            }
        } else if (name == "invert") {
            set(s.m_nInvert, m_invert.checked ? 1 : 0);
        } else if (name == "sender" && m_sender.selected >= 0) {
            set(s.m_nInvert, m_sender.selected + 1);
        } else if (name == "smoothing" && m_smoothing.selected >= 0) {
            set(s.m_nSmoothing,
                static_cast<int16_t>(
                    kSmoothingWords[static_cast<std::size_t>(m_smoothing.selected)]));
        } else if (name == "scaleMode" && m_scaleMode.selected >= 0) {
            set(s.m_nScaleMode, static_cast<int16_t>(m_scaleMode.selected + 1));
        }
    } else if (m_kind == SetupKind::Digital) {
        CDigitalSetup& s = *car.FindDigitalSetup(m_nChannel);
        if (name == "invert") set(s.m_nInvert, m_invert.checked ? 1 : 0);
        if (name == "verticalMarker")
            set(s.m_nBand, static_cast<int16_t>(m_verticalMarker.checked ? 1 : 2));
        if (name == "band" && m_band.selected >= 0)
            set(s.m_nBand, static_cast<int16_t>(m_band.selected + 2));
        s.ApplyBand();
    } else {
        CFreqSetup& s = *car.FindRpmSetup(m_nChannel);
        if (name == "ppr" && m_ppr.enabled) set(s.m_nPPR, std::clamp(m_ppr.value, 1, 999));
        for (std::size_t i = 0; i < m_displayModes.size(); ++i)
            if (name == "display" + std::to_string(i)) set(s.m_nDisplayMode, m_displayModes[i]);
        if (name == "slipPartner" && m_slipPartner.selected >= 0 &&
            m_slipPartner.selected < static_cast<int>(m_slipChannels.size()))
            set(s.m_nSlipPartner, m_slipChannels[static_cast<std::size_t>(m_slipPartner.selected)]);
        if (name == "smoothing" && m_smoothing.selected >= 0)
            set(s.m_nSmoothing,
                static_cast<int16_t>(
                    kSmoothingWords[static_cast<std::size_t>(m_smoothing.selected)]));
        if (name == "diameter" || name == "circumference") {
            typed = true;
            TextField& f = name == "diameter" ? m_diameter : m_circumference;
            float v = 0;
            f.error = !ReadNumber(f.text, v) || v < 0.01f || v > 1000.0f;
            if (!f.error) {
                if (name == "diameter" && s.m_fDiameter != v) {
                    set(s.m_fDiameter, v);
                    s.m_fCircumference = v * 3.14f;
                    m_circumference.text = NumberText(s.m_fCircumference);
                } else if (name == "circumference") {
                    set(s.m_fCircumference, v);
                }
            }
        }
    }
    if (!typed) ShowControls();
    BuildList();
}

std::string CChannelSetupDialog::RateText(int channel) const {
    const CBriodashDataset* ds = Work().dataset;
    if (!ds || channel < 1) return "";
    const CSeriesBase* series = nullptr;
    if (m_kind == SetupKind::Analog && channel <= kAnalogChannels)
        series = &ds->m_analog[static_cast<std::size_t>(channel - 1)];
    if (m_kind == SetupKind::Rpm && channel <= kRpmChannels)
        series = &ds->m_rpm[static_cast<std::size_t>(channel - 1)];
    if (!series || series->IsEmpty() || !(series->m_fRate > 0.0f)) return "";
    return FormatText("%1.0f Hz", static_cast<double>(series->m_fRate));
}

std::string CChannelSetupDialog::ListLine(int channel) const {
    const CCarSetup& car = Car();
    auto line = [&](const std::string& description, const std::string& type) {
        const char* name = description.empty() ? kNone : description.c_str();
        if (DefaultsMode() || m_kind == SetupKind::Digital)
            return FormatText("#%1d: %s, Type: %s", channel, name, type.c_str());
        return FormatText("#%1d: %s @ %s, Type: %s", channel, name, RateText(channel).c_str(),
                          type.c_str());
    };
    switch (m_kind) {
        case SetupKind::Analog: {
            const CAnalogSetup& s = *car.FindAnalogSetup(channel);
            return line(s.m_strDescription, AnalogTypeName(s.m_nType));
        }
        case SetupKind::Digital: {
            const CDigitalSetup& s = *car.FindDigitalSetup(channel);
            return line(s.m_strDescription, DigitalTypeName(s.m_nType));
        }
        default: {
            const CFreqSetup& s = *car.FindRpmSetup(channel);
            if (channel == 0) return FormatText("%s, Type: Definition", s.m_strDescription.c_str());
            return line(s.m_strDescription, RpmTypeName(s.m_nRpmType));
        }
    }
}

void CChannelSetupDialog::BuildList() {
    m_list.items.clear();
    m_listChannels = ChannelsOfKind();
    m_list.selected = -1;
    for (std::size_t i = 0; i < m_listChannels.size(); ++i) {
        m_list.items.push_back(ListLine(m_listChannels[i]));
        if (m_mode == Mode::Normal && m_listChannels[i] == m_nChannel)
            m_list.selected = static_cast<int>(i);
    }
}

}  // namespace orvex
