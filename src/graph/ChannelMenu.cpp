// The "Channel Menu" dialog's state.
#include "graph/ChannelMenu.h"

#include <algorithm>

#include "host/FormatText.h"

namespace orvex {

CChannelMenu::CChannelMenu(CBriodashDoc& doc, PathChooser choosePath)
    : m_doc(doc), m_choosePath(std::move(choosePath)) {
    for (CBriodashDataset* ds : doc.ShownDatasets()) {
        m_sessions.push_back({ds, ChannelChoice::From(*ds)});
        m_session.items.push_back(ds->GetDisplayName(3));
    }
    m_session.selected = m_sessions.empty() ? -1 : 0;
    Bind("session", m_session);
    Bind("allOn", m_allOn);
    Bind("allOff", m_allOff);
    Bind("loadColors", m_loadColors);
    Bind("saveColors", m_saveColors);
    if (m_sessions.empty())
        for (ButtonField* b : {&m_allOn, &m_allOff, &m_loadColors, &m_saveColors})
            b->enabled = false;
}

std::vector<CChannelMenu::Row> CChannelMenu::Rows() const {
    std::vector<Row> rows;
    if (m_session.selected < 0) return rows;
    const CBriodashDataset& ds = *Current().dataset;
    const ChannelChoice& c = Current().choice;
    const CCarSetup& car = ds.m_carSetup;
    auto name = [](const std::string& d) { return d.empty() ? std::string("<none>") : d; };
    if (!ds.m_markers.IsEmpty())
        rows.push_back({RowKind::Markers, 0, "Lap Markers", c.markersOn,
                        static_cast<ColorRef>(c.markerColour)});
    for (int i = 0; i < kRpmChannels; ++i) {
        const CFreqSetup* s = car.FindRpmSetup(i + 1);
        if (!s && ds.m_rpm[static_cast<std::size_t>(i)].IsEmpty()) continue;
        const std::string d = name(s ? s->m_strDescription : "");
        rows.push_back({RowKind::Rpm, i, FormatText("RPM #%d: %s", i + 1, d.c_str()), c.rpmOn[i],
                        static_cast<ColorRef>(c.rpmColour[i])});
        if (s && s->m_nSlipPartner != 0)
            rows.push_back({RowKind::Slip, i, FormatText("Slip #%d: %s", i + 1, d.c_str()),
                            c.slipOn[i], static_cast<ColorRef>(c.slipColour[i])});
    }
    for (int i = 0; i < kAnalogChannels; ++i) {
        const CAnalogSetup* s = car.FindAnalogSetup(i + 1);
        if (!s && ds.m_analog[static_cast<std::size_t>(i)].IsEmpty()) continue;
        rows.push_back(
            {RowKind::Analog, i,
             FormatText("Analog #%d: %s", i + 1, name(s ? s->m_strDescription : "").c_str()),
             c.analogOn[i], static_cast<ColorRef>(c.analogColour[i])});
    }
    for (int i = 0; i < kDigitalChannels; ++i) {
        const CDigitalSetup* s = car.FindDigitalSetup(i + 1);
        if (!s && ds.m_digital[static_cast<std::size_t>(i)].IsEmpty()) continue;
        rows.push_back(
            {RowKind::Digital, i,
             FormatText("Digital #%d: %s", i + 1, name(s ? s->m_strDescription : "").c_str()),
             c.digitalOn[i], static_cast<ColorRef>(c.digitalColour[i])});
    }
    return rows;
}

bool* CChannelMenu::OnOf(ChannelChoice& c, const Row& row) {
    switch (row.kind) {
        case RowKind::Markers:
            return &c.markersOn;
        case RowKind::Rpm:
            return &c.rpmOn[row.index];
        case RowKind::Slip:
            return &c.slipOn[row.index];
        case RowKind::Analog:
            return &c.analogOn[row.index];
        case RowKind::Digital:
            return &c.digitalOn[row.index];
    }
    return nullptr;
}

int32_t* CChannelMenu::ColourOf(ChannelChoice& c, const Row& row) {
    switch (row.kind) {
        case RowKind::Markers:
            return &c.markerColour;
        case RowKind::Rpm:
            return &c.rpmColour[row.index];
        case RowKind::Slip:
            return &c.slipColour[row.index];
        case RowKind::Analog:
            return &c.analogColour[row.index];
        case RowKind::Digital:
            return &c.digitalColour[row.index];
    }
    return nullptr;
}

void CChannelMenu::SetOn(int row, bool on) {
    const std::vector<Row> rows = Rows();
    if (row < 0 || row >= static_cast<int>(rows.size())) return;
    *OnOf(Current().choice, rows[static_cast<std::size_t>(row)]) = on;
}

void CChannelMenu::SetColour(int row, ColorRef colour) {
    const std::vector<Row> rows = Rows();
    if (row < 0 || row >= static_cast<int>(rows.size())) return;
    *ColourOf(Current().choice, rows[static_cast<std::size_t>(row)]) = static_cast<int32_t>(colour);
}

std::string CChannelMenu::ColourTitle(int row) const {
    const std::vector<Row> rows = Rows();
    if (row < 0 || row >= static_cast<int>(rows.size())) return "Channel Color";
    return "Choose Color for " + rows[static_cast<std::size_t>(row)].text;
}

void CChannelMenu::SetAll(bool on) {
    if (m_session.selected < 0) return;
    for (const Row& r : Rows()) *OnOf(Current().choice, r) = on;
}

bool CChannelMenu::LoadColours(const std::string& path) {
    std::optional<std::vector<CColor>> sets = ReadColorFile(path, m_doc.Host());
    if (!sets) return false;
    const std::size_t n = std::min(sets->size(), m_sessions.size());
    for (std::size_t i = 0; i < n; ++i) {
        const CColor& set = (*sets)[i];
        ChannelChoice& c = m_sessions[i].choice;
        for (int k = 0; k < kRpmChannels; ++k) {
            c.rpmColour[k] = static_cast<int32_t>(set.m_crRpm[k]);
            c.slipColour[k] = static_cast<int32_t>(set.m_crSlip[k]);
        }
        for (int k = 0; k < kAnalogChannels; ++k)
            c.analogColour[k] = static_cast<int32_t>(set.m_crAnalog[k]);
        for (int k = 0; k < kDigitalChannels; ++k)
            c.digitalColour[k] = static_cast<int32_t>(set.m_crDigital[k]);
    }
    if (sets->size() < m_sessions.size())
        m_doc.Host().Message(FormatText("The color file contained only %d color entries",
                                        static_cast<int>(sets->size())),
                             Icon::Information);
    return true;
}

bool CChannelMenu::SaveColours(const std::string& path) {
    std::vector<CColor> sets;
    for (const Session& s : m_sessions) {
        CColor set;
        set.m_crMarker = static_cast<ColorRef>(s.choice.markerColour);
        for (int k = 0; k < kRpmChannels; ++k) {
            set.m_crRpm[k] = static_cast<ColorRef>(s.choice.rpmColour[k]);
            set.m_crSlip[k] = static_cast<ColorRef>(s.choice.slipColour[k]);
        }
        for (int k = 0; k < kAnalogChannels; ++k)
            set.m_crAnalog[k] = static_cast<ColorRef>(s.choice.analogColour[k]);
        for (int k = 0; k < kDigitalChannels; ++k)
            set.m_crDigital[k] = static_cast<ColorRef>(s.choice.digitalColour[k]);
        sets.push_back(set);
    }
    return WriteColorFile(path, sets, m_doc.Host());
}

void CChannelMenu::Clicked(const std::string& name) {
    if (name == "allOn" || name == "allOff") SetAll(name == "allOn");
    if (name == "loadColors" || name == "saveColors") {
        const bool save = name == "saveColors";
        const std::string path = m_choosePath(save);
        if (path.empty()) return;
        if (save)
            SaveColours(path);
        else
            LoadColours(path);
    }
}

bool CChannelMenu::Accept() {
    std::vector<std::pair<CBriodashDataset*, ChannelChoice>> changes;
    for (const Session& s : m_sessions) changes.emplace_back(s.dataset, s.choice);
    m_doc.ApplyChannelChanges(changes);  // tells the views
    return true;
}

}  // namespace orvex
