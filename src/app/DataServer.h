// The data server "DozaDevaRizevo" that feeds the suspension-analysis program: conversations on
// the topics "System", "PlayBack" and "ChannelInfo", the PlayBack clients and their advise
// loops, starting the suspension program, and the playback timer that walks the green marker.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ServerClient.h"

namespace orvex {

class CBriodashDataset;
class CDataAcqApp;
class IHostServices;

inline constexpr const char* kServiceName = "DozaDevaRizevo";
inline constexpr const char* kTopicSystem = "System";
inline constexpr const char* kTopicPlayBack = "PlayBack";
inline constexpr const char* kTopicChannelInfo = "ChannelInfo";
inline constexpr const char* kItemChannelOrder = "ChannelOrder";
inline constexpr const char* kItemChannelData = "ChannelData";
inline constexpr const char* kTextFormat = "CF_TEXT";
inline constexpr const char* kSuspensionSwitch = "/DDEML=BDLNK";
inline constexpr int kSuspensionConnectWaitMs = 10000;
inline constexpr unsigned kPlaybackTimerId = 2;

enum class ServerTopic { System, PlayBack, ChannelInfo };

// The bus the server speaks on.
class IServerTransport {
  public:
    virtual ~IServerTransport() = default;
    // Takes the service name; false when the bus refused it.
    virtual bool RegisterService() = 0;
    // Sends an advise of `item` to the connection that owns the conversation.
    virtual bool SendAdvise(uint32_t conversation, const std::string& item,
                            const std::vector<uint8_t>& data) = 0;
};

// Starting the suspension program.
class ISuspensionLauncher {
  public:
    virtual ~ISuspensionLauncher() = default;
    // The file dialog for the program's path; nothing when cancelled.
    virtual std::optional<std::string> ChooseProgram() = 0;
    virtual bool FileExists(const std::string& path) const = 0;
    // Starts `program` with `args` in `folder`; the system's error text on failure, else "".
    virtual std::string Start(const std::string& program, const std::vector<std::string>& args,
                              const std::string& folder) = 0;
    // A program started here is still running.
    virtual bool IsRunning() const = 0;
};

// The playback timer and waits that keep the program responsive.
class IServerClock {
  public:
    virtual ~IServerClock() = default;
    virtual bool StartTimer(double periodMs) = 0;
    virtual void StopTimer() = 0;
    // Processes events until `done` or `timeoutMs` passed (with the wait cursor); whether done.
    virtual bool WaitFor(const std::function<bool()>& done, int timeoutMs) = 0;
};

// The active graph window and its marker view as the server needs them.
class IPlaybackWindow {
  public:
    virtual ~IPlaybackWindow() = default;
    // The dataset shown by the active data window; nullptr without one.
    virtual const CBriodashDataset* CurrentDataset() const = 0;
    // Green marker time (relative to the zero); kNotSet when not set or no window.
    virtual int32_t GreenMarker() const = 0;
    virtual void ResetAndPlaceGreen(int32_t time) = 0;
    // The command that nudges the green marker one data point right.
    virtual void NudgeGreenRight() = 0;
    virtual void ShowMarkerView() = 0;
    // Writes into every client's 'X', 'R' and 'A' entries what the marker list shows at the
    // green marker.
    virtual void WriteClientValues(std::vector<CAdvReqClient>& clients) = 0;
};

class CDDEServer;

// One conversation on one topic. The base answers every transaction with no data.
class CDDEServerConv {
  public:
    CDDEServerConv(CDDEServer& server, uint32_t id, std::string owner, ServerTopic topic)
        : m_server(server), m_id(id), m_owner(std::move(owner)), m_topic(topic) {}
    virtual ~CDDEServerConv() = default;

    uint32_t Id() const { return m_id; }
    const std::string& Owner() const { return m_owner; }
    ServerTopic Topic() const { return m_topic; }

    virtual void OnDisconnect() {}
    virtual bool OnAdviseStop(std::string_view) { return false; }
    virtual bool OnAdviseStart(std::string_view) { return false; }
    virtual bool OnPoke(std::string_view, const std::vector<uint8_t>&) { return false; }
    virtual std::optional<std::vector<uint8_t>> OnRequest(std::string_view item,
                                                          std::string_view format);
    virtual std::optional<std::vector<uint8_t>> OnAdviseRequest(std::string_view item,
                                                                std::string_view format);

