// One conversation with a Kavrane logger as the configuration, firmware and live-data commands
// hold it: the port object, its link window, the opening and the waits with their times.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "host/HostServices.h"
#include "logger/link/LoggerPort.h"
#include "logger/link/SerialLine.h"

namespace orvex {

inline constexpr const char* kKavraneFamily = "Kavrane Data";

// Where and how fast a conversation talks. waitScale shortens the conversation's own waits
// (the 2, 3 and 10 second answers of the menu and the boot monitor) for tests.
struct CLinkOptions {
    std::string device;
    CLinkTiming timing;
    double waitScale = 1.0;
};

std::string LinkText(const char* format, ...) __attribute__((format(printf, 1, 2)));

class CLinkSession {
  public:
    CLinkSession(ISerialLine& line, IHostServices& host, const CLinkOptions& options);
    ~CLinkSession();

    CLoggerPort& Port() { return m_port; }
    IHostServices& Host() { return m_host; }
    IProgress* Window() { return m_window.get(); }
    const CLinkOptions& Options() const { return m_options; }

    // Creates (or retitles) the link window.
    void ShowWindow(const std::string& title);
    void HideWindow();
    void Status(int line, const std::string& text) { m_port.SetStatus(line, text); }
    void Message(const std::string& text, Icon icon = Icon::Error) { m_host.Message(text, icon); }
    Answer Ask(const std::string& text) { return m_host.Ask(text, Buttons::YesNo, Answer::No); }

    // Opens the port at 9600 baud and discards the input; a refusal is shown on line 4 and in
    // a message box.
    bool Open();
    void Close() { m_port.Close(); }
    bool IsOpen() const { return m_port.IsOpen(); }

    double Scaled(double seconds) const { return seconds * m_options.waitScale; }
    // WaitForText with the window as status window and a scaled idle time (0: none).
    bool WaitText(const std::string& pattern, double seconds, bool toLineEnd = false,
                  std::string* out = nullptr, std::size_t outLength = 0);
    // Waits up to `seconds` (scaled) for one byte, pumping events. None on a quiet line or an
    // abort (then `aborted` is set).
    std::optional<uint8_t> WaitByte(double seconds, bool* aborted = nullptr);
    void Send(std::initializer_list<uint8_t> bytes) { m_port.Write(bytes); }
    void Send(const std::string& text) {
        m_port.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }

  private:
    ISerialLine& m_line;
    IHostServices& m_host;
    CLinkOptions m_options;
    CLoggerPort m_port;
    std::unique_ptr<IProgress> m_window;
};

}  // namespace orvex
