// Test equipment for the serial code: a pseudo-terminal pair whose master side the test
// scripts byte by byte, and the logger simulator program started on its own terminal.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orvex::test {

// A pseudo-terminal in raw mode: the code under test opens SlavePath(), the test talks on the
// master side.
class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return m_slave; }
    void Write(const std::vector<uint8_t>& bytes);
    // Everything that arrives within waitMs (reading on while bytes keep coming).
    std::vector<uint8_t> ReadFor(int waitMs);

  private:
    int m_master = -1;
    int m_keepSlave = -1;  // keeps the terminal alive while the code under test reopens it
    std::string m_slave;
};

// The logger simulator running on its own pseudo-terminal; killed and reaped on destruction.
class SimProcess {
  public:
    // Starts the simulator with the given arguments and reads the terminal path it prints.
    explicit SimProcess(const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    // Waits for the simulator to end by itself (up to waitMs); returns its exit status or -1.
    int Wait(int waitMs);

  private:
    pid_t m_pid = -1;
    std::string m_path;
};

// The simulator program, or an empty text when it is not built.
std::string SimulatorPath();

}  // namespace orvex::test
