#include "app/DataServer.h"

#include <algorithm>
#include <cctype>

#include "app/DataAcqApp.h"
#include "model/Units.h"

namespace orvex {

namespace {

constexpr const char* kChannelInfoItems[] = {"XAxisList",   "RPMList",  "AnalogList",
                                             "DigitalList", "MathList", "ChannelDetails"};

// "System": housekeeping answers, the same for every format.
class CSystemConv : public CDDEServerConv {
  public:
    using CDDEServerConv::CDDEServerConv;
    std::optional<std::vector<uint8_t>> OnRequest(std::string_view item,
                                                  std::string_view) override {
        bool found = false;
        const std::vector<uint8_t>& data = m_server.SystemAnswer(item, found);
        if (!found) return std::nullopt;
        return data;
    }
};

// "ChannelInfo": the channels the current dataset offers, as text.
class CChannelInfoConv : public CDDEServerConv {
  public:
    using CDDEServerConv::CDDEServerConv;
    std::optional<std::vector<uint8_t>> OnRequest(std::string_view item,
                                                  std::string_view format) override {
        if (!SameName(format, kTextFormat)) return std::nullopt;
        const CBriodashDataset* ds = m_server.CurrentDataset();
        if (SameName(item, "XAxisList")) return TextData(XAxisListText(ds));
        if (SameName(item, "RPMList")) return TextData(RpmListText(ds));
        if (SameName(item, "AnalogList")) return TextData(AnalogListText(ds));
        if (SameName(item, "DigitalList")) return TextData(DigitalListText(ds));
        if (SameName(item, "MathList") || SameName(item, "ChannelDetails")) return TextData("");
        return std::nullopt;
    }
    // "ChannelDetails" is read and ignored.
    bool OnPoke(std::string_view, const std::vector<uint8_t>&) override { return false; }
};

// "PlayBack": one client's channel order and its advise loop on "ChannelData".
class CPlayBackConv : public CDDEServerConv {
  public:
    using CDDEServerConv::CDDEServerConv;
    bool Advising() const { return m_bAdvising; }

    bool OnPoke(std::string_view item, const std::vector<uint8_t>& data) override {
        if (!SameName(item, kItemChannelOrder)) return false;
        CAdvReqClient* client = m_server.ClientOf(Id());
        if (!client) return false;
        auto zero = std::find(data.begin(), data.end(), uint8_t{0});
        client->SetChannelOrder(std::string(data.begin(), zero), m_server.CurrentDataset());
        return true;
    }
    bool OnAdviseStart(std::string_view item) override {
        if (!SameName(item, kItemChannelData)) return false;
        if (m_bAdvising) return true;  // the loop runs already: counted once
        m_bAdvising = true;
        m_server.OnAdviseStarted();
        return true;
    }
    bool OnAdviseStop(std::string_view item) override {
        if (!SameName(item, kItemChannelData) || !m_bAdvising) return false;
        m_bAdvising = false;
        m_server.OnAdviseStopped();
        return true;
    }
    std::optional<std::vector<uint8_t>> OnAdviseRequest(std::string_view item,
                                                        std::string_view format) override {
        if (!m_bAdvising || !SameName(item, kItemChannelData) || !SameName(format, kTextFormat))
            return std::nullopt;
        return m_server.BuildChannelData(Id());
    }
    // A client that goes away with its advise loop running has stopped that loop too, so
    // that the advise count never counts a client that is gone.
    void OnDisconnect() override {
        if (m_bAdvising) {
            m_bAdvising = false;
            m_server.OnAdviseStopped();
        }
        m_server.OnPlayBackDisconnect(Id());
    }

