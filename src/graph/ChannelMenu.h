// The "Channel Menu" dialog's state: for every shown Session/Pass the rows of its channels
// (lap markers, RPM, slip, analog, digital) with their on/off switch and colour, all on or
// off, colour-setup files loaded into or saved from the listed sessions, and OK applying the
// choices through the document's race-mode guard. Fields: "session", "allOn", "allOff",
// "loadColors", "saveColors"; the rows are shown by the form's own list.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "graph/Color.h"
#include "host/DialogModel.h"
#include "model/Document.h"

namespace orvex {

class CChannelMenu : public CDialogModel {
  public:
    // Asks for a colour-setup file to read (`save` false) or write; empty: cancelled.
    using PathChooser = std::function<std::string(bool save)>;
    enum class RowKind { Markers, Rpm, Slip, Analog, Digital };
    struct Row {
        RowKind kind;
        int index;  // 0-based channel index
        std::string text;
        bool on;
        ColorRef colour;
    };

    CChannelMenu(CBriodashDoc& doc, PathChooser choosePath);

    ChoiceField m_session;
    ButtonField m_allOn, m_allOff, m_loadColors, m_saveColors;

    int Sessions() const { return static_cast<int>(m_sessions.size()); }
    // The rows of the session chosen.
    std::vector<Row> Rows() const;
    void SetOn(int row, bool on);
    void SetColour(int row, ColorRef colour);
    // "Choose Color for <row text>".
    std::string ColourTitle(int row) const;
    void SetAll(bool on);
    // Applies the file's colour sets to the listed sessions in order.
    bool LoadColours(const std::string& path);
    bool SaveColours(const std::string& path);

    void Changed(const std::string&) override {}
    void Clicked(const std::string& name) override;
    bool Accept() override;

  private:
    struct Session {
        CBriodashDataset* dataset;
        ChannelChoice choice;
    };
    Session& Current() { return m_sessions[static_cast<std::size_t>(m_session.selected)]; }
    const Session& Current() const {
        return m_sessions[static_cast<std::size_t>(m_session.selected)];
    }
    static bool* OnOf(ChannelChoice& c, const Row& row);
    static int32_t* ColourOf(ChannelChoice& c, const Row& row);

    CBriodashDoc& m_doc;
    PathChooser m_choosePath;
    std::vector<Session> m_sessions;
};

}  // namespace orvex
