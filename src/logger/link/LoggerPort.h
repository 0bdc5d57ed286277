// The port object every logger conversation talks through: time-outs and resends, the
// wake-up handshake, framed packets with SYN answering, and text waits, pumping the host's
// events and honouring its abort button while it waits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "host/HostServices.h"
#include "logger/link/SerialLine.h"

namespace orvex {

// Status lines of the link window, top to bottom: step, port and progress, further details,
// errors and aborts.
inline constexpr int kLinkLine1 = 1;
inline constexpr int kLinkLine2 = 2;
inline constexpr int kLinkLine3 = 3;
inline constexpr int kLinkLine4 = 4;

inline constexpr const char* kSettings9600 = "9600,N,8,1";
inline constexpr const char* kSettings38400 = "38400,N,8,1";

// Waiting times of the link in seconds. The defaults are the logger's; tests shorten them.
struct CLinkTiming {
    double wakeInterval = 1.0;      // between wake-up bytes
    double packetIdle = 0.5;        // quiet line before a packet starts
    double bytesIdle = 0.5;         // quiet line while waiting for raw bytes
    double resendInterval = 1.0;    // WriteAwaitReply
    double drainTime = 1.0;         // Drain
    double insidePacketIdle = 2.0;  // quiet line inside a started packet
    double delayScale = 1.0;        // factor applied to every Delay
};

class CLoggerPort {
  public:
    CLoggerPort(ISerialLine& line, IHostServices& host) : m_line(line), m_host(host) {}

    // The link window: status lines and the abort button pumped while waiting (may be null).
    void SetStatusWindow(IProgress* window) { m_pWindow = window; }
    IProgress* StatusWindow() const { return m_pWindow; }
    void SetStatus(int line, const std::string& text);
    void SetTiming(const CLinkTiming& timing) { m_timing = timing; }
    const CLinkTiming& Timing() const { return m_timing; }

    bool Open(const std::string& device, const std::string& settings);
    bool ChangeSettings(const std::string& settings) { return m_line.SetSettings(settings); }
    void Close() { m_line.Close(); }
    bool IsOpen() const { return m_line.IsOpen(); }
    std::string LastError() const { return m_line.LastError(); }
    std::size_t InBufferCount() { return m_line.BytesWaiting(); }
    // The logger's end has gone (hung up, adapter pulled): every wait ends at once, as on a
    // line that stayed silent past its last resend.
    bool IsLineLost() { return m_line.IsLost(); }
    // Fewer than `want` bytes are waiting and no more can arrive (the other end hung up).
    bool CannotReach(std::size_t want) { return m_line.IsHungUp() && InBufferCount() < want; }
    void DiscardInput() { m_line.DiscardInput(); }

    // Copies n waiting bytes; callers make sure they are waiting. Returns n.
    std::size_t Read(uint8_t* buffer, std::size_t n);
    // Transmits and keeps the bytes for Resend.
    void Write(const uint8_t* bytes, std::size_t n);
    void Write(std::initializer_list<uint8_t> bytes);
    void Resend();
    // Write, then wait (resending every second, m_retries times) for the first reply byte.
    bool WriteAwaitReply(const uint8_t* bytes, std::size_t n);
    // Waits without pumping events.
    void Delay(double seconds);
    // Reads and drops whatever arrives for a second, then discards the input.
    void Drain();
    void EnableMessagePump() { m_pumpMessages = true; }
    void DisableMessagePump() { m_pumpMessages = false; }
    void SetRetries(int32_t n) { m_retries = n; }
    int32_t Retries() const { return m_retries; }
    const std::vector<uint8_t>& LastOutput() const { return m_lastOutput; }

    // The wake-up handshake: 0x90 each second, at most five, until 0x16 0x90 0x06 arrives.
    bool WakeLogger();
    // Waits for `pattern` in the received text (and the line end after it with toLineEnd).
    // timeout in seconds of quiet line, 0 = none. With `out`, the received window up to
    // outLength bytes is copied into it.
    bool WaitForText(const std::string& pattern, float timeout, bool toLineEnd, std::string* out,
                     std::size_t outLength, IProgress* statusWindow);
    // Waits for n raw bytes into buffer (n + 1 bytes, a NUL is stored after them).
    bool WaitForBytes(uint8_t* buffer, std::size_t n, IProgress* statusWindow);
    // Receives one framed packet into buffer (at least 513 bytes: data and checksum) and
    // acknowledges it. mode 2: the caller expects exactly two data bytes.
    bool ReceivePacket(uint8_t* buffer, std::size_t& lengthOut, long mode);

    // The abort request of the link window's "Abort Transmission" button. Clearing it also
    // withdraws the host's request, so that the next wait does not see the old press again.
    void ClearAbort() {
        m_bAborted = false;
        m_host.ClearAbort();
    }
    void RequestAbort() { m_bAborted = true; }
    bool IsAborted() const { return m_bAborted; }
    // Lets the host process one turn of events when pumping is on; returns the abort flag.
    bool PumpAndTestAbort();

  private:
    void SendRaw(uint8_t byte);
    // Waits up to ms for `want` bytes to be waiting.
    bool WaitInput(std::size_t want, double maxSeconds);
    // Inside a started packet: waits for `want` bytes; false on abort or a dead line.
    bool WaitInsidePacket(std::size_t want);

    ISerialLine& m_line;
    IHostServices& m_host;
    IProgress* m_pWindow = nullptr;
    CLinkTiming m_timing;
    std::vector<uint8_t> m_lastOutput;
    bool m_pumpMessages = true;
    int32_t m_retries = 0;
    bool m_bAborted = false;
};

}  // namespace orvex
