// The "Select Channels to Export" dialog: the Session/Pass ("session"), its "Available
// Channels" ("available") and "Selected Channels" ("selected", both taking several entries),
// ">> Add" ("add"), "<< Remove" ("remove"), "Add All" ("addAll"), "Remove All" ("removeAll")
// and "Export Data Rate (Hz):" ("rate"). OK asks for the file and writes the export.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "files/ExportFile.h"
#include "host/DialogModel.h"
#include "model/Document.h"

namespace orvex {

class CExportChannelsDialog : public CDialogModel {
  public:
    // Asks for the export file's path ("Save File for Exporting"); empty when cancelled.
    using FileChooser = std::function<std::string()>;

    CExportChannelsDialog(CBriodashDoc& doc, const CBriodashDataset* current, ExportOptions options,
                          FileChooser chooseFile);

    ChoiceField m_session;
    ChoiceField m_available, m_selected;
    ButtonField m_add, m_remove, m_addAll, m_removeAll;
    ChoiceField m_rate;

    void Changed(const std::string& name) override;
    void Clicked(const std::string& name) override;
    // A cancelled file choice writes nothing.
    bool Accept() override;

    // The channel mask of the selection (0 when nothing is selected: every channel).
    uint32_t Mask() const { return m_mask; }
    // The chosen rate in Hz, 0 when the combo is empty.
    double Rate() const;
    // The file written by OK (empty when none was).
    const std::string& Written() const { return m_written; }

  private:
    CBriodashDataset* Current() const;
    // Moves the marked (else the current) entries of a list to the other side.
    void Move(const ChoiceField& from, bool add);
    void Show();

    CBriodashDoc& m_doc;
    std::vector<CBriodashDataset*> m_sessions;
    ExportOptions m_options;
    FileChooser m_chooseFile;
    std::vector<ExportChannel> m_channels;  // of the current session, in list order
    uint32_t m_mask = 0;
    float m_previousRate = 0;
    ExportRateList m_rates;
    std::vector<uint32_t> m_availableBits, m_selectedBits;  // the bit of every list entry
    std::string m_written;
};

}  // namespace orvex
