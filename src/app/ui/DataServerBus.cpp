#include "app/ui/DataServerBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>

namespace orvex {

namespace {

const QString kErrorRefused = QStringLiteral("org.orvex.DozaDevaRizevo.Error.Refused");
const QString kErrorNoData = QStringLiteral("org.orvex.DozaDevaRizevo.Error.NoData");
const QString kErrorUnknown = QStringLiteral("org.orvex.DozaDevaRizevo.Error.UnknownConversation");

std::vector<uint8_t> ToBytes(const QByteArray& a) {
    return std::vector<uint8_t>(a.begin(), a.end());
}

}  // namespace

CDataServerBus::CDataServerBus(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    m_bOnBus =
        bus.registerObject(QString::fromLatin1(kServerBusPath), this,
                           QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
    m_watcher = new QDBusServiceWatcher(this);
    m_watcher->setConnection(bus);
    m_watcher->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &CDataServerBus::ClientLeft);
}

CDataServerBus::~CDataServerBus() {
    if (m_bOnBus)
        QDBusConnection::sessionBus().unregisterObject(QString::fromLatin1(kServerBusPath));
}

bool CDataServerBus::RegisterService() {
    if (!m_bOnBus) return false;
    return QDBusConnection::sessionBus().registerService(QString::fromLatin1(kServerBusName));
}

bool CDataServerBus::SendAdvise(uint32_t conversation, const std::string& item,
                                const std::vector<uint8_t>& data) {
    if (!m_server) return false;
    const std::string owner = m_server->OwnerOf(conversation);
    if (owner.empty()) return false;
    QDBusMessage signal = QDBusMessage::createTargetedSignal(
        QString::fromStdString(owner), QString::fromLatin1(kServerBusPath),
        QString::fromLatin1(kServerBusInterface), QStringLiteral("Advise"));
    signal << conversation << QString::fromStdString(item)
           << QByteArray(reinterpret_cast<const char*>(data.data()),
                         static_cast<qsizetype>(data.size()));
    return QDBusConnection::sessionBus().send(signal);
}

std::string CDataServerBus::Caller() const {
    return calledFromDBus() ? message().service().toStdString() : std::string();
}

CDDEServerConv* CDataServerBus::Conversation(uint conversation) {
    CDDEServerConv* c = m_server ? m_server->Find(conversation, Caller()) : nullptr;
    if (!c && calledFromDBus())
        sendErrorReply(kErrorUnknown,
                       QStringLiteral("No conversation %1 of this connection").arg(conversation));
    return c;
}

void CDataServerBus::ClientLeft(const QString& name) {
    m_watcher->removeWatchedService(name);
    if (m_server) m_server->ClientLeft(name.toStdString());
}

uint CDataServerBus::Connect(const QString& topic) {
    const std::string caller = Caller();
    auto id = m_server ? m_server->Connect(topic.toStdString(), caller) : std::nullopt;
    if (!id) {
        if (calledFromDBus()) sendErrorReply(kErrorRefused, QStringLiteral("Unknown topic"));
        return 0;
    }
    if (!caller.empty()) m_watcher->addWatchedService(QString::fromStdString(caller));
    return *id;
}

void CDataServerBus::Disconnect(uint conversation) {
    if (Conversation(conversation)) m_server->Disconnect(conversation, Caller());
}

QByteArray CDataServerBus::Request(uint conversation, const QString& item, const QString& format) {
    CDDEServerConv* c = Conversation(conversation);
    if (!c) return {};
    auto data = c->OnRequest(item.toStdString(), format.toStdString());
    if (!data) {
        sendErrorReply(kErrorNoData, QStringLiteral("No data for this item"));
        return {};
    }
    return QByteArray(reinterpret_cast<const char*>(data->data()),
                      static_cast<qsizetype>(data->size()));
}

bool CDataServerBus::Poke(uint conversation, const QString& item, const QByteArray& data) {
    CDDEServerConv* c = Conversation(conversation);
    return c && c->OnPoke(item.toStdString(), ToBytes(data));
}

bool CDataServerBus::AdviseStart(uint conversation, const QString& item) {
    CDDEServerConv* c = Conversation(conversation);
    return c && c->OnAdviseStart(item.toStdString());
}

bool CDataServerBus::AdviseStop(uint conversation, const QString& item) {
    CDDEServerConv* c = Conversation(conversation);
    return c && c->OnAdviseStop(item.toStdString());
}

}  // namespace orvex
