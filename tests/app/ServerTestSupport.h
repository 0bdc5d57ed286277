// Fakes for the data server's transport, launcher, clock and graph window, and a small session
// whose values at each sample are easy to read.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/DataAcqApp.h"
#include "app/DataServer.h"
#include "app/DocumentSetup.h"
#include "app/ServerValues.h"
#include "graph/MarkerTestData.h"
#include "model/Document.h"
#include "support/FakeHost.h"

namespace orvex::test {

struct SentAdvise {
    uint32_t conversation;
    std::string item;
    std::vector<uint8_t> data;
};

class FakeTransport : public IServerTransport {
  public:
    bool registerOk = true;
    bool sendOk = true;
    int registrations = 0;
    std::vector<SentAdvise> sent;
    bool RegisterService() override {
        ++registrations;
        return registerOk;
    }
    bool SendAdvise(uint32_t c, const std::string& item, const std::vector<uint8_t>& d) override {
        sent.push_back({c, item, d});
        return sendOk;
    }
};

class FakeLauncher : public ISuspensionLauncher {
  public:
    std::optional<std::string> chosen;  // nothing: the file dialog is cancelled
    std::vector<std::string> existing;
    std::string error;  // returned by Start
    bool running = false;
    int chooses = 0;
    struct Launch {
        std::string program;
        std::vector<std::string> args;
        std::string folder;
    };
    std::vector<Launch> launches;
    std::function<void()> onStart;  // e.g. the started program connects

    std::optional<std::string> ChooseProgram() override {
        ++chooses;
        return chosen;
    }
    bool FileExists(const std::string& path) const override {
        for (const std::string& e : existing)
            if (e == path) return true;
        return false;
    }
    std::string Start(const std::string& program, const std::vector<std::string>& args,
                      const std::string& folder) override {
        launches.push_back({program, args, folder});
        if (!error.empty()) return error;
        running = true;
        if (onStart) onStart();
        return "";
    }
    bool IsRunning() const override { return running; }
};

class FakeClock : public IServerClock {
  public:
    bool startOk = true;
    bool running = false;
    std::vector<double> starts;
    int stops = 0;
    std::vector<int> waits;
    std::function<void()> duringWait;
    bool StartTimer(double periodMs) override {
        starts.push_back(periodMs);
        running = startOk;
        return startOk;
    }
    void StopTimer() override {
        ++stops;
        running = false;
    }
    bool WaitFor(const std::function<bool()>& done, int timeoutMs) override {
        waits.push_back(timeoutMs);
        if (duringWait) duringWait();
        return done();
    }
};

// The graph window: green marker on the dataset's samples, nudged one sample at a time.
class FakeWindow : public IPlaybackWindow {
  public:
    CBriodashDoc* doc = nullptr;
    CBriodashDataset* ds = nullptr;
    int nudges = 0, resets = 0, shows = 0;
    std::vector<int32_t> greenAtPost;

    const CBriodashDataset* CurrentDataset() const override { return ds; }
    int32_t GreenMarker() const override { return doc ? doc->m_lGreenTime : kNotSet; }
    void ResetAndPlaceGreen(int32_t time) override {
        ++resets;
        doc->m_lGreenTime = time;
    }
    void NudgeGreenRight() override {
        ++nudges;
        const CShaftList& s = ds->m_rpm[0];
        for (Pos p = s.First(); p <= s.Last(); ++p)
            if (s.GetSampleTime(p, true) > doc->m_lGreenTime) {
                doc->m_lGreenTime = s.GetSampleTime(p, true);
                return;
            }
    }
    void ShowMarkerView() override { ++shows; }
    void WriteClientValues(std::vector<CAdvReqClient>& clients) override {
        greenAtPost.push_back(doc ? doc->m_lGreenTime : kNotSet);
        if (doc && ds) WriteMarkerValues(*doc, *ds, true, PlainConverters(), clients);
    }
};

// Samples every 1000 ticks (0.1 s) from 0 to 4000 with distances 0, 100, ... (0.1 ft): RPM 1
// "Engine" (stored as milli-RPM), analog 1 "Throttle" and analog 3 "LF" (resolution 10),
// digital 1 "Brake". Without distance when asked.
inline std::unique_ptr<CBriodashDataset> ServerSession(bool withDistance = true) {
    auto ds = MarkerSession("Server", withDistance);
    ds->m_carSetup.m_rpm.resize(1);
    ds->m_carSetup.m_rpm[0].m_strDescription = "Engine";
    ds->m_rpm[1] = CShaftList();
    CAnalogSetup lf = ds->m_carSetup.m_analog[0];
    lf.m_nChannel = 3;
    lf.m_strDescription = "LF";
    ds->m_carSetup.m_analog.push_back(lf);
    for (int i = 0; i < 5; ++i)
        ds->m_analog[2].AddTail(MakeSample(i * 1000, 25 * i, withDistance ? i * 100 : 0));
    ds->m_digital[1] = CSampleList();
    ds->m_carSetup.m_digital.resize(1);
    return ds;
}

// The server with its fakes around one document holding ServerSession().
struct ServerRig {
    FakeHost host;
    CDataAcqApp app{"/nonexistent/ORVEX.INI"};
    FakeTransport transport;
    FakeLauncher launcher;
    FakeClock clock;
    FakeWindow window;
    CBriodashDoc doc{host, DefaultDocumentServices(), DocumentOptions{}};
    std::unique_ptr<CDDEServer> server;

    explicit ServerRig(bool withDistance = true) {
        doc.m_datasets.push_back(ServerSession(withDistance));
        window.doc = &doc;
        window.ds = doc.m_datasets.front().get();
        app.SetSuspensionApp("/opt/damplex/Damplexr");
        launcher.existing = {"/opt/damplex/Damplexr"};
        server = std::make_unique<CDDEServer>(app, host, transport, launcher, clock, window);
    }
    // Enables the server with the suspension program "already running".
    void Enable() {
        launcher.running = true;
        server->EnableServer();
    }
    ServerState& State() { return app.GetServerState(); }
};

inline std::string Text(const std::optional<std::vector<uint8_t>>& data) {
    if (!data) return "<no data>";
    return std::string(data->begin(), data->end());
}

inline std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

inline std::vector<double> Doubles(const std::vector<uint8_t>& block) {
    std::vector<double> out;
    for (std::size_t i = 0; i + 8 <= block.size(); i += 8) {
        uint64_t bits = 0;
        for (int b = 7; b >= 0; --b) bits = (bits << 8) | block[i + static_cast<std::size_t>(b)];
        out.push_back(std::bit_cast<double>(bits));
    }
    return out;
}

}  // namespace orvex::test
