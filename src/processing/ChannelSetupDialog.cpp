// The channel setup dialogs: working copies and the mode machine of the channel and type
// choosers.
#include "processing/ChannelSetupDialog.h"

#include <algorithm>

#include "model/CarFile.h"
#include "model/Dataset.h"
#include "model/Document.h"
#include "model/RpmSetups.h"

namespace orvex {

namespace {

constexpr const char* kSelectChannel = "<select channel>";
constexpr const char* kAddChannel = "<add channel>";
constexpr const char* kDeleteChannel = "<delete channel>";
constexpr const char* kEmptyList = "<Empty List>";
constexpr const char* kSelectType = "<select type>";
constexpr const char* kExit = "<exit>";
constexpr const char* kNewType = "<new type>";
constexpr const char* kCancel = "<cancel>";
constexpr const char* kDelete = "<delete>";
constexpr const char* kRearWheelDefinition = "Define Rear Wheel";

int ChannelCount(SetupKind kind) {
    switch (kind) {
        case SetupKind::Analog:
            return kAnalogChannels;
        case SetupKind::Digital:
            return kDigitalChannels;
        default:
            return kRpmChannels;
    }
}

}  // namespace

CChannelSetupDialog::CChannelSetupDialog(SetupKind kind, CBriodashDoc& doc,
                                         const CBriodashDataset* selected, PathChooser choosePath)
    : m_kind(kind),
      m_pDoc(&doc),
      m_units(doc.m_options.units),
      m_host(doc.Host()),
      m_choosePath(std::move(choosePath)) {
    for (CBriodashDataset* ds : doc.ShownDatasets(true)) {
        m_copies.push_back({ds, ds->m_carSetup, false});
        m_session.items.push_back(ds->m_strName);
        if (ds == selected) m_session.selected = static_cast<int>(m_copies.size()) - 1;
    }
    if (m_session.selected < 0 && !m_copies.empty()) m_session.selected = 0;
    BindAll();
}

CChannelSetupDialog::CChannelSetupDialog(SetupKind kind, CCarSetup& defaults, Units units,
                                         IHostServices& host, PathChooser choosePath)
    : m_kind(kind),
      m_pDefaults(&defaults),
      m_units(units),
      m_host(host),
      m_choosePath(std::move(choosePath)) {
    m_copies.push_back({nullptr, defaults, false});
    m_session.items = {"Defaults"};
    m_session.selected = 0;
    m_session.enabled = false;
    BindAll();
}

std::string CChannelSetupDialog::BaseTitle(SetupKind kind) {
    switch (kind) {
        case SetupKind::Analog:
            return "Configure Analog Channels";
        case SetupKind::Digital:
            return "Configure Digital Inputs";
        case SetupKind::Rpm:
            return "Configure RPM/MPH Channels";
        case SetupKind::Transmission:
            break;
    }
    return "Transmission/Rear End Settings";
}

std::string CChannelSetupDialog::Title() const {
    return BaseTitle(m_kind) + (DefaultsMode() ? " - Default Settings" : "");
}

void CChannelSetupDialog::BindAll() {
    Bind("session", m_session);
    Bind("channel", m_channel);
    Bind("type", m_type);
    Bind("name", m_name);
    Bind("list", m_list);
    Bind("importFile", m_import);
    Bind("exportFile", m_export);
    Bind("apply", m_apply);
    m_apply.enabled = false;
    m_smoothing.options = 4;
    switch (m_kind) {
        case SetupKind::Analog:
            Bind("minimum", m_minimum);
            Bind("maximum", m_maximum);
            Bind("zero", m_zero);
            Bind("invert", m_invert);
            m_sender.options = 3;
            Bind("sender", m_sender);
            Bind("smoothing", m_smoothing);
            m_scaleMode.options = 4;
            Bind("scaleMode", m_scaleMode);
            for (TextField* f : {&m_minimum, &m_maximum, &m_zero}) {
                f->SetPattern(R"(\s*-?(\d+\.?\d*|\.\d+)?\s*)");
                f->tip = "A number";
            }
            break;
        case SetupKind::Digital:
            Bind("invert", m_invert);
            Bind("verticalMarker", m_verticalMarker);
            m_band.options = 3;
            Bind("band", m_band);
            break;
        default:
            m_ppr.lo = 0;
            m_ppr.hi = 999;
            Bind("ppr", m_ppr);
            for (int i = 0; i < 4; ++i) {
                m_displayOption[i].options = 1;
                Bind("display" + std::to_string(i), m_displayOption[i]);
                Bind("display" + std::to_string(i) + "Label", m_displayLabel[i]);
            }
            Bind("slipPartner", m_slipPartner);
            Bind("smoothing", m_smoothing);
            Bind("diameter", m_diameter);
            Bind("circumference", m_circumference);
            Bind("diameterLabel", m_diameterLabel);
            Bind("circumferenceLabel", m_circumferenceLabel);
            for (TextField* f : {&m_diameter, &m_circumference}) {
                f->SetPattern(R"(\s*(\d+\.?\d*|\.\d+)\s*)");
                f->tip = "0.01 to 1000";
            }
            break;
    }
    if (m_copies.empty()) {
        for (const NamedField& f : Fields())
            std::visit([](auto* field) { field->enabled = false; }, f.field);
        m_session.enabled = false;
        return;
    }
    m_nShownSession = m_session.selected;
    Rebuild();
}

// --- Queries -------------------------------------------------------------------------------

std::vector<int> CChannelSetupDialog::ChannelsOfKind() const {
    std::vector<int> out;
    if (m_copies.empty()) return out;
    const CCarSetup& car = Car();
    switch (m_kind) {
        case SetupKind::Analog:
            for (const CAnalogSetup& s : car.m_analog) out.push_back(s.m_nChannel);
            break;
        case SetupKind::Digital:
            for (const CDigitalSetup& s : car.m_digital) out.push_back(s.m_nChannel);
            break;
        default:
            for (const CFreqSetup& s : car.m_rpm) out.push_back(s.m_nChannel);
            break;
    }
    return out;
}

uint32_t CChannelSetupDialog::UsedMask() const {
    uint32_t mask = 0;
    for (int ch : ChannelsOfKind())
        if (ch >= 1 && ch <= 32) mask |= 1u << (ch - 1);
    return mask;
}

bool CChannelSetupDialog::HasSetup(int channel) const {
    const std::vector<int> all = ChannelsOfKind();
    return channel >= 0 && std::find(all.begin(), all.end(), channel) != all.end();
}

int CChannelSetupDialog::TypeOf(int channel) const {
    const CCarSetup& car = Car();
    switch (m_kind) {
        case SetupKind::Analog:
            if (const CAnalogSetup* s = car.FindAnalogSetup(channel)) return s->m_nType;
            break;
        case SetupKind::Digital:
            if (const CDigitalSetup* s = car.FindDigitalSetup(channel)) return s->m_nType;
            break;
        default:
            if (const CFreqSetup* s = car.FindRpmSetup(channel)) return s->m_nRpmType;
            break;
    }
    return 0;
}

int CChannelSetupDialog::AnalogFamily() const {
    if (!Car().m_analog.empty()) return Car().m_analog.front().m_nFamily;
    return m_nNewFamily;
}

std::vector<int> CChannelSetupDialog::AllTypes(int forChannel) const {
    std::vector<int> out;
    switch (m_kind) {
        case SetupKind::Analog: {
            const int family = AnalogFamily() < 0 ? 1 : AnalogFamily();
            for (int32_t code : AnalogTypeChoices(family, forChannel)) out.push_back(code);
            break;
        }
        case SetupKind::Digital:
            for (const DigitalKind& k : DigitalKinds(forChannel))
                if (std::find(out.begin(), out.end(), k.code) == out.end()) out.push_back(k.code);
            break;
        default:
            if (forChannel == 0) return {kRpmRearWheel};
            for (int t = 1; t <= kRpmUserDefined; ++t) out.push_back(t);
            break;
    }
    return out;
}

std::vector<int> CChannelSetupDialog::UsedTypes(int forChannel) const {
    const std::vector<int> allowed = AllTypes(forChannel);
    std::vector<int> out;
    for (int ch : ChannelsOfKind()) {
        const int code = TypeOf(ch);
        if (std::find(allowed.begin(), allowed.end(), code) == allowed.end()) continue;
        if (std::find(out.begin(), out.end(), code) == out.end()) out.push_back(code);
    }
    return out;
}

std::string CChannelSetupDialog::TypeText(int code) const {
    switch (m_kind) {
        case SetupKind::Analog:
            return AnalogTypeName(code);
        case SetupKind::Digital:
            return DigitalTypeName(code);
        default:
            return RpmTypeName(code);
    }
}

bool CChannelSetupDialog::RearWheelDefinable() const {
    bool source = false;
    for (const CFreqSetup& s : Car().m_rpm) {
        if (s.m_nRpmType == kRpmRearWheel) return false;
        if (IsEngineType(s.m_nRpmType) || s.m_nRpmType == kRpmClutch ||
            s.m_nRpmType == kRpmDriveShaft)
            source = true;
    }
    return source;
}

bool CChannelSetupDialog::AddOffered() const {
    if (DefaultsMode()) return true;
    return m_kind == SetupKind::Rpm && RearWheelDefinable();
}

// --- Choosers ------------------------------------------------------------------------------

void CChannelSetupDialog::BuildChannelChooser() {
    m_channelEntries.clear();
    const std::vector<int> channels = ChannelsOfKind();
    auto channelText = [this](int ch) {
        return ch == 0 && m_kind == SetupKind::Rpm ? std::string(kRearWheelDefinition)
                                                   : FormatMessage("Channel %1d", ch);
    };
    std::vector<std::string> items;
    auto add = [&](ChannelItem item, int ch, std::string text) {
        m_channelEntries.push_back({item, ch});
        items.push_back(std::move(text));
    };
    switch (m_mode) {
        case Mode::Normal:
            add(ChannelItem::Select, -1, kSelectChannel);
            if (AddOffered()) add(ChannelItem::Add, -1, kAddChannel);
            if (!channels.empty()) add(ChannelItem::Delete, -1, kDeleteChannel);
            for (int ch : channels) add(ChannelItem::Channel, ch, channelText(ch));
            break;
        case Mode::Adding:
        case Mode::NewType:
            if (m_mode == Mode::NewType && m_modeBeforeNewType == Mode::Normal) {
                for (int ch : channels) add(ChannelItem::Channel, ch, channelText(ch));
                break;
            }
            if (!DefaultsMode() && m_kind == SetupKind::Rpm) {
                add(ChannelItem::Channel, 0, kRearWheelDefinition);
                break;
            }
            for (int ch = 1; ch <= ChannelCount(m_kind); ++ch)
                if (!HasSetup(ch)) add(ChannelItem::Channel, ch, channelText(ch));
            break;
        case Mode::Deleting:
            if (channels.empty()) add(ChannelItem::Empty, -1, kEmptyList);
            for (int ch : channels) add(ChannelItem::Channel, ch, channelText(ch));
            break;
    }
    m_channel.items = items;
    m_channel.selected = 0;
    for (std::size_t i = 0; i < m_channelEntries.size(); ++i)
        if (m_channelEntries[i].item == ChannelItem::Channel &&
            m_channelEntries[i].channel == m_nChannel)
            m_channel.selected = static_cast<int>(i);
}

void CChannelSetupDialog::BuildTypeChooser() {
    m_typeEntries.clear();
    std::vector<std::string> items;
    auto add = [&](TypeItem item, int code, std::string text) {
        m_typeEntries.push_back({item, code});
        items.push_back(std::move(text));
    };
    const bool channel = m_nChannel >= 0;
    switch (m_mode) {
        case Mode::Normal:
            if (!HasSetup(m_nChannel)) break;
            add(TypeItem::NewType, 0, kNewType);
            for (int code : UsedTypes(m_nChannel)) add(TypeItem::Type, code, TypeText(code));
            break;
        case Mode::Adding:
            add(TypeItem::Select, 0, kSelectType);
            add(TypeItem::Exit, 0, kExit);
            if (channel) {
                add(TypeItem::NewType, 0, kNewType);
                for (int code : UsedTypes(m_nChannel)) add(TypeItem::Type, code, TypeText(code));
            }
            break;
        case Mode::Deleting:
            add(TypeItem::Select, 0, kSelectType);
            add(TypeItem::Exit, 0, kExit);
            if (channel) add(TypeItem::Delete, 0, kDelete);
            break;
        case Mode::NewType:
            add(TypeItem::Select, 0, kSelectType);
            add(TypeItem::Cancel, 0, kCancel);
            if (m_kind == SetupKind::Digital) {
                // The kinds of the input: several kinds share a code and name the new input.
                for (const DigitalKind& k : DigitalKinds(m_nChannel))
                    add(TypeItem::Type, k.code, k.name);
            } else {
                for (int code : AllTypes(m_nChannel)) add(TypeItem::Type, code, TypeText(code));
            }
            break;
    }
    m_type.items = items;
    m_type.enabled = !items.empty();
    m_type.selected = items.empty() ? -1 : 0;
    if (m_mode == Mode::Normal && HasSetup(m_nChannel)) {
        const int own = TypeOf(m_nChannel);
        for (std::size_t i = 0; i < m_typeEntries.size(); ++i)
            if (m_typeEntries[i].item == TypeItem::Type && m_typeEntries[i].code == own)
                m_type.selected = static_cast<int>(i);
    }
}

void CChannelSetupDialog::EnterMode(Mode mode) {
    m_mode = mode;
    if (mode == Mode::Adding) {
        m_nChannel = -1;
        if (!DefaultsMode() && m_kind == SetupKind::Rpm) {
            m_nChannel = 0;
        } else {
            for (int ch = 1; ch <= ChannelCount(m_kind) && m_nChannel < 0; ++ch)
                if (!HasSetup(ch)) m_nChannel = ch;
        }
    } else if (mode == Mode::Deleting) {
        const std::vector<int> channels = ChannelsOfKind();
        m_nChannel = channels.empty() ? -1 : channels.front();
    } else if (mode == Mode::Normal && !HasSetup(m_nChannel)) {
        m_nChannel = -1;
    }
    Rebuild();
}

void CChannelSetupDialog::Rebuild() {
    BuildChannelChooser();
    BuildTypeChooser();
    ShowControls();
    BuildList();
}

bool CChannelSetupDialog::ChooseChannel(const std::string& text) {
    auto it = std::find(m_channel.items.begin(), m_channel.items.end(), text);
    if (it == m_channel.items.end()) return false;
    m_channel.selected = static_cast<int>(it - m_channel.items.begin());
    Changed("channel");
    return true;
}

bool CChannelSetupDialog::ChooseType(const std::string& text) {
    auto it = std::find(m_type.items.begin(), m_type.items.end(), text);
    if (it == m_type.items.end()) return false;
    m_type.selected = static_cast<int>(it - m_type.items.begin());
    Changed("type");
    return true;
}

void CChannelSetupDialog::OnChannelChosen() {
    if (m_channel.selected < 0 || m_channel.selected >= static_cast<int>(m_channelEntries.size()))
        return;
    const ChannelEntry entry = m_channelEntries[static_cast<std::size_t>(m_channel.selected)];
    switch (m_mode) {
        case Mode::Normal:
            if (entry.item == ChannelItem::Add) return EnterMode(Mode::Adding);
            if (entry.item == ChannelItem::Delete) return EnterMode(Mode::Deleting);
            m_nChannel = entry.item == ChannelItem::Channel ? entry.channel : -1;
            break;
        case Mode::NewType:
            if (m_modeBeforeNewType == Mode::Normal) {
                m_nChannel = entry.channel;
                return EnterMode(Mode::Normal);
            }
            m_nChannel = entry.channel;
            break;
        case Mode::Adding:
        case Mode::Deleting:
            if (entry.item == ChannelItem::Channel) m_nChannel = entry.channel;
            break;
    }
    Rebuild();
}

void CChannelSetupDialog::OnTypeChosen() {
    if (m_type.selected < 0 || m_type.selected >= static_cast<int>(m_typeEntries.size())) return;
    const TypeEntry entry = m_typeEntries[static_cast<std::size_t>(m_type.selected)];
    const std::string text = m_type.items[static_cast<std::size_t>(m_type.selected)];
    switch (entry.item) {
        case TypeItem::Select:
            return;
        case TypeItem::Exit:
            m_nChannel = -1;
            return EnterMode(Mode::Normal);
        case TypeItem::Cancel:
            if (m_modeBeforeNewType == Mode::Adding) m_nChannel = -1;
            return EnterMode(Mode::Normal);
        case TypeItem::NewType:
            if (m_kind == SetupKind::Analog && m_mode == Mode::Adding && AnalogFamily() < 0) {
                const Answer a =
                    m_host.Ask(FormatMessage("Are you defining Analog Channels for a %s system?",
                                             std::string("Kavrane Data")),
                               Buttons::YesNo, Answer::No);
                m_nNewFamily = a == Answer::Yes ? 0 : 1;
            }
            m_modeBeforeNewType = m_mode;
            m_mode = Mode::NewType;
            return Rebuild();
        case TypeItem::Delete:
            DeleteChannel(m_nChannel);
            return;
        case TypeItem::Type:
            if (m_mode == Mode::Adding ||
                (m_mode == Mode::NewType && m_modeBeforeNewType == Mode::Adding)) {
                CreateChannel(m_nChannel, entry.code);
                if (m_kind == SetupKind::Digital && entry.code >= 1 && entry.code <= 4)
                    if (CDigitalSetup* s = Car().FindDigitalSetup(m_nChannel))
                        s->m_strDescription = m_mode == Mode::NewType ? text : TypeText(entry.code);
            } else if (HasSetup(m_nChannel) &&
                       (m_mode == Mode::NewType || entry.code != TypeOf(m_nChannel))) {
                Retype(m_nChannel, entry.code);
            }
            return EnterMode(Mode::Normal);
    }
}

void CChannelSetupDialog::CreateChannel(int channel, int code) {
    if (channel < 0 || HasSetup(channel)) return;
    CCarSetup& car = Car();
    switch (m_kind) {
        case SetupKind::Analog:
            car.GetOrCreateAnalogSetup(channel, code);
            break;
        case SetupKind::Digital: {
            CDigitalSetup& s = car.GetOrCreateDigitalSetup(channel);
            s.m_nType = code;
            s.ApplyTypeDefaults();
            s.ApplyBand();
            break;
        }
        default:
            car.GetOrCreateRpmSetup(channel, code, m_units);
            break;
    }
    MarkChanged();
    m_nChannel = channel;
}

void CChannelSetupDialog::Retype(int channel, int code) {
    CCarSetup& car = Car();
    switch (m_kind) {
        case SetupKind::Analog:
            if (CAnalogSetup* s = car.FindAnalogSetup(channel)) s->ChooseType(code);
            break;
        case SetupKind::Digital:
            if (CDigitalSetup* s = car.FindDigitalSetup(channel)) {
                s->m_nType = code;
                s->ApplyTypeDefaults();
                s->ApplyBand();
            }
            break;
        default:
            if (CFreqSetup* s = car.FindRpmSetup(channel)) s->SetType(code);
            break;
    }
    MarkChanged();
}

void CChannelSetupDialog::DeleteChannel(int channel) {
    if (channel < 0) return;
    const bool definition = m_kind == SetupKind::Rpm && channel == 0;
    std::string question;
    if (definition) {
        const CFreqSetup* s = Car().FindRpmSetup(0);
        question =
            FormatMessage("You are about do delete Definition for %s\nDo you wish to continue?",
                          s ? s->m_strDescription : std::string(kRearWheelDefinition));
    } else {
        question = FormatMessage("You are about do delete Channel #%1d\nDo you wish to continue?",
                                 channel);
    }
    if (m_host.Ask(question, Buttons::YesNo, Answer::No) != Answer::Yes) return;
    bool removed = false;
    switch (m_kind) {
        case SetupKind::Analog:
            removed = Car().RemoveAnalogSetup(channel);
            break;
        case SetupKind::Digital:
            removed = Car().RemoveDigitalSetup(channel);
            break;
        default:
            removed = Car().RemoveRpmSetup(channel);
            break;
    }
    if (!removed) {
        m_host.Message(m_kind == SetupKind::Rpm ? "ERROR: Could NOT delete selection!"
                                                : "ERROR: Could NOT delete channel!",
                       Icon::Warning);
        return;
    }
    MarkChanged();
    m_nChannel = -1;
    EnterMode(Mode::Normal);
}

// --- Events --------------------------------------------------------------------------------

bool CChannelSetupDialog::OnSessionChosen() {
    const int now = m_session.selected;
    if (now == m_nShownSession) return true;
    if (m_kind == SetupKind::Digital && !DefaultsMode()) {
        // The lap-timer question is about the copy being left.
        m_session.selected = m_nShownSession;
        if (!AskLapTimers(Car())) return false;
        m_session.selected = now;
    }
    m_nShownSession = now;
    m_mode = Mode::Normal;
    m_nChannel = -1;
    m_nNewFamily = -1;
    Rebuild();
    return true;
}

void CChannelSetupDialog::Changed(const std::string& name) {
    if (m_copies.empty()) return;
    if (name == "session") {
        OnSessionChosen();
    } else if (name == "channel") {
        OnChannelChosen();
    } else if (name == "type") {
        OnTypeChosen();
    } else if (name == "list") {
        OnListChosen();
    } else {
        StoreControl(name);
    }
}

bool CChannelSetupDialog::Edited(const std::string& name) {
    StoreControl(name);
    return true;
}

void CChannelSetupDialog::Clicked(const std::string& name) {
    if (m_copies.empty()) return;
    if (name == "importFile") {
        const std::string path = m_choosePath(false);
        if (!path.empty()) ImportFrom(path);
    } else if (name == "exportFile") {
        const std::string path = m_choosePath(true);
        if (!path.empty()) ExportTo(path);
    }
}

void CChannelSetupDialog::OnListChosen() {
    if (m_list.selected < 0 || m_list.selected >= static_cast<int>(m_listChannels.size())) return;
    m_nChannel = m_listChannels[static_cast<std::size_t>(m_list.selected)];
    m_mode = Mode::Normal;
    Rebuild();
}

void CChannelSetupDialog::ImportFrom(const std::string& path) {
    if (ImportCarFileForDialog(Car(), path, m_kind, m_units, m_host)) {
        MarkChanged();
        m_mode = Mode::Normal;
        if (!HasSetup(m_nChannel)) m_nChannel = -1;
        Rebuild();
    }
}

bool CChannelSetupDialog::ExportTo(const std::string& path) {
    return ExportCarFile(Car(), path, m_units, m_host);
}

}  // namespace orvex
