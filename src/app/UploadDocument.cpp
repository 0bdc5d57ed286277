#include "app/UploadDocument.h"

#include "processing/SpikeFilter.h"

namespace orvex {

CUploadDefaults UploadDefaultsFrom(const CDataAcqApp& app) {
    CUploadDefaults defaults;
    defaults.carSetup = app.GetDefaultCarSetup();
    defaults.units = app.GetUnits();
    defaults.autoSave = app.GetAutoSave();
    defaults.rpmFilter = app.GetRpmSpikeLevels();
    defaults.analogFilter = app.GetAnalogSpikeLevels();
    return defaults;
}

UploadedDocument UploadToDocument(ISerialLine& line, const CUploadOptions& options,
                                  CDocumentFactory& factory) {
    UploadedDocument out;
    const CUploadDefaults defaults = UploadDefaultsFrom(factory.App());
    IHostServices& host = factory.Host();
    out.result = UploadFromLogger(line, defaults, options, host);
    if (!out.result.dataset) return out;

    CBriodashDataset& ds = *out.result.dataset;
    const std::string report =
        FilterAndReport(ds, defaults.rpmFilter, defaults.analogFilter, false, host);
    if (!report.empty()) host.Message(report, Icon::Information);
    ds.DropUnconfigured();
    if (ds.m_strName.empty()) ds.m_strName = "Untitled";

    out.doc = factory.NewDocument();
    CBriodashDoc& doc = *out.doc;
    doc.Services().AssignColours(ds, 0);
    ds.m_nGroup = ++doc.m_nOverlayCount;
    doc.m_datasets.push_back(std::move(out.result.dataset));
    doc.Services().Derive(doc);
    doc.m_strTitle = "Untitled";
    doc.m_bModified = true;
    return out;
}

}  // namespace orvex
