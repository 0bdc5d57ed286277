// The data server on the D-Bus session bus: name org.orvex.DozaDevaRizevo, object
// /DozaDevaRizevo, interface org.orvex.DozaDevaRizevo.Server. Each call is handed to the server
// core with the caller's connection as the conversation's owner.
#pragma once

#include <QByteArray>
#include <QDBusContext>
#include <QObject>
#include <QString>

#include "app/DataServer.h"

class QDBusServiceWatcher;

namespace orvex {

inline constexpr const char* kServerBusName = "org.orvex.DozaDevaRizevo";
inline constexpr const char* kServerBusPath = "/DozaDevaRizevo";
inline constexpr const char* kServerBusInterface = "org.orvex.DozaDevaRizevo.Server";

class CDataServerBus : public QObject, protected QDBusContext, public IServerTransport {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.orvex.DozaDevaRizevo.Server")
  public:
    explicit CDataServerBus(QObject* parent = nullptr);
    ~CDataServerBus() override;
    // The core the calls go to; set once right after both exist.
    void Attach(CDDEServer& server) { m_server = &server; }
    bool IsOnBus() const { return m_bOnBus; }

    bool RegisterService() override;
    bool SendAdvise(uint32_t conversation, const std::string& item,
                    const std::vector<uint8_t>& data) override;

  public slots:
    uint Connect(const QString& topic);
    void Disconnect(uint conversation);
    QByteArray Request(uint conversation, const QString& item, const QString& format);
    bool Poke(uint conversation, const QString& item, const QByteArray& data);
    bool AdviseStart(uint conversation, const QString& item);
    bool AdviseStop(uint conversation, const QString& item);

  signals:
    void Advise(uint conversation, const QString& item, const QByteArray& data);

  private:
    // The caller's conversation; an error reply and nullptr when it has none of that number.
    CDDEServerConv* Conversation(uint conversation);
    std::string Caller() const;
    void ClientLeft(const QString& name);

    CDDEServer* m_server = nullptr;
    QDBusServiceWatcher* m_watcher = nullptr;
    bool m_bOnBus = false;
};

}  // namespace orvex