  protected:
    CDDEServer& m_server;

  private:
    uint32_t m_id;
    std::string m_owner;
    ServerTopic m_topic;
};

// Case-insensitive comparison of topic and item names.
bool SameName(std::string_view a, std::string_view b);
// A text answer: the text and its terminating zero byte.
std::vector<uint8_t> TextData(std::string_view text);

class CDDEServer {
  public:
    CDDEServer(CDataAcqApp& app, IHostServices& host, IServerTransport& transport,
               ISuspensionLauncher& launcher, IServerClock& clock, IPlaybackWindow& window);
    ~CDDEServer();
    CDDEServer(const CDDEServer&) = delete;
    CDDEServer& operator=(const CDDEServer&) = delete;

    // --- Transactions from the bus; `owner` is the client's bus connection ---
    // A new conversation's number; nothing for an unknown topic or before the name is taken.
    std::optional<uint32_t> Connect(std::string_view topic, const std::string& owner);
    // The conversation `id` of `owner`; nullptr when there is none.
    CDDEServerConv* Find(uint32_t id, const std::string& owner) const;
    bool Disconnect(uint32_t id, const std::string& owner);
    // The client's connection left the bus: its conversations end as disconnects.
    void ClientLeft(const std::string& owner);
    std::size_t ConversationCount() const { return m_conversations.size(); }
    // The bus connection of a conversation; empty when there is none.
    std::string OwnerOf(uint32_t id) const;

    // --- What the rest of the program uses ---
    // "Enable Data Transfer": may start the suspension program; false when it ended early.
    bool EnableServer();
    void DisableServer();
    // Views post advises in manual mode only while this holds.
    bool IsServerActive() const;
    bool IsRegistered() const { return m_bRegistered; }
    // Posts an advise of "ChannelData" to every PlayBack conversation with an advise loop,
    // after the marker view wrote the values; false when posting failed.
    bool PostChannelData();
    // The views' advise after a green marker was set by hand: only while the server is
    // active; false when posting failed.
    bool PostAdviseFromView();
    void StartPlayback();
    void StopPlayback();
    bool PlaybackRunning() const;
    // One tick of the playback timer.
    void OnPlaybackTick();
    // The status line of the setup dialog.
    std::string StatusText() const;
    int32_t PlaybackRangeStart() const { return m_rangeStart; }
    int32_t PlaybackRangeEnd() const { return m_rangeEnd; }

    // --- The main frame's handling of the four server messages ---
    void OnConnectConfirm(uint32_t conversation);
    void OnAdviseStarted();
    void OnAdviseStopped();
    void OnPlayBackDisconnect(uint32_t conversation);

    // --- For the conversations ---
    const std::vector<uint8_t>& SystemAnswer(std::string_view item, bool& found) const;
    const CBriodashDataset* CurrentDataset() const { return m_window.CurrentDataset(); }
    CAdvReqClient* ClientOf(uint32_t conversation);
    const std::vector<CAdvReqClient>& Clients() const { return m_clients; }
    // The last "ChannelData" block built.
    const std::vector<uint8_t>& LastBlock() const { return m_lastBlock; }
    std::vector<uint8_t> BuildChannelData(uint32_t conversation);

  private:
    bool StartSuspensionProgram();
    bool SuspensionRunning() const;
    void RegisterService();
    void EndConversation(std::map<uint32_t, std::unique_ptr<CDDEServerConv>>::iterator it);

    CDataAcqApp& m_app;
    IHostServices& m_host;
    IServerTransport& m_transport;
    ISuspensionLauncher& m_launcher;
    IServerClock& m_clock;
    IPlaybackWindow& m_window;

    bool m_bRegistered = false;
    uint32_t m_nextConversation = 1;
    std::map<uint32_t, std::unique_ptr<CDDEServerConv>> m_conversations;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> m_systemAnswers;
    std::vector<CAdvReqClient> m_clients;
    std::vector<uint8_t> m_lastBlock;
    int32_t m_rangeStart;
    int32_t m_rangeEnd;
    long m_connectsSeen = 0;
};

}  // namespace orvex
