// Plays arbitrary bytes as the logger's side of every conversation (upload, configuration
// retrieve, boot-monitor analysis, live data): every answer must end in a result or a message,
// never a crash or a hang. The first byte picks the conversation; the rest are the logger's
// answers, released a piece at a time as the host writes or waits (a length byte, then that
// many bytes).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/HostServices.h"
#include "logger/config/ConfigTransfer.h"
#include "logger/config/Thresholds.h"
#include "logger/firmware/FirmwareUpdate.h"
#include "logger/live/LiveData.h"
#include "logger/upload/Upload.h"

namespace {

// A line whose far end answers from the fuzzer's bytes, never sleeping.
class CScriptedLine : public orvex::ISerialLine {
  public:
    CScriptedLine(const uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Open(const std::string&, const std::string&) override { return m_open = true; }
    bool SetSettings(const std::string&) override { return true; }
    bool IsOpen() const override { return m_open; }
    void Close() override { m_open = false; }
    std::size_t BytesWaiting() override { return m_waiting.size() - m_read; }
    std::size_t Read(uint8_t* buffer, std::size_t n) override {
        n = std::min(n, BytesWaiting());
        std::memcpy(buffer, m_waiting.data() + m_read, n);
        m_read += n;
        return n;
    }
    void Write(const uint8_t*, std::size_t) override { Release(); }
    void DiscardInput() override {
        m_waiting.clear();
        m_read = 0;
    }
    bool WaitForInput(std::size_t want, int) override {
        if (BytesWaiting() < want) Release();
        return BytesWaiting() >= want;
    }
    std::string LastError() const override { return "line closed"; }
    // Every answer has been given: the user gives up (the host aborts).
    bool Exhausted() const { return m_pos >= m_size && m_read >= m_waiting.size(); }

  private:
    void Release() {
        if (m_pos >= m_size) return;
        const std::size_t length = m_data[m_pos++];
        const std::size_t n = std::min(length, m_size - m_pos);
        m_waiting.insert(m_waiting.end(), m_data + m_pos, m_data + m_pos + n);
        m_pos += n;
    }
    const uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    std::vector<uint8_t> m_waiting;
    std::size_t m_read = 0;
    bool m_open = false;
};

// Answers Yes to every question (so that the longest paths run) and aborts once the line has
// nothing more to say.
class CGivingUpProgress : public orvex::IProgress {
  public:
    explicit CGivingUpProgress(const CScriptedLine& line) : m_line(line) {}
    void SetTitle(const std::string&) override {}
    void SetStatus(int, const std::string&) override {}
    bool Pump() override { return m_line.Exhausted(); }

  private:
    const CScriptedLine& m_line;
};

class CGivingUpHost : public orvex::IHostServices {
  public:
    explicit CGivingUpHost(const CScriptedLine& line) : m_line(line) {}
    void Message(const std::string&, orvex::Icon) override {}
    orvex::Answer Ask(const std::string&, orvex::Buttons buttons, orvex::Answer) override {
        return buttons == orvex::Buttons::OkCancel ? orvex::Answer::Ok : orvex::Answer::Yes;
    }
    std::unique_ptr<orvex::IProgress> OpenProgress(const std::string&) override {
        return std::make_unique<CGivingUpProgress>(m_line);
    }
    bool Pump() override { return m_line.Exhausted(); }

  private:
    const CScriptedLine& m_line;
};

orvex::CLinkTiming Instant() {
    orvex::CLinkTiming t;
    t.wakeInterval = t.packetIdle = t.bytesIdle = t.resendInterval = t.drainTime = 0.0;
    t.insidePacketIdle = 0.0;
    t.delayScale = 0.0;
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    CScriptedLine line(data + 1, size - 1);
    CGivingUpHost host(line);
    orvex::CLinkOptions options;
    options.device = "/dev/fuzz";
    options.timing = Instant();
    options.waitScale = 0.0;
    switch (data[0] % 4) {
        case 0: {
            orvex::CUploadDefaults defaults;
            orvex::CUploadOptions upload;
            upload.device = options.device;
            upload.timing = options.timing;
            orvex::UploadFromLogger(line, defaults, upload, host);
            break;
        }
        case 1: {
            orvex::CConfigWorkset work;
            orvex::RetrieveConfiguration(line, false, work, options, host);
            break;
        }
        case 2: {
            orvex::CFirmwareDlg dialog(line, host, options, false, "/nonexistent");
            dialog.AnalyzeLogger();
            break;
        }
        default: {
            orvex::CCarSetup car;
            orvex::CLiveDataSheet sheet(line, host, options, car, orvex::Units::Imperial, 1.0f,
                                        false, false);
            if (sheet.Start())
                for (int i = 0; i < 8 && sheet.Poll(); ++i) {
                }
            sheet.Close();
            break;
        }
    }
    return 0;
}
