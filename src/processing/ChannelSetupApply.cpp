// OK of the channel setup dialogs: the checks, then the copies applied to the datasets with
// lap markers from a lap-timer input, recomputed distances and slip, and the views told.
#include <cctype>

#include "host/FormatText.h"
#include "model/Dataset.h"
#include "model/Document.h"
#include "model/RpmSetups.h"
#include "processing/ChannelSetupDialog.h"
#include "processing/SpeedDistance.h"

namespace orvex {

namespace {

const CAnalogSetup* FindAccelerometer(const CCarSetup& car, const char* direction) {
    for (const CAnalogSetup& a : car.m_analog) {
        if (a.m_nType != kAnalogAccel && a.m_nType != kAnalog2Accel) continue;
        std::string upper = a.m_strDescription;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper.find(direction) != std::string::npos) return &a;
    }
    return nullptr;
}

bool CalibrationDiffers(const CAnalogSetup* a, const CAnalogSetup* b) {
    if (!a || !b) return a != b;
    return a->m_fMin != b->m_fMin || a->m_fMax != b->m_fMax || a->m_fOffset != b->m_fOffset ||
           a->m_nInvert != b->m_nInvert;
}

bool ShaftDiffers(const CFreqSetup* a, const CFreqSetup* b) {
    if (!a || !b) return a != b;
    return a->m_nPPR != b->m_nPPR || a->m_fCircumference != b->m_fCircumference ||
           a->m_nChannel != b->m_nChannel;
}

bool SlipDiffers(const CFreqSetup* a, const CFreqSetup* b) {
    if (!a || !b) return true;
    return a->m_nSlipPartner != b->m_nSlipPartner || a->m_nSmoothing != b->m_nSmoothing ||
           a->m_nPPR != b->m_nPPR || a->m_fCircumference != b->m_fCircumference;
}

// The setup that distance `source` reads.
const CFreqSetup* DistanceSetup(const CCarSetup& car, int source) {
    switch (source) {
        case kDistanceFrontWheel:
            return FindRpmType(car, kRpmFrontWheel);
        case kDistanceRearWheel: {
            const CFreqSetup* rear = FindRearWheel(car);
            if (rear && HasOwnChannel(*rear)) return rear;
            return FindRpmType(car, kRpmDriveShaft);
        }
        case kDistanceEngine:
            return FindRpmType(car, 9);
        default:
            return nullptr;
    }
}

}  // namespace

bool CChannelSetupDialog::AskLapTimers(const CCarSetup& car) {
    if (DefaultsMode()) return true;
    for (const CDigitalSetup& s : car.m_digital) {
        if (s.m_nType != kDigitalLapTimer) continue;
        const std::string question =
            FormatText("Channel #%1d has been specified as a 'Lap Timer' channel.\n",
                       s.m_nChannel) +
            "Do you wish to move this channel to the special Lap Timer channel?";
        if (m_host.Ask(question, Buttons::YesNo, Answer::No) == Answer::Yes) continue;
        m_host.Message(FormatText("Channel #%ld needs to be changed to something other than a Lap "
                                  "Timer channel",
                                  static_cast<long>(s.m_nChannel)),
                       Icon::Warning);
        return false;
    }
    return true;
}

bool CChannelSetupDialog::ValidateCopies() {
    for (std::size_t i = 0; i < m_copies.size(); ++i) {
        if (m_kind == SetupKind::Digital && static_cast<int>(i) != m_session.selected) continue;
        CCarSetup& car = m_copies[i].car;
        std::string fault = ValidateSetups(car, m_kind);
        if (fault.empty() && m_kind == SetupKind::Rpm)
            for (const CFreqSetup& s : car.m_rpm)
                if (!CanDisplay(car, s)) {
                    fault = FormatText("Please correct 'Display RPM Data' for %s!",
                                       s.m_strDescription.c_str());
                    break;
                }
        if (!fault.empty()) {
            m_host.Message(fault, Icon::Warning);
            return false;
        }
        if (m_kind == SetupKind::Digital && !AskLapTimers(car)) return false;
    }
    return true;
}

bool CChannelSetupDialog::Accept() {
    if (m_copies.empty()) return true;
    if (!ValidateCopies()) {
        Rebuild();
        return false;
    }
    if (m_pDefaults) {
        *m_pDefaults = m_copies.front().car;
        return true;
    }
    ApplyToDocument();
    return true;
}

