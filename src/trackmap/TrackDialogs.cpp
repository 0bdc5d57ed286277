#include "trackmap/TrackDialogs.h"

#include <algorithm>

#include "model/Document.h"

namespace orvex {

namespace {

// The radio options of "Calculate Distance From" in their order on the form.
constexpr int kSourceOptions[] = {kSpeedFrontWheel, kSpeedRearWheel, kSpeedAccelerometer,
                                  kSpeedEngine};

}  // namespace

CTrackLapDialog::CTrackLapDialog(const CTrackMapLapSelection& selection) : m_selection(selection) {
    Bind("lap", lap);
    lap.items = selection.Entries();
    lap.selected = 0;
}

void CTrackLapDialog::SelectCode(int32_t code) {
    lap.selected = 0;
    for (std::size_t i = 0; i < m_selection.Laps().size(); ++i)
        if (m_selection.Laps()[i].code == code) lap.selected = static_cast<int>(i) + 1;
}

int CTrackSettingsDialog::SourceOfOption(int option) {
    return option >= 0 && option < 4 ? kSourceOptions[option] : kSpeedEngine;
}

int CTrackSettingsDialog::OptionOfSource(int speedSource) {
    for (int i = 0; i < 4; ++i)
        if (kSourceOptions[i] == speedSource) return i;
    return -1;
}

CTrackSettingsDialog::CTrackSettingsDialog(CTrackMapSettings& settings, CBriodashDoc* doc)
    : m_settings(settings), m_doc(doc) {
    Bind("source", source).options = 4;
    Bind("openMap", openMap);
    Bind("banking", banking);
    Bind("defaults", defaults);
    Show();
}

void CTrackSettingsDialog::Show() {
    source.selected = OptionOfSource(m_settings.m_nSpeedSource);
    openMap.checked = m_settings.m_bOpen;
    banking.checked = m_settings.m_bBanking;
}

void CTrackSettingsDialog::Changed(const std::string& name) {
    if (name == "source") m_settings.m_nSpeedSource = SourceOfOption(source.selected);
    if (name == "openMap") m_settings.m_bOpen = openMap.checked;
    if (name == "banking") m_settings.m_bBanking = banking.checked;
}

void CTrackSettingsDialog::Clicked(const std::string& name) {
    if (name != "defaults") return;
    m_settings.Defaults();
    Show();
}

bool CTrackSettingsDialog::Accept() {
    if (m_doc) m_bSourceChanged = m_settings.Ok(*m_doc);
    return true;
}

CTrackSegmentDialog::CTrackSegmentDialog(CTrackSegmentSettings& settings) : m_settings(settings) {
    Bind("title", title);
    Bind("positiveLabel", positiveLabel);
    Bind("negativeLabel", negativeLabel);
    Bind("positive", positive);
    Bind("negative", negative);
    Bind("positivePercent", positivePercent);
    Bind("negativePercent", negativePercent);
    Bind("positiveG", positiveG);
    Bind("negativeG", negativeG);
    Bind("defaults", defaults);
    for (NumberField* f : {&positive, &negative}) {
        f->lo = 0;
        f->hi = kSegmentSliderMax;
    }
    title.text = settings.Title();
    positiveLabel.text = settings.PositiveLabel();
    negativeLabel.text = settings.NegativeLabel();
    Show();
}

void CTrackSegmentDialog::Show() {
    positive.value = m_settings.m_nPositive;
    negative.value = m_settings.m_nNegative;
    positivePercent.text = m_settings.PercentText(true);
    negativePercent.text = m_settings.PercentText(false);
    positiveG.text = m_settings.GText(true);
    negativeG.text = m_settings.GText(false);
}

void CTrackSegmentDialog::Changed(const std::string& name) {
    if (name == "positive") m_settings.m_nPositive = std::clamp(positive.value, 0, 100);
    if (name == "negative") m_settings.m_nNegative = std::clamp(negative.value, 0, 100);
    Show();
}

void CTrackSegmentDialog::Clicked(const std::string& name) {
    if (name != "defaults") return;
    m_settings.Defaults();
    Show();
}

CRaceLapDialog::CRaceLapDialog(CRaceModeData& race, IHostServices& host)
    : m_race(race), m_host(host) {
    Bind("available", available);
    Bind("selected", selected);
    Bind("add", add);
    Bind("remove", remove);
    Bind("addAll", addAll);
    Bind("removeAll", removeAll);
    // The laps racing now stay chosen.
    for (const CRaceLap& s : race.Selected())
        for (std::size_t i = 0; i < race.Available().size(); ++i)
            if (race.Available()[i].name == s.name) m_chosen.push_back(static_cast<int>(i));
    Show();
    available.selected = available.items.empty() ? -1 : 0;
}

void CRaceLapDialog::Show() {
    const auto& laps = m_race.Available();
    available.items.clear();
    for (std::size_t i = 0; i < laps.size(); ++i)
        if (std::find(m_chosen.begin(), m_chosen.end(), static_cast<int>(i)) == m_chosen.end())
            available.items.push_back(laps[i].name);
    selected.items.clear();
    for (int i : m_chosen) selected.items.push_back(laps[static_cast<std::size_t>(i)].name);
    auto fit = [](ChoiceField& f) {
        if (f.selected >= static_cast<int>(f.items.size()))
            f.selected = static_cast<int>(f.items.size()) - 1;
        if (f.selected < 0 && !f.items.empty()) f.selected = 0;
    };
    fit(available);
    fit(selected);
    remove.enabled = removeAll.enabled = !m_chosen.empty();
    add.enabled = addAll.enabled = !available.items.empty();
}

void CRaceLapDialog::Clicked(const std::string& name) {
    const auto& laps = m_race.Available();
    if (name == "add" && available.selected >= 0) {
        // The n-th lap not yet chosen.
        int seen = -1;
        for (std::size_t i = 0; i < laps.size(); ++i) {
            if (std::find(m_chosen.begin(), m_chosen.end(), static_cast<int>(i)) != m_chosen.end())
                continue;
            if (++seen == available.selected) {
                m_chosen.push_back(static_cast<int>(i));
                break;
            }
        }
    } else if (name == "remove" && selected.selected >= 0 &&
               selected.selected < static_cast<int>(m_chosen.size())) {
        m_chosen.erase(m_chosen.begin() + selected.selected);
    } else if (name == "addAll") {
        for (std::size_t i = 0; i < laps.size(); ++i)
            if (std::find(m_chosen.begin(), m_chosen.end(), static_cast<int>(i)) == m_chosen.end())
                m_chosen.push_back(static_cast<int>(i));
    } else if (name == "removeAll") {
        m_chosen.clear();
    }
    Show();
}

bool CRaceLapDialog::Accept() {
    m_bRaceOn = m_race.Choose(m_chosen, m_host);
    return true;
}

}  // namespace orvex
