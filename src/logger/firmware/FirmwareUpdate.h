// The "Update Firmware on Data Logger" dialog's core: analysing a Kavrane logger through its
// boot monitor, finding suitable firmware images, and reloading the logger's flash.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/HostServices.h"
#include "logger/firmware/FirmwareImage.h"
#include "logger/link/LinkSession.h"

namespace orvex {

// The folder chooser "Select Folder for Hex Files." (title, starting folder); none: cancelled.
using FolderChooser =
    std::function<std::optional<std::string>(const std::string& title, const std::string& start)>;

class CFirmwareDlg {
  public:
    CFirmwareDlg(ISerialLine& line, IHostServices& host, const CLinkOptions& options,
                 bool sharedPort, std::string folder, FolderChooser chooser = {});
    ~CFirmwareDlg();

    // Opening the dialog and "Analyze": analysis, then the image search.
    void OnAnalyze();
    // "Update" with the selected image (the dialog is hidden meanwhile).
    bool OnUpdate();
    // "Exit": restarts the logger's firmware after a successful analysis.
    void OnExit();

    bool AnalyzeLogger();
    void FindFirmwareFiles();
    // Offers the given images instead of a folder's (after an analysis), the first suitable
    // one selected.
    void OfferImages(std::vector<CIntelHexFile> images);
    bool SendFirmware(const CIntelHexFile& image);

    std::string CurrentVersionText() const;
    std::string ButtonCaption() const { return m_bListEnabled ? "Update" : "Analyze"; }
    bool ListEnabled() const { return m_bListEnabled; }
    const std::vector<CIntelHexFile>& Images() const { return m_images; }
    // Indices into Images() of the images offered, with their version texts.
    const std::vector<int>& Suitable() const { return m_suitable; }
    std::vector<std::string> ListTexts() const;
    int Selected() const { return m_nSelected; }
    void Select(int listIndex) { m_nSelected = listIndex; }
    const std::string& Folder() const { return m_strFolder; }

    // What the analysis found.
    bool Analyzed() const { return m_bAnalyzed; }
    int BootVersion() const { return m_nBootVersion; }
    bool FastCpu() const { return m_bFastCpu; }
    int Version() const { return m_nVersion; }  // 0: unknown
    bool Battery() const { return m_bBattery; }

  private:
    bool Analyze();
    bool WaitAck(double seconds, uint8_t* first = nullptr);
    bool SendImage(const CIntelHexFile& image);
    bool LoadFolder();
    void FilterSuitable();

    CLinkSession m_s;
    bool m_bShared;
    std::string m_strFolder;
    FolderChooser m_chooser;
    std::vector<CIntelHexFile> m_images;
    std::vector<int> m_suitable;
    int m_nSelected = -1;
    bool m_bListEnabled = false;
    bool m_bAnalyzed = false;
    int m_nBootVersion = 0;
    bool m_bFastCpu = false;
    int m_nVersion = 0;
    bool m_bBattery = false;
};

}  // namespace orvex
