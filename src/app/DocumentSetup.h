// The program's one document factory: every document of the GUI, the CLI, the tests and the
// benchmarks gets the application's options and the services that read its files, derive
// distance, speed and slip, analyse its laps and colour its sessions.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/DataAcqApp.h"
#include "graph/Color.h"
#include "model/Document.h"

namespace orvex {

// The document services of the program: the binary and ASCII file readers, the data file
// writer, the speed and distance code, the lap analysis and the colour sets.
class CDocumentServices : public IDocumentServices {
  public:
    // `colourSets` are handed out to sessions in order; without them (or while the list is
    // empty) the program's three default sets are.
    explicit CDocumentServices(const std::vector<CColor>* colourSets = nullptr)
        : m_colourSets(colourSets) {}

    bool ReadFile(CBriodashDoc& doc, const std::string& path, bool ascii, bool overlay,
                  DataFileContents& out) override;
    bool WriteFile(CBriodashDoc& doc, const std::string& path,
                   const DataFileContents& contents) override;
    void Derive(CBriodashDoc& doc) override;
    void SetLapView(CBriodashDoc& doc, bool on) override;
    void ReanalyseLaps(CBriodashDoc& doc, CBriodashDataset& session) override;
    bool ComputeDistance(CBriodashDoc& doc, CBriodashDataset& ds, int source) override;
    void ComputeSlip(CBriodashDoc& doc, CBriodashDataset& ds, int channel) override;
    void AssignColours(CBriodashDataset& ds, int session) override;

  private:
    const std::vector<CColor>* m_colourSets;
};

// The services without an application object (the default colour sets), for code that
// builds documents from generated data.
IDocumentServices& DefaultDocumentServices();

// The options a new document copies from the application's settings.
DocumentOptions DocumentOptionsFrom(const CDataAcqApp& app);

// Makes the documents of one program run. The application object and the host outlive it, and
// it outlives the documents it makes.
class CDocumentFactory {
  public:
    CDocumentFactory(IHostServices& host, const CDataAcqApp& app)
        : m_host(host), m_app(app), m_services(&app.GetColorSets()) {}

    // An empty untitled document.
    std::unique_ptr<CBriodashDoc> NewDocument();
    // A document holding the data file `path` (binary, or ASCII by its extension); nullptr
    // after the reason was shown.
    std::unique_ptr<CBriodashDoc> OpenDocument(const std::string& path);

    IHostServices& Host() { return m_host; }
    const CDataAcqApp& App() const { return m_app; }
    IDocumentServices& Services() { return m_services; }

  private:
    IHostServices& m_host;
    const CDataAcqApp& m_app;
    CDocumentServices m_services;
};

}  // namespace orvex
