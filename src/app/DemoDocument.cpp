// The demo document.
#include "app/DemoDocument.h"

#include "files/DataFile.h"
#include "host/HostServices.h"

namespace orvex {

bool FillDemoDocument(CBriodashDoc& doc, const GeneratorOptions& options) {
    std::unique_ptr<CBriodashDataset> ds = GenerateSession(options);
    if (!ds) {
        doc.Host().Message("The demo session could not be generated.", Icon::Warning);
        return false;
    }
    const std::string name = std::string(kDemoTitle) + ".tbc";
    DataFileContents contents;
    contents.groundSpeedMap = doc.m_options.groundSpeedMap;
    contents.datasets.push_back(std::move(ds));
    std::vector<uint8_t> bytes;
    if (!WriteDataFileToBuffer(name, contents, doc.Host(), doc.m_options.units, bytes))
        return false;
    DataFileReadOptions read;
    read.units = doc.m_options.units;
    DataFileContents back;
    if (!ReadDataFileFromMemory(bytes.data(), bytes.size(), name, doc.Host(), read, back))
        return false;
    doc.m_datasets = std::move(back.datasets);
    for (auto& d : doc.m_datasets) {
        d->m_strName = kDemoTitle;
        d->m_nGroup = ++doc.m_nOverlayCount;
    }
    doc.m_strPathName.clear();
    doc.m_strTitle = kDemoTitle;
    doc.m_bModified = false;
    // Distance, speed, slip and laps as for a file that was opened.
    doc.Services().Derive(doc);
    return true;
}

}  // namespace orvex
