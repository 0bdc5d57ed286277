// The gear dialog's fields.
#include "processing/GearSelection.h"

namespace orvex {

CGearSelection::CGearSelection(CBriodashDataset& ds, int32_t key, bool byDistance, Units units,
                               IHostServices& host)
    : m_ds(ds), m_dialog(OpenGearDialog(ds, key, byDistance)), m_units(units), m_host(host) {
    m_currentGear.text = m_dialog.valid ? GearOrdinal(m_dialog.currentGear) : "";
    for (const GearChoice& c : m_dialog.choices) m_shift.items.push_back(c.text);
    m_shift.enabled = m_dialog.valid && !m_dialog.choices.empty();
    Bind("currentGear", m_currentGear);
    Bind("shift", m_shift);
}

bool CGearSelection::Accept() {
    if (!m_dialog.valid || m_shift.selected < 0 ||
        m_shift.selected >= static_cast<int>(m_dialog.choices.size()))
        return true;
    ApplyGearChoice(m_ds, m_dialog,
                    m_dialog.choices[static_cast<std::size_t>(m_shift.selected)].action, m_units,
                    m_host);
    m_bApplied = true;
    return true;
}

}  // namespace orvex