  private:
    bool m_bAdvising = false;
};

std::string Join(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) {
        if (!out.empty()) out += ", ";
        out += p;
    }
    return out;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<uint8_t> TextData(std::string_view text) {
    std::vector<uint8_t> out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

std::optional<std::vector<uint8_t>> CDDEServerConv::OnRequest(std::string_view, std::string_view) {
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> CDDEServerConv::OnAdviseRequest(std::string_view,
                                                                    std::string_view) {
    return std::nullopt;
}

CDDEServer::CDDEServer(CDataAcqApp& app, IHostServices& host, IServerTransport& transport,
                       ISuspensionLauncher& launcher, IServerClock& clock, IPlaybackWindow& window)
    : m_app(app),
      m_host(host),
      m_transport(transport),
      m_launcher(launcher),
      m_clock(clock),
      m_window(window),
      m_rangeStart(kNotSet),
      m_rangeEnd(kNotSet) {
    std::vector<std::string> items(std::begin(kChannelInfoItems), std::end(kChannelInfoItems));
    items.insert(items.begin(), {kItemChannelOrder, kItemChannelData});
    m_systemAnswers = {
        {"Topics", TextData(Join({kTopicSystem, kTopicPlayBack, kTopicChannelInfo}))},
        {"SysItems", TextData("Formats, Help, ItemList, RtnMsg, Status, SysItems, Topics")},
        {"ReturnMessage", TextData("Not Available")},
        {"Status", TextData("Server is READY")},
        {"Formats", TextData(kTextFormat)},
        {"Help", TextData("Not Implemented")},
        {"TopicItemList", TextData(Join(items))},
    };
}

CDDEServer::~CDDEServer() {
    StopPlayback();
    m_conversations.clear();
    m_clients.clear();
}

const std::vector<uint8_t>& CDDEServer::SystemAnswer(std::string_view item, bool& found) const {
    static const std::vector<uint8_t> kNone;
    for (const auto& [name, data] : m_systemAnswers)
        if (SameName(name, item)) {
            found = true;
            return data;
        }
    found = false;
    return kNone;
}

std::optional<uint32_t> CDDEServer::Connect(std::string_view topic, const std::string& owner) {
    if (!m_bRegistered) return std::nullopt;
    std::optional<ServerTopic> kind;
    if (SameName(topic, kTopicSystem)) kind = ServerTopic::System;
    if (SameName(topic, kTopicPlayBack)) kind = ServerTopic::PlayBack;
    if (SameName(topic, kTopicChannelInfo)) kind = ServerTopic::ChannelInfo;
    if (!kind) return std::nullopt;
    const uint32_t id = m_nextConversation++;
    if (m_nextConversation == 0) m_nextConversation = 1;
    std::unique_ptr<CDDEServerConv> conv;
    switch (*kind) {
        case ServerTopic::System:
            conv = std::make_unique<CSystemConv>(*this, id, owner, *kind);
            break;
        case ServerTopic::PlayBack:
            conv = std::make_unique<CPlayBackConv>(*this, id, owner, *kind);
            break;
        case ServerTopic::ChannelInfo:
            conv = std::make_unique<CChannelInfoConv>(*this, id, owner, *kind);
            break;
    }
    m_conversations[id] = std::move(conv);
    ++m_connectsSeen;
    if (*kind == ServerTopic::PlayBack) OnConnectConfirm(id);
    return id;
}

CDDEServerConv* CDDEServer::Find(uint32_t id, const std::string& owner) const {
    auto it = m_conversations.find(id);
    if (it == m_conversations.end() || it->second->Owner() != owner) return nullptr;
    return it->second.get();
}

std::string CDDEServer::OwnerOf(uint32_t id) const {
    auto it = m_conversations.find(id);
    return it == m_conversations.end() ? std::string() : it->second->Owner();
}

void CDDEServer::EndConversation(std::map<uint32_t, std::unique_ptr<CDDEServerConv>>::iterator it) {
    std::unique_ptr<CDDEServerConv> conv = std::move(it->second);
    m_conversations.erase(it);
    conv->OnDisconnect();
}

bool CDDEServer::Disconnect(uint32_t id, const std::string& owner) {
    auto it = m_conversations.find(id);
    if (it == m_conversations.end() || it->second->Owner() != owner) return false;
    EndConversation(it);
    return true;
}

void CDDEServer::ClientLeft(const std::string& owner) {
    for (auto it = m_conversations.begin(); it != m_conversations.end();) {
        auto next = std::next(it);
        if (it->second->Owner() == owner) EndConversation(it);
        it = next;
    }
}

CAdvReqClient* CDDEServer::ClientOf(uint32_t conversation) {
    for (CAdvReqClient& c : m_clients)
        if (c.m_conversation == conversation) return &c;
    return nullptr;
}

std::vector<uint8_t> CDDEServer::BuildChannelData(uint32_t conversation) {
    CAdvReqClient* client = ClientOf(conversation);
    m_lastBlock = client ? client->ValueBlock() : std::vector<uint8_t>{};
    return m_lastBlock;
}

bool CDDEServer::PostChannelData() {
    if (!m_bRegistered) return false;
    m_window.WriteClientValues(m_clients);
    bool ok = true;
    for (auto& [id, conv] : m_conversations) {
        if (conv->Topic() != ServerTopic::PlayBack) continue;
        auto data = conv->OnAdviseRequest(kItemChannelData, kTextFormat);
        if (!data) continue;
        ok = m_transport.SendAdvise(id, kItemChannelData, *data) && ok;
    }
    return ok;
}

bool CDDEServer::PostAdviseFromView() {
    if (!IsServerActive()) return true;
    return PostChannelData();
}

// --- The main frame's handling of the server messages ---

void CDDEServer::OnConnectConfirm(uint32_t conversation) {
    m_clients.emplace_back(conversation);
    ++m_app.GetServerState().connections;
}

void CDDEServer::OnAdviseStarted() {
    ServerState& s = m_app.GetServerState();
    const bool first = s.advises == 0;
    ++s.advises;
    if (first && m_app.GetServerAutoMode()) StartPlayback();
}

void CDDEServer::OnAdviseStopped() {
    ServerState& s = m_app.GetServerState();
    if (s.advises > 0) --s.advises;
    if (s.advises == 0) StopPlayback();
}

void CDDEServer::OnPlayBackDisconnect(uint32_t conversation) {
    ServerState& s = m_app.GetServerState();
    if (s.connections > 0) --s.connections;
    if (s.connections == 0) {
        StopPlayback();
        s.advises = 0;
    }
    std::erase_if(m_clients, [conversation](const CAdvReqClient& c) {
        return c.m_conversation == conversation;
    });
}

}  // namespace orvex
