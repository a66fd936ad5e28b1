// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/qt_cue_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QDeadlineTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "sound/cue_sounds.h"

namespace {

constexpr int kRate = 48000;
constexpr std::int64_t kSecond = 1'000'000'000;
// What the device holds ahead of what it plays, topped up every few ms.
constexpr int kBufferMs = 30;
constexpr int kFeedMs = 5;
// A cue that would start later than this after its moment is left out: a
// tick that far behind its number would mislead rather than help.
constexpr std::int64_t kTooLateNs = 40'000'000;
// Requests this close to one already sounding are the same cue asked again.
constexpr std::int64_t kSameNs = 10'000'000;

struct Request {
  Cue cue;
  std::int64_t atNs;
};

struct Voice {
  const std::vector<std::int16_t>* pcm;
  std::int64_t pos;  // negative: samples still to wait
};

}  // namespace

struct QtCuePlayer::Shared {
  explicit Shared(Now n) : now(std::move(n)) {
    for (Cue c : {Cue::Tick, Cue::Count, Cue::Answer})
      pcm[static_cast<std::size_t>(c)] = cueSamples(c, kRate);
  }
  Now now;
  std::array<std::vector<std::int16_t>, 3> pcm;
  std::mutex mutex;  // guards what follows
  std::vector<Request> pending;
  std::vector<Request> begun;  // the latest few, to spot repeated requests
  QObject* home = nullptr;     // the player's thread, while the player exists
};

namespace {

// Makes the device's samples: silence with the cues mixed in where they
// belong.
class Mixer {
 public:
  Mixer(QtCuePlayer::Shared& shared, QAudioSink& sink) : s_(shared), sink_(sink) {}

  void fill(std::int16_t* out, std::int64_t frames) {
    std::fill(out, out + frames, std::int16_t{0});
    const std::int64_t firstNs = s_.now() + ahead();
    {
      const std::lock_guard lock(s_.mutex);
      const std::int64_t endNs = firstNs + frames * kSecond / kRate;
      for (auto it = s_.pending.begin(); it != s_.pending.end();) {
        if (it->atNs >= endNs) {
          ++it;
          continue;
        }
        if (firstNs - it->atNs <= kTooLateNs) {
          const std::int64_t wait = std::max<std::int64_t>(0, it->atNs - firstNs) * kRate / kSecond;
          voices_.push_back({&s_.pcm[static_cast<std::size_t>(it->cue)], -wait});
          s_.begun.push_back(*it);
          if (s_.begun.size() > 8) s_.begun.erase(s_.begun.begin());
        }
        it = s_.pending.erase(it);
      }
    }
    for (Voice& v : voices_) {
      for (std::int64_t k = 0; k < frames; ++k, ++v.pos) {
        if (v.pos < 0) continue;
        if (v.pos >= static_cast<std::int64_t>(v.pcm->size())) break;
        const int sum = out[k] + (*v.pcm)[static_cast<std::size_t>(v.pos)];
        out[k] = static_cast<std::int16_t>(std::clamp(sum, -32768, 32767));
      }
    }
    std::erase_if(voices_,
                  [](const Voice& v) { return v.pos >= static_cast<std::int64_t>(v.pcm->size()); });
    written_ += frames;
  }

 private:
  // How long until the device plays the first sample written now: what was
  // written minus what it has played, which counts the server's and the
  // device's own delay too; before playing starts, the buffered bytes.
  std::int64_t ahead() const {
    const std::int64_t played = sink_.processedUSecs() * 1000;
    if (played > 0) return std::max<std::int64_t>(0, written_ * kSecond / kRate - played);
    const std::int64_t buffered = sink_.bufferSize() - sink_.bytesFree();
    return std::max<std::int64_t>(0, buffered) * kSecond / (2 * kRate);
  }

  QtCuePlayer::Shared& s_;
  QAudioSink& sink_;
  std::vector<Voice> voices_;
  std::int64_t written_ = 0;
};

// The output, on its own thread from construction to deletion.
class Output final : public QObject {
 public:
  Output(std::shared_ptr<QtCuePlayer::Shared> shared, std::function<void()> failed)
      : shared_(std::move(shared)), failed_(std::move(failed)) {}

