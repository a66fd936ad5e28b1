// SPDX-License-Identifier: GPL-3.0-or-later
// A slow, uneven link on loopback for the classroom benchmark: a TCP proxy
// that holds every chunk, in each direction, for a random time between MIN
// and MAX milliseconds before passing it on, never letting one overtake the
// one before (as a congested Wi-Fi link delays and bunches packets).
//
//   slow_link LISTEN_PORT TARGET_PORT MIN_MS MAX_MS
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <deque>

namespace {

// One direction of one connection.
class Lane : public QObject {
 public:
  Lane(QTcpSocket* from, QTcpSocket* to, int minMs, int maxMs)
      : QObject(from), from_(from), to_(to), minMs_(minMs), maxMs_(maxMs) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { release(); });
    connect(from_, &QTcpSocket::readyRead, this, [this] {
      const qint64 now = QDeadlineTimer::current(Qt::PreciseTimer).deadline();
      const qint64 delay = minMs_ + QRandomGenerator::global()->bounded(maxMs_ - minMs_ + 1);
      due_ = std::max(due_, now + delay);
      held_.push_back({due_, from_->readAll()});
      if (!timer_.isActive()) release();
    });
  }

 private:
  void release() {
    const qint64 now = QDeadlineTimer::current(Qt::PreciseTimer).deadline();
    while (!held_.empty() && held_.front().first <= now) {
      to_->write(held_.front().second);
      held_.pop_front();
    }
    if (!held_.empty()) timer_.start(static_cast<int>(held_.front().first - now));
  }

  QTcpSocket* from_;
  QTcpSocket* to_;
  int minMs_, maxMs_;
  qint64 due_ = 0;
  std::deque<std::pair<qint64, QByteArray>> held_;
  QTimer timer_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 5) {
    std::fputs("usage: slow_link LISTEN_PORT TARGET_PORT MIN_MS MAX_MS\n", stderr);
    return 2;
  }
  const quint16 target = static_cast<quint16>(QByteArray(argv[2]).toUInt());
  const int minMs = QByteArray(argv[3]).toInt(), maxMs = QByteArray(argv[4]).toInt();
  QTcpServer server;
  if (!server.listen(QHostAddress::LocalHost, static_cast<quint16>(QByteArray(argv[1]).toUInt()))) {
    std::fprintf(stderr, "slow_link: %s\n", qPrintable(server.errorString()));
    return 1;
  }
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    while (QTcpSocket* in = server.nextPendingConnection()) {
      auto* out = new QTcpSocket(in);
      in->setSocketOption(QAbstractSocket::LowDelayOption, 1);
      out->setSocketOption(QAbstractSocket::LowDelayOption, 1);
      new Lane(in, out, minMs, maxMs);
      new Lane(out, in, minMs, maxMs);
      QObject::connect(in, &QTcpSocket::disconnected, out, &QTcpSocket::disconnectFromHost);
      QObject::connect(out, &QTcpSocket::disconnected, in, &QTcpSocket::disconnectFromHost);
      QObject::connect(in, &QTcpSocket::disconnected, in, &QObject::deleteLater);
      out->connectToHost(QHostAddress::LocalHost, target);
    }
  });
  return app.exec();
}
