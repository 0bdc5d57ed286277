// Small documents for the strip-chart tests: one or more datasets with an engine channel, wheel
// channels, analog and digital channels filled with known samples.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/DocumentSetup.h"
#include "graph/GraphView.h"
#include "model/Document.h"
#include "support/FakeHost.h"

namespace orvex::test {

// Period that the default clock (307200 Hz) turns into `rpm` with one pulse per revolution.
inline int32_t PeriodFor(int32_t rpm) {
    return 18432000 / rpm;
}

// The program's document services; a test may put its own distance computation in place.
struct TestDocumentServices : CDocumentServices {
    std::function<bool(CBriodashDataset&, int source)> distance;
    bool ComputeDistance(CBriodashDoc& doc, CBriodashDataset& ds, int source) override {
        return distance ? distance(ds, source)
                        : CDocumentServices::ComputeDistance(doc, ds, source);
    }
};

struct GraphDoc {
    FakeHost host;
    TestDocumentServices services;
    CBriodashDoc doc{host, services, DocumentOptions{}};

    CBriodashDataset& Add(const std::string& name) {
        doc.m_datasets.push_back(std::make_unique<CBriodashDataset>());
        CBriodashDataset& ds = *doc.m_datasets.back();
        ds.m_strName = name;
        return ds;
    }

    // Engine on RPM channel 1: `n` samples every `dt`, RPM from `rpmAt(i)`; distance 1 per
    // time unit / 10 (so distance = time / 10).
    template <class F>
    static void FillEngine(CBriodashDataset& ds, int n, int32_t dt, F rpmAt, int channel = 1,
                           int32_t type = 1) {
        CFreqSetup setup = CFreqSetup::Make(channel, type, Units::Imperial);
        setup.m_nSmoothing = 1;
        setup.m_nPPR = 1;
        ds.m_carSetup.m_rpm.push_back(setup);
        CShaftList& s = ds.m_rpm[static_cast<std::size_t>(channel - 1)];
        s.m_nPerLap = 1;
        s.m_nOn = 1;
        s.m_crTrace = 0x0000FF;
        for (int i = 0; i < n; ++i) {
            CShaft x;
            x.m_lTime = i * dt;
            x.m_lRaw = x.m_lFiltered = PeriodFor(rpmAt(i));
            x.m_lDistance = x.m_lTime / 10;
            x.m_nGear = 1;
            s.AddTail(x);
        }
    }

    // Analog channel with code, range and resolution; raw counts from `rawAt(i)`.
    template <class F>
    static CAnalogSetup& FillAnalog(CBriodashDataset& ds, int channel, int32_t code, float min,
                                    float max, int32_t resolution, int n, int32_t dt, F rawAt,
                                    const std::string& description = "") {
        CAnalogSetup a;
        a.SetType(code);
        a.m_nChannel = channel;
        a.m_fMin = min;
        a.m_fMax = max;
        a.m_nResolution = resolution;
        a.m_nSmoothing = 1;
        a.m_nScaleMode = 1;
        a.m_strDescription =
            description.empty() ? "Analog " + std::to_string(channel) : description;
        ds.m_carSetup.m_analog.push_back(a);
        CSampleList& s = ds.m_analog[static_cast<std::size_t>(channel - 1)];
        s.m_nOn = 1;
        s.m_crTrace = 0x00FF00 + static_cast<uint32_t>(channel);
        for (int i = 0; i < n; ++i) {
            CSample x;
            x.m_lTime = i * dt;
            x.m_lRaw = x.m_lFiltered = rawAt(i);
            x.m_lDistance = x.m_lTime / 10;
            s.AddTail(x);
        }
        return ds.m_carSetup.m_analog.back();
    }
};

// A state showing [start, start + span) of data spanning [xMin, xMax].
inline CGraphViewState WindowState(int32_t start, int32_t span, int32_t xMin, int32_t xMax,
                                   int32_t rpmSpan = 10000000, int32_t rpmMax = 10000000) {
    CGraphViewState st;
    st.m_lXStart = start;
    st.m_lXSpan = span;
    st.m_lXMin = xMin;
    st.m_lXMax = xMax;
    st.m_lRpmSpan = rpmSpan;
    st.m_lRpmMax = rpmMax;
    return st;
}

}  // namespace orvex::test
