// The "Spike Filter Settings" dialog's fields.
#include "processing/SpikeFilterDialog.h"

#include "processing/SpikeFilter.h"

namespace orvex {

namespace {

// A check box's level: checked filters (2); unchecked keeps a never-filtered channel at 0.
int LevelOf(bool checked, int before) {
    return checked ? 2 : before == 0 ? 0 : 1;
}

}  // namespace

CSpikeFilterDialog::CSpikeFilterDialog(CBriodashDoc& doc,
                                       const std::vector<CBriodashDataset*>& sessions)
    : m_pDoc(&doc), m_host(doc.Host()) {
    for (CBriodashDataset* ds : sessions) {
        Row row;
        row.dataset = ds;
        ReadRow(row);
        m_rows.push_back(row);
        m_session.items.push_back(ds->m_strName);
    }
    m_session.selected = m_rows.empty() ? -1 : 0;
    BindAll();
}

CSpikeFilterDialog::CSpikeFilterDialog(RpmLevels& rpmDefaults, AnalogLevels& analogDefaults,
                                       IHostServices& host)
    : m_pRpmDefaults(&rpmDefaults), m_pAnalogDefaults(&analogDefaults), m_host(host) {
    Row row;
    row.rpm = row.rpmBefore = rpmDefaults;
    row.analog = row.analogBefore = analogDefaults;
    m_rows.push_back(row);
    m_session.items = {"Default Settings"};
    m_session.selected = 0;
    m_apply.shown = false;
    BindAll();
}

void CSpikeFilterDialog::BindAll() {
    Bind("session", m_session);
    for (int i = 0; i < kRpmChannels; ++i) {
        Bind("rpm" + std::to_string(i + 1), m_rpm[i]);
        Bind("rpm" + std::to_string(i + 1) + "Label", m_rpmLabel[i]);
    }
    for (int i = 0; i < kAnalogChannels; ++i) {
        Bind("analog" + std::to_string(i + 1), m_analog[i]);
        Bind("analog" + std::to_string(i + 1) + "Label", m_analogLabel[i]);
    }
    Bind("apply", m_apply);
    Show();
}

void CSpikeFilterDialog::ReadRow(Row& row) const {
    for (int i = 0; i < kRpmChannels; ++i)
        row.rpm[i] = row.rpmBefore[i] = row.dataset->m_rpm[i].m_nDataMode;
    for (int i = 0; i < kAnalogChannels; ++i)
        row.analog[i] = row.analogBefore[i] = row.dataset->m_analog[i].m_nDataMode;
}

void CSpikeFilterDialog::Show() {
    const bool any = m_session.selected >= 0;
    const Row* row = any ? &m_rows[static_cast<std::size_t>(m_session.selected)] : nullptr;
    const CBriodashDataset* ds = row ? row->dataset : nullptr;
    for (int i = 0; i < kRpmChannels; ++i) {
        m_rpm[i].checked = row && row->rpm[i] == 2;
        m_rpm[i].enabled = row && (!ds || !ds->m_rpm[i].IsEmpty());
        const CFreqSetup* setup = ds ? ds->m_carSetup.FindRpmSetup(i + 1) : nullptr;
        m_rpmLabel[i].text = setup ? setup->ShortLabel() : "";
    }
    for (int i = 0; i < kAnalogChannels; ++i) {
        m_analog[i].checked = row && row->analog[i] == 2;
        m_analog[i].enabled = row && (!ds || !ds->m_analog[i].IsEmpty());
        const CAnalogSetup* setup = ds ? ds->m_carSetup.FindAnalogSetup(i + 1) : nullptr;
        m_analogLabel[i].text = setup ? setup->ShortLabel() : "";
    }
}

void CSpikeFilterDialog::Changed(const std::string& name) {
    if (m_session.selected < 0) return;
    Row& row = m_rows[static_cast<std::size_t>(m_session.selected)];
    for (int i = 0; i < kRpmChannels; ++i)
        if (name == "rpm" + std::to_string(i + 1))
            row.rpm[i] = LevelOf(m_rpm[i].checked, row.rpmBefore[i]);
    for (int i = 0; i < kAnalogChannels; ++i)
        if (name == "analog" + std::to_string(i + 1))
            row.analog[i] = LevelOf(m_analog[i].checked, row.analogBefore[i]);
    Show();
}

void CSpikeFilterDialog::Apply() {
    bool filtered = false;
    for (Row& row : m_rows) {
        if (row.rpm == row.rpmBefore && row.analog == row.analogBefore) continue;
        if (row.dataset) {
            FilterAndReport(*row.dataset, row.rpm, row.analog, false, m_host);
            ReadRow(row);
            filtered = true;
        } else {
            *m_pRpmDefaults = row.rpmBefore = row.rpm;
            *m_pAnalogDefaults = row.analogBefore = row.analog;
        }
    }
    // The channels' modes are saved with the file and the traces change.
    if (filtered && m_pDoc) {
        m_pDoc->m_bModified = true;
        m_pDoc->UpdateAllViews(kHintRepaint);
    }
    Show();
}

void CSpikeFilterDialog::Clicked(const std::string& name) {
    if (name == "apply") Apply();
}

bool CSpikeFilterDialog::Accept() {
    Apply();
    return true;
}

}  // namespace orvex
