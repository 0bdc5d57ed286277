#include "app/DocumentSetup.h"

#include "files/AsciiFile.h"
#include "files/DataFile.h"
#include "graph/Markers.h"
#include "processing/LapView.h"
#include "processing/SpeedDistance.h"

namespace orvex {

bool CDocumentServices::ReadFile(CBriodashDoc& doc, const std::string& path, bool ascii,
                                 bool overlay, DataFileContents& out) {
    if (ascii) return ReadAsciiFile(doc, path, out.datasets);
    DataFileReadOptions options;
    options.units = doc.m_options.units;
    options.overlay = overlay;
    return ReadDataFile(path, doc.Host(), options, out);
}

bool CDocumentServices::WriteFile(CBriodashDoc& doc, const std::string& path,
                                  const DataFileContents& contents) {
    return WriteDataFile(path, contents, doc.Host(), doc.m_options.units);
}

void CDocumentServices::Derive(CBriodashDoc& doc) {
    DeriveDocument(doc);
}

void CDocumentServices::SetLapView(CBriodashDoc& doc, bool on) {
    orvex::SetLapView(doc, on);
}

void CDocumentServices::ReanalyseLaps(CBriodashDoc& doc, CBriodashDataset& session) {
    RebuildLapDatasets(doc, session);
}

bool CDocumentServices::ComputeDistance(CBriodashDoc& doc, CBriodashDataset& ds, int source) {
    if (!orvex::ComputeDistance(ds, source, doc.m_options.units, doc.Host())) return false;
    // The markers stay at their instants: their distances follow the new ones.
    RefreshMarkerDistances(doc);
    return true;
}

void CDocumentServices::ComputeSlip(CBriodashDoc& doc, CBriodashDataset& ds, int channel) {
    orvex::ComputeSlip(ds, channel, true, doc.m_options.units, doc.Host());
}

void CDocumentServices::AssignColours(CBriodashDataset& ds, int session) {
    static const std::vector<CColor> defaults{CColor::Default(0), CColor::Default(1),
                                              CColor::Default(2)};
    const std::vector<CColor>& sets =
        m_colourSets && !m_colourSets->empty() ? *m_colourSets : defaults;
    const auto n = static_cast<int>(sets.size());
    ApplyColourSet(sets[static_cast<std::size_t>(((session % n) + n) % n)], ds);
}

IDocumentServices& DefaultDocumentServices() {
    static CDocumentServices services;
    return services;
}

DocumentOptions DocumentOptionsFrom(const CDataAcqApp& app) {
    DocumentOptions o;
    o.openTrackMap = app.GetOpenTrackMap() ? 1 : 0;
    o.calcBanking = app.GetCalcBanking() ? 1 : 0;
    o.groundSpeedMap = static_cast<uint16_t>(app.GetGroundSpeedMap());
    o.distanceMode = app.GetXDistMode();
    o.units = app.GetUnits();
    return o;
}

std::unique_ptr<CBriodashDoc> CDocumentFactory::NewDocument() {
    return std::make_unique<CBriodashDoc>(m_host, m_services, DocumentOptionsFrom(m_app));
}

std::unique_ptr<CBriodashDoc> CDocumentFactory::OpenDocument(const std::string& path) {
    auto doc = NewDocument();
    if (!doc->Open(path)) return nullptr;
    return doc;
}

}  // namespace orvex
