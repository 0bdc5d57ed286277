// The "Transmission/Rear End Settings" dialog's fields.
#include "model/TransmissionDialog.h"

#include <cmath>
#include <cstdlib>

#include "host/FormatText.h"
#include "model/CarFile.h"
#include "model/Document.h"

namespace orvex {

namespace {

constexpr const char* kRatioPattern = R"(\s*(\d+\.?\d*|\.\d+)\s*)";

bool ReadRatio(const std::string& text, float lo, float hi, float& value) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(v) || v < lo || v > hi) return false;
    value = static_cast<float>(v);
    return true;
}

std::string RatioText(float v) {
    return FormatText("%.2f", static_cast<double>(v));
}

}  // namespace

CTransmissionDialog::CTransmissionDialog(CBriodashDoc& doc, PathChooser choosePath)
    : m_pDoc(&doc),
      m_units(doc.m_options.units),
      m_host(doc.Host()),
      m_choosePath(std::move(choosePath)) {
    for (CBriodashDataset* ds : doc.ShownDatasets(true)) {
        m_copies.push_back({ds, ds->m_carSetup, false});
        m_session.items.push_back(ds->m_strName);
    }
    m_session.selected = m_copies.empty() ? -1 : 0;
    BindAll();
}

CTransmissionDialog::CTransmissionDialog(CCarSetup& defaults, Units units, IHostServices& host,
                                         PathChooser choosePath)
    : m_pDefaults(&defaults), m_units(units), m_host(host), m_choosePath(std::move(choosePath)) {
    m_copies.push_back({nullptr, defaults, false});
    m_session.items = {"Defaults"};
    m_session.selected = 0;
    m_session.enabled = false;
    BindAll();
}

std::string CTransmissionDialog::Title() const {
    return std::string("Transmission/Rear End Settings") +
           (m_pDefaults ? " - Default Settings" : "");
}

void CTransmissionDialog::BindAll() {
    Bind("session", m_session);
    m_gears.options = 6;
    Bind("gears", m_gears);
    for (int i = 0; i < 6; ++i) {
        m_ratio[i].SetPattern(kRatioPattern);
        m_ratio[i].tip = "0.01 to 99.99";
        Bind("ratio" + std::to_string(i + 1), m_ratio[i]);
    }
    m_rearEndMode.options = 2;
    Bind("rearEndMode", m_rearEndMode);
    for (NumberField* n : {&m_driveTeeth, &m_axleTeeth}) {
        n->lo = 1;
        n->hi = 999;
    }
    Bind("driveTeeth", m_driveTeeth);
    Bind("axleTeeth", m_axleTeeth);
    m_rearEndRatio.SetPattern(kRatioPattern);
    m_rearEndRatio.tip = "0.01 to 999.9";
    Bind("rearEndRatio", m_rearEndRatio);
    m_note.text =
        "The above settings are ONLY required if Slip and/or Gear Calculation is desired.";
    Bind("note", m_note);
    Bind("importFile", m_import);
    Bind("exportFile", m_export);
    Show();
}

void CTransmissionDialog::Show() {
    const bool any = m_session.selected >= 0;
    for (auto* f : {&m_import, &m_export}) f->enabled = any;
    if (!any) {
        m_gears.enabled = m_rearEndMode.enabled = m_driveTeeth.enabled = m_axleTeeth.enabled =
            m_rearEndRatio.enabled = false;
        for (TextField& r : m_ratio) r.enabled = false;
        return;
    }
    const CCarSetup& car = Car();
    m_gears.selected = car.m_nGears >= 1 && car.m_nGears <= 6 ? car.m_nGears - 1 : -1;
    for (int i = 0; i < 6; ++i) {
        m_ratio[i].enabled = i < car.m_nGears;
        m_ratio[i].text = RatioText(car.m_fGearRatio[i]);
        m_ratio[i].error = false;
    }
    const bool byRatio = car.m_nRearEndMode == 1;
    m_rearEndMode.selected = byRatio ? 1 : 0;
    m_driveTeeth.value = car.m_nDriveTeeth;
    m_axleTeeth.value = car.m_nAxleTeeth;
    m_driveTeeth.enabled = m_axleTeeth.enabled = !byRatio;
    m_rearEndRatio.enabled = byRatio;
    m_rearEndRatio.text = RatioText(car.m_fRearEndRatio);
}