  void open() {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return stop();
    QAudioFormat format;
    format.setSampleRate(kRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    sink_ = new QAudioSink(device, format, this);
    sink_->setBufferSize(kRate * 2 * kBufferMs / 1000);
    mixer_ = std::make_unique<Mixer>(*shared_, *sink_);
    connect(sink_, &QAudioSink::stateChanged, this, [this] {
      const QAudio::Error e = sink_->error();
      if (e == QAudio::OpenError || e == QAudio::FatalError) stop();
    });
    io_ = sink_->start();
    if (!io_ || sink_->error() == QAudio::OpenError || sink_->error() == QAudio::FatalError)
      return stop();
    // Topped up in small steps, so the device always holds about the same
    // amount and a cue can be placed close to its moment.
    feeder_.setTimerType(Qt::PreciseTimer);
    connect(&feeder_, &QTimer::timeout, this, &Output::feed);
    feeder_.start(kFeedMs);
    feed();
  }

 private:
  void feed() {
    const qsizetype frames = sink_->bytesFree() / 2;
    if (frames <= 0) return;
    block_.resize(static_cast<std::size_t>(frames));
    mixer_->fill(block_.data(), frames);
    io_->write(reinterpret_cast<const char*>(block_.data()), frames * 2);
  }
  void stop() {
    feeder_.stop();
    if (!failedOnce_) failed_();
    failedOnce_ = true;
  }

  std::shared_ptr<QtCuePlayer::Shared> shared_;
  std::function<void()> failed_;
  QAudioSink* sink_ = nullptr;
  QIODevice* io_ = nullptr;
  std::unique_ptr<Mixer> mixer_;
  QTimer feeder_{this};
  std::vector<std::int16_t> block_;
  bool failedOnce_ = false;
};

}  // namespace

QtCuePlayer::QtCuePlayer(Now now)
    : shared_(std::make_shared<Shared>(std::move(now))), home_(std::make_unique<QObject>()) {
  shared_->home = home_.get();
}

QtCuePlayer::~QtCuePlayer() {
  release();
  const std::lock_guard lock(shared_->mutex);
  shared_->home = nullptr;
}

void QtCuePlayer::prepare() {
  if (thread_) return;
  thread_ = new QThread;
  thread_->setObjectName(QStringLiteral("pelatto-sound"));
  // Reported on the player's thread, and only while the player exists.
  auto report = [shared = shared_, player = this] {
    const std::lock_guard lock(shared->mutex);
    if (shared->home)
      QMetaObject::invokeMethod(
          shared->home,
          [player] {
            if (player->failed) player->failed();
          },
          Qt::QueuedConnection);
  };
  auto* output = new Output(shared_, report);
  output->moveToThread(thread_);
  QObject::connect(thread_, &QThread::finished, output, &QObject::deleteLater);
  thread_->start();
  QMetaObject::invokeMethod(output, &Output::open, Qt::QueuedConnection);
}

void QtCuePlayer::play(Cue cue, std::int64_t atNs) {
  const std::lock_guard lock(shared_->mutex);
  for (const Request& r : shared_->begun)
    if (r.cue == cue && std::abs(r.atNs - atNs) < kSameNs) return;
  shared_->pending.push_back({cue, atNs});
}

void QtCuePlayer::cancel() {
  const std::int64_t now = shared_->now();
  const std::lock_guard lock(shared_->mutex);
  std::erase_if(shared_->pending, [now](const Request& r) { return r.atNs > now; });
}

void QtCuePlayer::release() {
  if (!thread_) return;
  {
    const std::lock_guard lock(shared_->mutex);
    shared_->pending.clear();
  }
  thread_->quit();
  // A device that hangs must not hang the window: past the deadline the
  // thread is left to finish and delete itself.
  if (thread_->wait(QDeadlineTimer(2000))) {
    delete thread_;
  } else {
    QObject::connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
  }
  thread_ = nullptr;
}
