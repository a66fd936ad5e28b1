// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/mqtt_client.h"

#include <mosquitto.h>

#include <QHostAddress>
#include <QHostInfo>
#include <QSocketNotifier>
#include <QUrl>
#include <algorithm>

namespace {

// libmosquitto's global set-up, once per process.
void initLibrary() {
  static const bool done = [] {
    mosquitto_lib_init();
    return true;
  }();
  (void)done;
}

bool lostLink(int rc) {
  return rc == MOSQ_ERR_NO_CONN || rc == MOSQ_ERR_CONN_LOST || rc == MOSQ_ERR_ERRNO ||
         rc == MOSQ_ERR_PROTOCOL || rc == MOSQ_ERR_TLS || rc == MOSQ_ERR_KEEPALIVE;
}

}  // namespace

QString BrokerAddress::url() const {
  return QStringLiteral("%1://%2:%3")
      .arg(tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"),
           host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host)
      .arg(port);
}

std::optional<BrokerAddress> parseBrokerUrl(const QString& text, QString* why) {
  const auto fail = [&](const QString& reason) -> std::optional<BrokerAddress> {
    if (why) *why = reason;
    return std::nullopt;
  };
  const QUrl url(text, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")))
    return fail(QStringLiteral("'%1' is no mqtt:// or mqtts:// address").arg(text));
  if (url.host().isEmpty()) return fail(QStringLiteral("'%1' names no host").arg(text));
  if (!url.path().isEmpty() && url.path() != QLatin1String("/"))
    return fail(QStringLiteral("'%1' has a path; give only the host and port").arg(text));
  BrokerAddress a;
  a.tls = scheme == QLatin1String("mqtts");
  a.host = url.host();
  a.port = url.port(a.tls ? 8883 : 1883);
  a.user = url.userName();
  a.password = url.password();
  return a;
}

MqttClient::MqttClient(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
  initLibrary();
  const QByteArray id = options_.clientId.toUtf8();
  mosq_ = mosquitto_new(id.constData(), false, this);
  mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
  // Small messages go out at once rather than waiting for more to join them.
  mosquitto_int_option(mosq_, MOSQ_OPT_TCP_NODELAY, 1);
  const BrokerAddress& b = options_.broker;
  if (!b.user.isEmpty())
    mosquitto_username_pw_set(mosq_, b.user.toUtf8().constData(),
                              b.password.isEmpty() ? nullptr : b.password.toUtf8().constData());
  if (options_.will) {
    const QByteArray topic = options_.will->topic.toUtf8();
    mosquitto_will_set(mosq_, topic.constData(), static_cast<int>(options_.will->payload.size()),
                       options_.will->payload.constData(), 1, options_.will->retain);
  }
  if (b.tls) {
    if (b.caFile.isEmpty()) mosquitto_int_option(mosq_, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
    const QByteArray ca = b.caFile.toLocal8Bit();
    mosquitto_tls_set(mosq_, ca.isEmpty() ? nullptr : ca.constData(), nullptr, nullptr, nullptr,
                      nullptr);
  }
  mosquitto_connect_callback_set(mosq_, &MqttClient::onConnect);
  mosquitto_disconnect_callback_set(mosq_, &MqttClient::onDisconnect);
  mosquitto_message_callback_set(mosq_, &MqttClient::onMessage);
  mosquitto_publish_callback_set(mosq_, &MqttClient::onPublish);

  // Pings, resends and the keep-alive check.
  misc_.setInterval(100);
  connect(&misc_, &QTimer::timeout, this, [this] {
    if (mosquitto_socket(mosq_) >= 0) afterIo(mosquitto_loop_misc(mosq_));
  });
  retry_.setSingleShot(true);
  connect(&retry_, &QTimer::timeout, this, [this] { start(); });
}

MqttClient::~MqttClient() {
  stop();
  reader_.reset();
  writer_.reset();
  mosquitto_destroy(mosq_);
}

void MqttClient::start() {
  running_ = true;
  misc_.start();
  const QString& host = options_.broker.host;
  if (options_.broker.tls || !QHostAddress(host).isNull()) {
    connectTo(host);
    return;
  }
  QHostInfo::lookupHost(host, this, [this](const QHostInfo& info) {
    if (!running_) return;
    if (info.addresses().isEmpty()) {
      scheduleReconnect();
      return;
    }
    connectTo(info.addresses().constFirst().toString());
  });
}

void MqttClient::connectTo(const QString& host) {
  const int rc = mosquitto_connect_async(mosq_, host.toUtf8().constData(), options_.broker.port,
                                         options_.keepAliveS);
  watchSocket();
  if (rc != MOSQ_ERR_SUCCESS) {
    scheduleReconnect();
    return;
  }
  afterIo(rc);
}

void MqttClient::stop() {
  running_ = false;
  retry_.stop();
  misc_.stop();
  if (mosquitto_socket(mosq_) < 0) return;
  mosquitto_disconnect(mosq_);
  // What the socket takes now goes out; the rest is dropped with the link.
  for (int k = 0; k < 20 && mosquitto_socket(mosq_) >= 0 && mosquitto_want_write(mosq_); ++k)
    if (mosquitto_loop_write(mosq_, 1) != MOSQ_ERR_SUCCESS) break;
  watchSocket();
  if (connected_) {
    connected_ = false;
    emit connectedChanged(false);
  }
}

bool MqttClient::publish(const QString& topic, const QByteArray& payload, int qos, bool retain) {
  int mid = 0;
  const int rc =
      mosquitto_publish(mosq_, &mid, topic.toUtf8().constData(), static_cast<int>(payload.size()),
                        payload.constData(), qos, retain);
  // With the link down, libmosquitto keeps a QoS 1 message for the next
  // connection and says so with NO_CONN.
  const bool kept = rc == MOSQ_ERR_SUCCESS || (rc == MOSQ_ERR_NO_CONN && qos > 0);
  if (kept && qos > 0) awaiting_.insert(mid);
  afterIo(rc == MOSQ_ERR_NO_CONN ? MOSQ_ERR_SUCCESS : rc);
  return kept;
}

void MqttClient::scheduleReconnect() {
  if (!running_ || retry_.isActive()) return;
  retryMs_ = std::clamp(retryMs_ * 2, options_.reconnectMinMs, options_.reconnectMaxMs);
  retry_.start(retryMs_);
}

// After every call into libmosquitto: follow its socket, ask for writability
// only while it has something to send, and notice a lost link.
void MqttClient::afterIo(int rc) {
  watchSocket();
  if (writer_) writer_->setEnabled(mosquitto_want_write(mosq_));
  if (lostLink(rc) && mosquitto_socket(mosq_) < 0) {
    if (connected_) {
      connected_ = false;
      emit connectedChanged(false);
    }
    scheduleReconnect();
  }
}

void MqttClient::watchSocket() {
  const int fd = mosquitto_socket(mosq_);
  if (fd == watched_) return;
  // A notifier must never outlive its descriptor.
  reader_.reset();
  writer_.reset();
  watched_ = fd;
  if (fd < 0) return;
  reader_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  connect(reader_.get(), &QSocketNotifier::activated, this,
          [this] { afterIo(mosquitto_loop_read(mosq_, 1)); });
  writer_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
  writer_->setEnabled(false);
  connect(writer_.get(), &QSocketNotifier::activated, this,
          [this] { afterIo(mosquitto_loop_write(mosq_, 1)); });
}

void MqttClient::onConnect(mosquitto* m, void* self, int rc) {
  auto* c = static_cast<MqttClient*>(self);
  if (rc != 0) {
    // A refused login does not get better by trying again.
    c->running_ = false;
    emit c->refused(QString::fromUtf8(mosquitto_connack_string(rc)));
    return;
  }
  for (const QString& topic : c->options_.subscriptions)
    mosquitto_subscribe(m, nullptr, topic.toUtf8().constData(), 1);
  c->retryMs_ = 0;
  c->connected_ = true;
  emit c->connectedChanged(true);
}

void MqttClient::onDisconnect(mosquitto*, void* self, int) {
  auto* c = static_cast<MqttClient*>(self);
  if (c->connected_) {
    c->connected_ = false;
    emit c->connectedChanged(false);
  }
  // libmosquitto closes the socket right after this call; the next reconnect is on a timer.
  c->scheduleReconnect();
}

void MqttClient::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
  auto* c = static_cast<MqttClient*>(self);
  emit c->messageReceived(
      QString::fromUtf8(message->topic),
      QByteArray(static_cast<const char*>(message->payload), message->payloadlen));
}

void MqttClient::onPublish(mosquitto*, void* self, int mid) {
  static_cast<MqttClient*>(self)->awaiting_.erase(mid);
}
