// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <optional>
#include <set>

class QSocketNotifier;
struct mosquitto;
struct mosquitto_message;

// Where a broker is and how to log in to it:
// mqtt://[user[:password]@]host[:port], or mqtts:// for TLS (port 8883 unless given).
struct BrokerAddress {
  QString host;
  int port = 1883;
  bool tls = false;
  QString user;
  QString password;
  QString caFile;  // TLS: the certificates to trust; empty for the system's

  // The address without the login, as learners are told it.
  QString url() const;
};
std::optional<BrokerAddress> parseBrokerUrl(const QString& url, QString* why = nullptr);

// One MQTT connection (3.1.1) driven from the Qt event loop: libmosquitto's
// socket is watched by socket notifiers and its housekeeping (pings, resends)
// runs on a timer, so nothing ever waits on the network in this thread.
// The session is persistent: the broker keeps the subscriptions and the QoS 1
// messages meant for this client while it is away. When the link drops the
// client reconnects with a growing pause; QoS 1 messages published meanwhile
// wait in libmosquitto and go out once the broker is back. A host name is
// looked up without blocking before each connection (TLS connects by name, so
// the certificate can be checked against it). The signals come from inside
// libmosquitto's processing: a receiver may publish there, but must not stop
// or delete the client (queue that instead).
class MqttClient : public QObject {
  Q_OBJECT
 public:
  struct Will {
    QString topic;
    QByteArray payload;
    bool retain = true;
  };
  struct Options {
    BrokerAddress broker;
    QString clientId;
    int keepAliveS = 5;
    std::optional<Will> will;   // published by the broker when the link is lost
    QStringList subscriptions;  // QoS 1, made at every connection
    int reconnectMinMs = 100, reconnectMaxMs = 2000;
  };

  explicit MqttClient(Options options, QObject* parent = nullptr);
  ~MqttClient() override;
  MqttClient(const MqttClient&) = delete;
  MqttClient& operator=(const MqttClient&) = delete;

  // Connects, and reconnects whenever the link drops, until stop().
  void start();
  // Sends what is queued as far as the socket takes it, then disconnects
  // cleanly: the broker does not publish the will.
  void stop();
  bool connected() const { return connected_; }
  const Options& options() const { return options_; }

  // Queues a message (QoS 0 or 1); false when libmosquitto refuses it (a bad
  // topic, or QoS 0 while the link is down).
  bool publish(const QString& topic, const QByteArray& payload, int qos, bool retain = false);
  // QoS 1 messages the broker has not acknowledged yet.
  int unacknowledged() const { return static_cast<int>(awaiting_.size()); }

 signals:
  void connectedChanged(bool connected);
  // The broker refused the login (wrong password, unknown user, not allowed).
  void refused(const QString& why);
  void messageReceived(const QString& topic, const QByteArray& payload);

 private:
  static void onConnect(mosquitto*, void* self, int rc);
  static void onDisconnect(mosquitto*, void* self, int rc);
  static void onMessage(mosquitto*, void* self, const mosquitto_message* message);
  static void onPublish(mosquitto*, void* self, int mid);

  void connectTo(const QString& host);
  void scheduleReconnect();
  void afterIo(int rc);
  void watchSocket();

  Options options_;
  mosquitto* mosq_ = nullptr;
  std::unique_ptr<QSocketNotifier> reader_, writer_;
  int watched_ = -1;
  QTimer misc_, retry_;
  int retryMs_ = 0;
  bool running_ = false;
  bool connected_ = false;
  bool everConnected_ = false;
  std::set<int> awaiting_;  // ids of QoS 1 messages not yet acknowledged
};
