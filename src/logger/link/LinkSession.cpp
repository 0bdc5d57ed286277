#include "logger/link/LinkSession.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>

namespace orvex {

std::string LinkText(const char* format, ...) {
    char buf[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

CLinkSession::CLinkSession(ISerialLine& line, IHostServices& host, const CLinkOptions& options)
    : m_line(line), m_host(host), m_options(options), m_port(line, host) {
    m_port.SetTiming(options.timing);
}

CLinkSession::~CLinkSession() {
    m_port.SetStatusWindow(nullptr);
}

void CLinkSession::ShowWindow(const std::string& title) {
    if (m_window) {
        m_window->SetTitle(title);
    } else {
        m_window = m_host.OpenLinkWindow(title);
        m_port.SetStatusWindow(m_window.get());
    }
}

void CLinkSession::HideWindow() {
    m_port.SetStatusWindow(nullptr);
    m_window.reset();
}

bool CLinkSession::Open() {
    if (!m_port.Open(m_options.device, kSettings9600)) {
        Status(kLinkLine4, m_port.LastError());
        Message(m_port.LastError());
        return false;
    }
    m_port.DiscardInput();
    return true;
}

bool CLinkSession::WaitText(const std::string& pattern, double seconds, bool toLineEnd,
                            std::string* out, std::size_t outLength) {
    return m_port.WaitForText(pattern, static_cast<float>(Scaled(seconds)), toLineEnd, out,
                              outLength, m_window.get());
}

std::optional<uint8_t> CLinkSession::WaitByte(double seconds, bool* aborted) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(Scaled(seconds)));
    for (;;) {
        if (m_port.InBufferCount() > 0) {
            uint8_t b = 0;
            m_port.Read(&b, 1);
            return b;
        }
        if (m_port.PumpAndTestAbort()) {
            if (aborted) *aborted = true;
            return std::nullopt;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0 || m_port.IsLineLost()) return std::nullopt;
        m_line.WaitForInput(1, static_cast<int>(std::min<long>(left.count(), 10)));
    }
}

}  // namespace orvex
