// The serial line under every logger conversation: open a device with line settings, change
// the speed, count, read and write bytes, discard input. POSIX termios behind an interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvex {

class ISerialLine {
  public:
    virtual ~ISerialLine() = default;
    // Opens the device with settings such as "9600,N,8,1"; false with LastError() on failure.
    virtual bool Open(const std::string& device, const std::string& settings) = 0;
    // Changes the line settings of the open port (the port stays open).
    virtual bool SetSettings(const std::string& settings) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
    // Bytes received and not yet read.
    virtual std::size_t BytesWaiting() = 0;
    // Takes up to n waiting bytes; never waits. Returns the count taken.
    virtual std::size_t Read(uint8_t* buffer, std::size_t n) = 0;
    // Transmits all n bytes.
    virtual void Write(const uint8_t* bytes, std::size_t n) = 0;
    // Drops everything received and not yet read.
    virtual void DiscardInput() = 0;
    // Waits up to timeoutMs for at least `want` bytes to be waiting; returns BytesWaiting() >=
    // want. Sleeps in the kernel while the line is quiet; returns at once on a lost line.
    virtual bool WaitForInput(std::size_t want, int timeoutMs) = 0;
    // True once the other end has hung up or the device has gone (adapter pulled) and every
    // byte received before has been taken: nothing more can arrive until the port is opened
    // again.
    virtual bool IsLost() { return false; }
    // True once the other end has hung up, whether or not bytes received before are still
    // waiting: a wait for more bytes than are waiting can end at once.
    virtual bool IsHungUp() { return false; }
    virtual std::string LastError() const = 0;
};

// Line settings "baud,parity,data,stop" as used by the loggers.
struct LineSettings {
    long baud = 9600;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;
};
// Parses "9600,N,8,1"; false when the text is not of that form.
bool ParseLineSettings(const std::string& text, LineSettings& out);

// Device path of port number 1 to 8: $ORVEX_COM<n> when set, else /dev/ttyS<n-1>.
std::string PortDevicePath(int port);
// A port argument: "1" to "8" gives PortDevicePath, anything else is taken as a path.
std::string ResolvePortArgument(const std::string& arg);

// The logger's device: the typed path when there is one, else the device of port number `port`.
std::string LoggerDevicePath(int port, const std::string& path);
// A message about a logger that cannot be reached, naming the device it was looked for on.
std::string WithDevice(const std::string& text, const std::string& device);
// The serial devices present under `devRoot`: ttyS*, ttyUSB*, ttyACM* and serial/by-id/*, each
// kind in its numeric order.
std::vector<std::string> ListSerialDevices(const std::string& devRoot = "/dev");

// A termios serial line for real serial devices and pseudo-terminals: raw mode, no echo, no
// flow control, NUL bytes are data.
std::unique_ptr<ISerialLine> MakePosixSerialLine();

}  // namespace orvex
