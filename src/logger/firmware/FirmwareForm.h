// The "Update Firmware on Data Logger" dialog's fields: "Current Firmware Version:" and the
// "New Firmware:" list, shown from the firmware update core, and the caption of its button.
#pragma once

#include <string>

#include "host/DialogModel.h"
#include "logger/firmware/FirmwareUpdate.h"

namespace orvex {

// Widget names: "version", "images".
class CFirmwareForm : public CDialogModel {
  public:
    explicit CFirmwareForm(CFirmwareDlg& dlg) : m_dlg(dlg) {
        m_version.readOnly = true;
        Bind("version", m_version);
        Bind("images", m_images);
        Show();
    }
    CFirmwareDlg& Dialog() { return m_dlg; }
    // "Analyze" or "Update".
    std::string ButtonCaption() const { return m_dlg.ButtonCaption(); }
    // The fields from what the analysis found.
    void Show() {
        m_version.text = m_dlg.CurrentVersionText();
        m_images.items = m_dlg.ListTexts();
        m_images.selected = m_dlg.Selected();
        m_images.enabled = m_dlg.ListEnabled();
    }
    void Changed(const std::string& name) override {
        if (name == "images") m_dlg.Select(m_images.selected);
        Show();
    }

    TextField m_version;
    ChoiceField m_images;

  private:
    CFirmwareDlg& m_dlg;
};

}  // namespace orvex