void CChannelSetupDialog::ApplyToDocument() {
    CBriodashDoc& doc = *m_pDoc;
    uint32_t hint = kHintSetupsChanged;
    const bool tractionCircle = doc.FindView(ViewKind::TractionCircle) != nullptr;
    const WorkingCopy* session = nullptr;  // the copy of the whole session before a lap
    for (const auto& owned : doc.m_datasets) {
        CBriodashDataset& ds = *owned;
        if (ds.m_bDeleted) continue;
        WorkingCopy* copy = nullptr;
        for (WorkingCopy& c : m_copies)
            if (c.dataset == &ds) copy = &c;
        if (ds.m_nLap != 0) {
            if (session && session->changed) {
                ds.m_carSetup = session->car;
                ds.ApplySettingsToSeries();
                ds.DropUnconfigured();
            }
            continue;
        }
        session = copy;
        if (!copy || !copy->changed) continue;
        CCarSetup& car = copy->car;
        bool distances = false;
        std::vector<int> slipDirty;
        switch (m_kind) {
            case SetupKind::Digital:
                for (std::size_t i = 0; i < car.m_digital.size();) {
                    if (car.m_digital[i].m_nType == kDigitalLapTimer) {
                        ds.MarkersFromDigital(car.m_digital[i].m_nChannel);
                        car.m_digital.erase(car.m_digital.begin() + static_cast<long>(i));
                    } else {
                        ++i;
                    }
                }
                break;
            case SetupKind::Analog: {
                const CAnalogSetup* oldLeftRight = FindAccelerometer(ds.m_carSetup, "LEFT-RIGHT");
                const CAnalogSetup* oldFrontRear = FindAccelerometer(ds.m_carSetup, "FRONT-REAR");
                const CAnalogSetup* newLeftRight = FindAccelerometer(car, "LEFT-RIGHT");
                const CAnalogSetup* newFrontRear = FindAccelerometer(car, "FRONT-REAR");
                const bool leftRight = CalibrationDiffers(oldLeftRight, newLeftRight);
                const bool frontRear = CalibrationDiffers(oldFrontRear, newFrontRear);
                distances = frontRear && ds.m_nDistanceSource == kDistanceAccelerometer;
                if ((leftRight && ds.m_nDistanceSource != kDistanceNone) || distances)
                    hint |= kHintDistancesChanged;
                if ((leftRight || frontRear) && tractionCircle) hint |= kHintAccelerometerChanged;
                break;
            }
            default: {
                const int source = ds.m_nDistanceSource;
                distances =
                    source != kDistanceNone && source != kDistanceAccelerometer &&
                    ShaftDiffers(DistanceSetup(ds.m_carSetup, source), DistanceSetup(car, source));
                if (distances) hint |= kHintDistancesChanged;
                for (const CFreqSetup& s : car.m_rpm) {
                    if (!HasOwnChannel(s) || s.m_nSlipPartner == 0) continue;
                    const CFreqSetup* old = ds.m_carSetup.FindRpmSetup(s.m_nChannel);
                    const CFreqSetup* partner = car.FindRpmSetup(s.m_nSlipPartner);
                    const CFreqSetup* oldPartner = ds.m_carSetup.FindRpmSetup(s.m_nSlipPartner);
                    if (SlipDiffers(old, &s) || SlipDiffers(oldPartner, partner)) {
                        ds.m_rpm[static_cast<std::size_t>(s.m_nChannel - 1)].m_bSlipDirty = 1;
                        slipDirty.push_back(s.m_nChannel);
                    }
                }
                break;
            }
        }
        ds.m_carSetup = car;
        ds.ApplySettingsToSeries();
        ds.DropUnconfigured();
        for (int channel : slipDirty) doc.Services().ComputeSlip(doc, ds, channel);
        if (distances && doc.Services().ComputeDistance(doc, ds, ds.m_nDistanceSource) &&
            doc.m_bLapView)
            doc.Services().ReanalyseLaps(doc, ds);
    }
    doc.m_bModified = true;
    m_nAppliedHint = hint;
    doc.UpdateAllViews(hint);
}

}  // namespace orvex
