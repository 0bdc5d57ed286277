#include "app/DocumentSetup.h"

#include "app/DocumentDefaults.h"
#include "files/AsciiFile.h"
#include "processing/LapView.h"

namespace orvex {

void InstallDocumentServices(CBriodashDoc& doc) {
    InstallAsciiReader(doc);
    InstallLapAnalysis(doc);
    doc.m_derive = [](CBriodashDoc& d) { DeriveDocument(d); };
}

std::unique_ptr<CBriodashDoc> NewDocument(IHostServices& host, const CDataAcqApp& app) {
    auto doc = std::make_unique<CBriodashDoc>(host, DocumentOptionsFrom(app));
    InstallDocumentServices(*doc);
    return doc;
}

}  // namespace orvex
