#include "model/Gears.h"

#include <algorithm>
#include <cstdio>

#include "model/RpmSetups.h"

namespace orvex {

int GearReferenceChannel(const CBriodashDataset& ds) {
    const CCarSetup& car = ds.m_carSetup;
    const CFreqSetup* ref = FindRpmType(car, 10);
    if (!ref) {
        const CFreqSetup* rear = FindRearWheel(car);
        if (rear && !HasOwnChannel(*rear)) return 0;
        ref = rear ? rear : FindRpmType(car, 9);
    }
    if (!ref || !HasOwnChannel(*ref)) return 0;
    if (ds.m_rpm[static_cast<std::size_t>(ref->m_nChannel - 1)].IsEmpty()) return 0;
    return ref->m_nChannel;
}

std::string GearOrdinal(int gear) {
    if (gear == 1) return "1st";
    if (gear == 2) return "2nd";
    if (gear == 3) return "3rd";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%dth", gear);
    return buf;
}

namespace {

std::string Choice(const char* format, int from, int to) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, GearOrdinal(from).c_str(), GearOrdinal(to).c_str());
    return buf;
}

}  // namespace

GearDialog OpenGearDialog(const CBriodashDataset& ds, int32_t key, bool byDistance) {
    GearDialog dialog;
    const int ref = GearReferenceChannel(ds);
    if (ref == 0) return dialog;
    for (int i = 0; i < kRpmChannels; ++i) {
        const CShaftList& s = ds.m_rpm[static_cast<std::size_t>(i)];
        if (!s.IsEmpty())
            dialog.samples[static_cast<std::size_t>(i)] =
                s.FindAfter(key, s.First(), byDistance, false);
    }
    const CShaftList& rs = ds.m_rpm[static_cast<std::size_t>(ref - 1)];
    const Pos at = dialog.samples[static_cast<std::size_t>(ref - 1)];
    const int g = rs.GetGear(at);
    dialog.valid = true;
    dialog.currentGear = g;
    for (Pos p = rs.Prev(at); p != kNoPos; p = rs.Prev(p)) {
        if (rs[p].m_nGear != g) {
            dialog.previousGear = rs[p].m_nGear;
            break;
        }
    }
    const int n = ds.m_carSetup.m_nGears;
    if (g < n)
        dialog.choices.push_back({GearAction::Upshift, Choice("Upshift %s to %s", g, g + 1)});
    if (g > 1)
        dialog.choices.push_back({GearAction::Downshift, Choice("Downshift %s to %s", g, g - 1)});
    const int p = dialog.previousGear;
    if (p != 0 && p < g)
        dialog.choices.push_back({GearAction::MoveDown, Choice("Move %s to %s shift", g - 1, g)});
    else if (p != 0 && p > g)
        dialog.choices.push_back({GearAction::MoveUp, Choice("Move %s to %s shift", g, g + 1)});
    return dialog;
}

namespace {

int16_t Stepped(int16_t gear, bool up) {
    return up ? static_cast<int16_t>(std::min<int>(gear + 1, 32767))
              : static_cast<int16_t>(std::max(gear - 1, 1));
}

}  // namespace

void Shift(CBriodashDataset& ds, int channel, Pos sample, bool up) {
    if (channel < 1 || channel > kRpmChannels || sample == kNoPos) return;
    CShaftList& s = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
    if (sample >= static_cast<Pos>(s.Size())) return;
    const int16_t run = s[sample].m_nGear;
    for (Pos p = sample; p != kNoPos && s[p].m_nGear == run; p = s.Next(p))
        s[p].m_nGear = Stepped(run, up);
}

void MoveShift(CBriodashDataset& ds, int channel, Pos sample, bool down) {
    if (channel < 1 || channel > kRpmChannels || sample == kNoPos) return;
    CShaftList& s = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
    if (sample >= static_cast<Pos>(s.Size())) return;
    const int16_t run = s[sample].m_nGear;
    for (Pos p = sample; p != kNoPos && s[p].m_nGear == run; p = s.Prev(p))
        s[p].m_nGear = Stepped(run, !down);
}

void ApplyGearShift(CBriodashDataset& ds, const GearDialog& dialog, GearAction action) {
    if (!dialog.valid) return;
    for (int c = 1; c <= kRpmChannels; ++c) {
        const Pos at = dialog.samples[static_cast<std::size_t>(c - 1)];
        if (at == kNoPos || ds.m_rpm[static_cast<std::size_t>(c - 1)].IsEmpty()) continue;
        switch (action) {
            case GearAction::Upshift:
                Shift(ds, c, at, true);
                break;
            case GearAction::Downshift:
                Shift(ds, c, at, false);
                break;
            case GearAction::MoveDown:
                MoveShift(ds, c, at, true);
                break;
            case GearAction::MoveUp:
                MoveShift(ds, c, at, false);
                break;
        }
    }
    for (auto& s : ds.m_rpm) s.m_bSlipDirty = 1;
}

}  // namespace orvex
