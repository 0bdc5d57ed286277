// Live readings from a Kavrane logger that is not recording: the connection, the plan of
// gauge pages from the logger's enabled channels, the 25 ms poll and what each page shows,
// calibration of accelerometers and shocks, and a demonstration mode without a port.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/HostServices.h"
#include "logger/link/LinkSession.h"
#include "model/Dataset.h"

namespace orvex {

enum class LivePageKind {
    RpmMph,
    RpmSensors,
    Shocks,
    Pressures,
    Accels,
    Egts,
    MiscAnalogs,
    Switches
};

// One gauge or indicator of a page.
struct LiveGauge {
    int m_nChannel = 0;  // RPM and analog 1.., switches 1-4, timers 5-6
    std::string m_strName;
    double m_fValue = 0.0;          // the gauge's reading
    bool m_bIndicator = false;      // the light of a sensor, switch or timer
    std::string m_strCaption;       // timers: "Last Time = ..." and then "%s: %s"
    std::vector<int32_t> m_window;  // the last raw values of the running mean
    int m_nLastState = -1;          // timers: the state last shown (-1: none yet)
};

// A page of gauges and what it asks the logger for.
class CLivePropertyPage {
  public:
    static constexpr int kRpmPerPage = 4, kSensorsPerPage = 5, kShocksPerPage = 4,
                         kPressuresPerPage = 4, kAccelsPerPage = 3, kEgtsPerPage = 8,
                         kMiscPerPage = 8;

    CLivePropertyPage(LivePageKind kind, bool demo) : m_kind(kind), m_bDemo(demo) {}

    LivePageKind Kind() const { return m_kind; }
    std::string Title() const;
    int Capacity() const;
    bool Full() const { return static_cast<int>(m_gauges.size()) >= Capacity(); }
    void AddChannel(int channel, const std::string& name);
    // Reply bytes a poll brings for this page.
    std::size_t ReplyBytes() const;
    // The select command with this page's masks, or with zero masks on leaving the page.
    std::vector<uint8_t> SelectCommand(bool selecting) const;
    // Takes the data bytes of one good poll reply.
    void TakeReply(const uint8_t* data, std::size_t n, const CBriodashDataset& ds, Units units,
                   float voltageCorrection);

    std::vector<LiveGauge>& Gauges() { return m_gauges; }
    const std::vector<LiveGauge>& Gauges() const { return m_gauges; }
    bool IsDemo() const { return m_bDemo; }

  private:
    LivePageKind m_kind;
    bool m_bDemo;
    std::vector<LiveGauge> m_gauges;  // sorted by channel; timers (5, 6) before switches
};

// The value an RPM/MPH gauge shows for a mean period: MPH or KPH for a speed channel, else
// thousands of RPM.
double LiveRpmValue(const CFreqSetup& setup, float clock, double meanPeriod, Units units);

// The running mean of a gauge's raw values (0 before its first reading).
double LiveMean(const LiveGauge& gauge);

class CLiveDataSheet {
  public:
    static constexpr unsigned kTimerId = 33022;
    static constexpr int kPollMs = 25;

    // `defaults` is copied into the sheet's scratch dataset.
    CLiveDataSheet(ISerialLine& line, IHostServices& host, const CLinkOptions& options,
                   const CCarSetup& defaults, Units units, float voltageCorrection, bool demo,
                   bool sharedPort);
    ~CLiveDataSheet();

    // Connects (or takes the masks from the setups in demo mode), builds the pages and
    // deselects everything. False: "Live Data request NOT allowed at this Time!" was shown.
    bool Start();
    // The connection conversation; with `reconnect` the open port is taken as it is.
    bool EstablishLiveData(bool reconnect);

    std::vector<std::unique_ptr<CLivePropertyPage>>& Pages() { return m_pages; }
    int ActivePage() const { return m_nActive; }
    // Leaves the active page (zero masks) and selects page `index`.
    void ActivatePage(int index);
    // One tick of the poll timer; false when the link was lost. In demo mode the active page
    // takes generated readings instead, 25 ms further on with each tick.
    bool Poll();
    bool IsDisconnected() const { return m_bDisconnected; }
    // Good poll replies taken so far (generated ones in demo mode).
    long Replies() const { return m_nReplies; }
    // "Calibrate" or "ReConnect".
    std::string ButtonCaption() const { return m_bDisconnected ? "ReConnect" : "Calibrate"; }
    // "ReConnect": connects again (opening the port again when its line went away) and
    // selects the active page again.
    bool Reconnect();
    // "Calibrate" on the "Accels" page: every accelerometer reads 0 (an "UP-DOWN" one 1).
    // A channel without a reading yet, or reading at the end of its range, keeps its setup
    // and is named in one warning; false then.
    bool CalibrateAccels();
    // The shock dialog's choice: the chosen shock channels read 0 (refusals as above).
    bool CalibrateShocks(const std::vector<int>& channels);
    // Stops polling, deselects everything and closes the port.
    void Close();

    // The gauge of `channel` on the pages of `kind`, or null.
    const LiveGauge* FindGauge(LivePageKind kind, int channel) const;
    Units GetUnits() const { return m_units; }
    float VoltageCorrection() const { return m_fVoltageCorrection; }

    CBriodashDataset& Dataset() { return m_ds; }
    CCarSetup& CarSetup() { return m_ds.m_carSetup; }
    uint8_t RpmMask() const { return m_nRpmMask; }
    uint32_t AnalogMask() const { return m_lAnalogMask; }
    uint8_t SwitchMask() const { return m_nSwitchMask; }
    uint8_t TimerMask() const { return m_nTimerMask; }
    bool IsDemo() const { return m_bDemo; }

  private:
    void DemoMasks();
    void BuildPages();
    CLivePropertyPage& PageFor(LivePageKind kind);
    void Send(const std::vector<uint8_t>& bytes);
    bool Query(uint8_t command, std::size_t replyBytes, const char* noReply, uint8_t* reply);
    // Moves the offset of `g`'s setup so that its reading becomes `target`; false with the
    // reason added to `refused` when its reading cannot be used.
    bool ZeroChannel(const LiveGauge& g, double target, std::string& refused);
    void ShowRefusals(const std::string& refused);

    CLinkSession m_s;
    Units m_units;
    float m_fVoltageCorrection;
    bool m_bDemo;
    bool m_bShared;
    CBriodashDataset m_ds;
    std::vector<std::unique_ptr<CLivePropertyPage>> m_pages;
    int m_nActive = -1;
    int m_nRpmChannels = 5, m_nAnalogChannels = 20;
    uint8_t m_nRpmMask = 0, m_nSwitchMask = 0, m_nTimerMask = 0;
    uint32_t m_lAnalogMask = 0;
    bool m_bDisconnected = false;
    bool m_bBusy = false;
    long m_nDemoTicks = 0;
    long m_nReplies = 0;
};

inline constexpr uint8_t kLiveDeselectAll[] = {0xEA, 0x00, 0xEB, 0x00, 0xEC, 0x00, 0xED,
                                               0x00, 0xEE, 0x00, 0x00, 0x00, 0x00};

}  // namespace orvex
