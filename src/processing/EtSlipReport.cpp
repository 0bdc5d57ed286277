#include "processing/EtSlipReport.h"

#include <algorithm>
#include <cstdio>

#include "host/HostServices.h"
#include "processing/Laps.h"

namespace orvex {

const std::array<const char*, kEtFields> kEtFieldCaptions = {
    "60 Ft :", "330 Ft :", "660 Ft (1/8 mi) :", "1000 Ft :", "1320 Ft (1/4 mi) :"};

namespace {

int32_t ZeroOf(const CBriodashDataset& ds) {
    return ds.m_nTimeRef != 0 ? ds.m_lZeroTime : 0;
}

}  // namespace

bool CEtSlipReport::Open(const std::vector<CBriodashDataset*>& sessions,
                         const CBriodashDataset* current, IHostServices& host) {
    m_sessions.clear();
    m_current = -1;
    for (CBriodashDataset* ds : sessions) {
        if (!ds || ds->m_nLap != 0 || ds->m_bDeleted) continue;
        const auto& marks = ds->m_markers.m_samples;
        // The code of each mark; renumbered 0, 1, 2 ... when the user converts the session.
        std::vector<int32_t> codes;
        for (const CSample& m : marks) codes.push_back(m.m_lRaw);
        bool empty = false;
        if (!IsEtConfigured(ds->m_markers)) {
            char buf[512];
            std::snprintf(buf, sizeof buf,
                          "Times found are NOT configured for ET-Slip Report for Session "
                          "'%s'.\nDo you wish to convert?",
                          ds->m_strName.c_str());
            Answer a = host.Ask(buf, Buttons::YesNoCancel, Answer::No);
            if (a == Answer::Cancel) continue;
            if (a == Answer::Yes)
                for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = static_cast<int32_t>(i);
            else
                empty = true;
        }
        Session s;
        s.dataset = ds;
        if (!empty) {
            const int32_t zero = ZeroOf(*ds);
            for (std::size_t i = 0; i < marks.size(); ++i)
                if (codes[i] == kEtLaunch) s.launch = marks[i].m_lTime - zero;
            for (std::size_t i = 0; i < marks.size(); ++i) {
                if (codes[i] < 1 || codes[i] > kEtFields) continue;
                const int32_t launch = s.launch ? *s.launch + zero : 0;
                s.elapsed[static_cast<std::size_t>(codes[i] - 1)] = marks[i].m_lTime - launch;
            }
        }
        m_sessions.push_back(s);
    }
    if (m_sessions.empty()) return false;
    m_current = 0;
    for (std::size_t i = 0; i < m_sessions.size(); ++i)
        if (m_sessions[i].dataset == current) m_current = static_cast<int>(i);
    return true;
}

void CEtSlipReport::SelectSession(int index) {
    if (index >= 0 && index < static_cast<int>(m_sessions.size())) m_current = index;
}

CEtSlipReport::Session* CEtSlipReport::Current() {
    if (m_current < 0 || m_current >= static_cast<int>(m_sessions.size())) return nullptr;
    return &m_sessions[static_cast<std::size_t>(m_current)];
}

const CEtSlipReport::Session* CEtSlipReport::Current() const {
    return const_cast<CEtSlipReport*>(this)->Current();
}

std::vector<TimeChoice> CEtSlipReport::LaunchChoices(int32_t green, int32_t red) const {
    std::vector<TimeChoice> out;
    TimeChoice user;
    user.text = "User Defined";
    user.userDefined = true;
    out.push_back(user);
    if (green != kNotSet) out.push_back({"Green Marker @ " + FormatEtTime(green), green, false});
    if (red != kNotSet) out.push_back({"Red Marker @ " + FormatEtTime(red), red, false});
    if (const Session* s = Current()) {
        for (int channel : {5, 6}) {
            const CDigitalSetup* setup = s->dataset->m_carSetup.FindDigitalSetup(channel);
            const std::string name = setup ? setup->m_strDescription : std::string();
            for (const DigitalEvent& e : ChannelEvents(*s->dataset, channel))
                out.push_back({name + " @ " + FormatEtTime(e.time), e.time, false});
        }
    }
    return out;
}

void CEtSlipReport::ChooseLaunch(const TimeChoice& choice) {
    if (Session* s = Current(); s && !choice.userDefined) s->launch = choice.time;
}

std::string CEtSlipReport::LaunchText() const {
    const Session* s = Current();
    return s && s->launch ? FormatEtTime(*s->launch) : std::string();
}

std::string CEtSlipReport::FieldText(int field) const {
    const Session* s = Current();
    if (!s || field < 0 || field >= kEtFields) return {};
    const auto& v = s->elapsed[static_cast<std::size_t>(field)];
    return v ? FormatEtTime(*v) : std::string();
}

std::string CEtSlipReport::IncrementalText(int field) const {
    const Session* s = Current();
    if (!s || field < 1 || field >= kEtFields) return {};
    const auto& a = s->elapsed[static_cast<std::size_t>(field - 1)];
    const auto& b = s->elapsed[static_cast<std::size_t>(field)];
    return a && b ? FormatEtTime(*b - *a) : std::string();
}

namespace {

bool ReadEntry(const std::string& text, std::optional<int32_t>& into, IHostServices& host) {
    if (text.find_first_not_of(" \t") == std::string::npos) {
        into.reset();
        return true;
    }
    std::optional<int32_t> t = ParseTimeEntry(text, 3);
    if (!t) {
        host.Message(kInvalidEtTime, Icon::Warning);
        return false;
    }
    into = t;
    return true;
}

}  // namespace

bool CEtSlipReport::SetLaunchText(const std::string& text, IHostServices& host) {
    Session* s = Current();
    return s && ReadEntry(text, s->launch, host);
}

bool CEtSlipReport::SetFieldText(int field, const std::string& text, IHostServices& host) {
    Session* s = Current();
    if (!s || field < 0 || field >= kEtFields) return false;
    return ReadEntry(text, s->elapsed[static_cast<std::size_t>(field)], host);
}

void CEtSlipReport::Apply() {
    for (const Session& s : m_sessions) {
        CSampleList& markers = s.dataset->m_markers;
        markers.m_samples.clear();
        if (s.launch) {
            const int64_t launch = static_cast<int64_t>(*s.launch) + ZeroOf(*s.dataset);
            auto add = [&markers](int64_t t, int32_t code) {
                if (t < kMinInt32 || t > 2147483647LL) return;
                CSample m;
                m.m_lTime = static_cast<int32_t>(t);
                m.m_lRaw = m.m_lFiltered = code;
                markers.AddTail(m);
            };
            add(launch, kEtLaunch);
            for (int k = 0; k < kEtFields; ++k)
                if (const auto& e = s.elapsed[static_cast<std::size_t>(k)]) add(launch + *e, k + 1);
        }
        // Elapsed times typed out of order still give a series in time order.
        std::stable_sort(markers.m_samples.begin(), markers.m_samples.end(),
                         [](const CSample& a, const CSample& b) { return a.m_lTime < b.m_lTime; });
        markers.ClearMinMax();
        markers.m_nOn = 1;
    }
}

}  // namespace orvex