void CTransmissionDialog::Changed(const std::string& name) {
    if (m_session.selected < 0) return;
    CCarSetup& car = Car();
    if (name == "gears" && m_gears.selected >= 0 && car.m_nGears != m_gears.selected + 1) {
        car.m_nGears = m_gears.selected + 1;
        MarkChanged();
    } else if (name == "rearEndMode" && m_rearEndMode.selected >= 0 &&
               car.m_nRearEndMode != m_rearEndMode.selected) {
        car.m_nRearEndMode = m_rearEndMode.selected;
        if (car.m_nRearEndMode == 0 && car.m_nDriveTeeth >= 1)
            car.m_fRearEndRatio =
                static_cast<float>(car.m_nAxleTeeth) / static_cast<float>(car.m_nDriveTeeth);
        MarkChanged();
    } else if ((name == "driveTeeth" || name == "axleTeeth") && car.m_nRearEndMode == 0) {
        const int value = name == "driveTeeth" ? m_driveTeeth.value : m_axleTeeth.value;
        int32_t& teeth = name == "driveTeeth" ? car.m_nDriveTeeth : car.m_nAxleTeeth;
        if (teeth != value) {
            teeth = value;
            car.m_fRearEndRatio =
                static_cast<float>(car.m_nAxleTeeth) / static_cast<float>(car.m_nDriveTeeth);
            MarkChanged();
        }
    } else if (name.rfind("ratio", 0) == 0 || name == "rearEndRatio") {
        return;  // typed ratios are taken when their field is left
    }
    Show();
}

bool CTransmissionDialog::Edited(const std::string& name) {
    const bool taken = StoreTyped(name);
    if (taken) Show();
    return taken;
}

bool CTransmissionDialog::StoreTyped(const std::string& name) {
    if (m_session.selected < 0) return true;
    CCarSetup& car = Car();
    float v = 0;
    for (int i = 0; i < 6; ++i) {
        if (name != "ratio" + std::to_string(i + 1)) continue;
        if (!ReadRatio(m_ratio[i].text, 0.01f, 99.99f, v)) {
            m_ratio[i].error = true;
            m_host.Message("A gear ratio must be a number from 0.01 to 99.99", Icon::Warning);
            return false;
        }
        if (car.m_fGearRatio[i] != v) {
            car.m_fGearRatio[i] = v;
            MarkChanged();
        }
    }
    if (name == "rearEndRatio") {
        if (!ReadRatio(m_rearEndRatio.text, 0.01f, 999.9f, v)) {
            m_rearEndRatio.error = true;
            m_host.Message("The rear end ratio must be a number from 0.01 to 999.9", Icon::Warning);
            return false;
        }
        if (car.m_fRearEndRatio != v) {
            car.m_fRearEndRatio = v;
            MarkChanged();
        }
    }
    return true;
}

void CTransmissionDialog::Clicked(const std::string& name) {
    if (m_session.selected < 0 || (name != "importFile" && name != "exportFile")) return;
    const std::string path = m_choosePath(name == "exportFile");
    if (path.empty()) return;
    if (name == "exportFile") {
        ExportCarFile(Car(), path, m_units, m_host);
    } else if (name == "importFile" &&
               ImportCarFileForDialog(Car(), path, SetupKind::Transmission, m_units, m_host)) {
        MarkChanged();
        Show();
    }
}

bool CTransmissionDialog::Accept() {
    // A ratio still being typed is taken first.
    for (int i = 0; i < 6; ++i)
        if (m_ratio[i].enabled && !StoreTyped("ratio" + std::to_string(i + 1))) return false;
    if (m_rearEndRatio.enabled && !StoreTyped("rearEndRatio")) return false;
    if (m_pDefaults) {
        if (!m_copies.empty()) *m_pDefaults = m_copies.front().car;
        return true;
    }
    ApplyToDocument();
    return true;
}

void CTransmissionDialog::ApplyToDocument() {
    CBriodashDoc& doc = *m_pDoc;
    bool any = false;
    const WorkingCopy* session = nullptr;
    for (const auto& owned : doc.m_datasets) {
        CBriodashDataset& ds = *owned;
        if (ds.m_bDeleted) continue;
        if (ds.m_nLap != 0) {
            if (session && session->changed) ds.m_carSetup.CopyTransmission(session->car);
            continue;
        }
        session = nullptr;
        for (const WorkingCopy& c : m_copies)
            if (c.dataset == &ds) session = &c;
        if (!session || !session->changed) continue;
        any = true;
        ds.m_carSetup.CopyTransmission(session->car);
        // Slip against gears and the rear end follows the new ratios.
        for (const CFreqSetup& s : ds.m_carSetup.m_rpm) {
            if (s.m_nChannel < 1 || s.m_nChannel > kRpmChannels || s.m_nSlipPartner == 0) continue;
            ds.m_rpm[static_cast<std::size_t>(s.m_nChannel - 1)].m_bSlipDirty = 1;
            doc.Services().ComputeSlip(doc, ds, s.m_nChannel);
        }
    }
    if (!any) return;
    doc.m_bModified = true;
    doc.UpdateAllViews(kHintResetDisplay);
}

}  // namespace orvex
