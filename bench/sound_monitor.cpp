// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound_monitor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr pa_usec_t kReadingEveryUs = 20'000;

std::int64_t monotonic() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

double ms(double ns) { return ns / 1e6; }

template <typename T>
T quantile(std::vector<T> v, double p) {
  std::sort(v.begin(), v.end());
  const auto k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(k, v.size() - 1)];
}

}  // namespace

SoundMonitor::~SoundMonitor() { stop(); }

bool SoundMonitor::waitFor(bool (*ready)(SoundMonitor&), std::string& error) {
  for (;;) {
    if (ready(*this)) return true;
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) ||
        (stream_ && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)))) {
      error = pa_strerror(pa_context_errno(context_));
      return false;
    }
    pa_threaded_mainloop_wait(loop_);
  }
}

bool SoundMonitor::start(std::string& error) {
  loop_ = pa_threaded_mainloop_new();
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "sound_timing monitor");
  pa_context_set_state_callback(context_, &SoundMonitor::onContext, this);
  pa_threaded_mainloop_lock(loop_);
  if (pa_threaded_mainloop_start(loop_) < 0 ||
      pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    error = pa_strerror(pa_context_errno(context_));
    pa_threaded_mainloop_unlock(loop_);
    return false;
  }
  bool ok = waitFor(
      [](SoundMonitor& m) { return pa_context_get_state(m.context_) == PA_CONTEXT_READY; }, error);
  if (ok) {
    const pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 1};
    stream_ = pa_stream_new(context_, "sound_timing monitor", &format, nullptr);
    pa_stream_set_state_callback(stream_, &SoundMonitor::onStream, this);
    pa_stream_set_read_callback(stream_, &SoundMonitor::onRead, this);
    // Small fragments: the data arrives soon after it is rendered, which
    // keeps the arrival check tight.
    pa_buffer_attr attr{};
    attr.maxlength = attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
    attr.fragsize = 2 * kRate * 2 / 1000;
    // Raw readings: the library neither smooths nor holds the time back.
    const auto flags =
        static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_NOT_MONOTONIC);
    ok = pa_stream_connect_record(stream_, "@DEFAULT_MONITOR@", &attr, flags) >= 0 &&
         waitFor([](SoundMonitor& m) { return pa_stream_get_state(m.stream_) == PA_STREAM_READY; },
                 error);
  }
  if (ok)
    timer_ = pa_context_rttime_new(context_, pa_rtclock_now() + kReadingEveryUs,
                                   &SoundMonitor::onTimer, this);
  pa_threaded_mainloop_unlock(loop_);
  return ok;
}

void SoundMonitor::stop() {
  if (!loop_ || stopped_) return;
  stopped_ = true;
  pa_threaded_mainloop_lock(loop_);
  if (timer_) pa_threaded_mainloop_get_api(loop_)->time_free(timer_);
  if (stream_) {
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
  }
  pa_context_disconnect(context_);
  pa_context_unref(context_);
  pa_threaded_mainloop_unlock(loop_);
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
  fit();
}

// Least squares of arrival against sample, twice: the second time without
// the readings more than five median deviations (and 0.3 ms) off the first
// line, such as those taken while the sink still settled its latency. A
// reading of sample 0 comes before anything was heard and says nothing.
void SoundMonitor::fit() {
  std::vector<bool>& keep = kept_;
  keep.clear();
  for (const Reading& r : readings_) keep.push_back(r.heard > 0);
  if (std::count(keep.begin(), keep.end(), true) < 2) return;
  for (int pass = 0; pass < 2; ++pass) {
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    const Reading& first = readings_.front();
    for (std::size_t k = 0; k < readings_.size(); ++k) {
      if (!keep[k]) continue;
      const double x = static_cast<double>(readings_[k].heard - first.heard);
      const double y = static_cast<double>(readings_[k].at - first.at);
      n += 1, sx += x, sy += y, sxx += x * x, sxy += x * y;
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    x0_ = first.heard;
    atX0_ = first.at + static_cast<std::int64_t>((sy - slope * sx) / n);
    nsPerSample_ = slope;
    std::vector<double> residual;
    for (const Reading& r : readings_)
      residual.push_back(ms(static_cast<double>(r.at - heardAt(r.heard))));
    std::vector<double> deviation;
    for (std::size_t k = 0; k < residual.size(); ++k)
      if (readings_[k].heard > 0) deviation.push_back(std::abs(residual[k]));
    const double limit = std::max(0.3, 5 * quantile(deviation, 0.5));
    residualMs_.clear();
    dropped_ = 0;
    for (std::size_t k = 0; k < residual.size(); ++k) {
      keep[k] = readings_[k].heard > 0 && std::abs(residual[k]) <= limit;
      if (keep[k])
        residualMs_.push_back(residual[k]);
      else
        ++dropped_;
    }
  }
}

void SoundMonitor::onContext(pa_context*, void* self) {
  pa_threaded_mainloop_signal(static_cast<SoundMonitor*>(self)->loop_, 0);
}

void SoundMonitor::onStream(pa_stream*, void* self) {
  pa_threaded_mainloop_signal(static_cast<SoundMonitor*>(self)->loop_, 0);
}

void SoundMonitor::onRead(pa_stream* s, std::size_t, void* self) {
  auto& m = *static_cast<SoundMonitor*>(self);
  const void* data = nullptr;
  std::size_t bytes = 0;
  while (pa_stream_readable_size(s) > 0 && pa_stream_peek(s, &data, &bytes) == 0 && bytes > 0) {
    const std::int64_t at = monotonic();
    const auto* begin = static_cast<const std::int16_t*>(data);
    // A hole in the stream keeps its place as silence.
    if (begin)
      m.samples_.insert(m.samples_.end(), begin, begin + bytes / 2);
    else
      m.samples_.resize(m.samples_.size() + bytes / 2, 0);
    pa_stream_drop(s);
    m.arrivals_.push_back({static_cast<std::int64_t>(m.samples_.size()), at});
  }
}

void SoundMonitor::onTimer(pa_mainloop_api*, pa_time_event* e, const timeval*, void* self) {
  auto& m = *static_cast<SoundMonitor*>(self);
  m.requestedAt_ = monotonic();
  if (pa_operation* o = pa_stream_update_timing_info(m.stream_, &SoundMonitor::onTiming, &m))
    pa_operation_unref(o);
  if (pa_operation* o =
          pa_context_get_sink_input_info_list(m.context_, &SoundMonitor::onSinkInput, &m))
    pa_operation_unref(o);
  pa_context_rttime_restart(m.context_, e, pa_rtclock_now() + kReadingEveryUs);
}

void SoundMonitor::onTiming(pa_stream* s, int success, void* self) {
  const std::int64_t at = monotonic();
  auto& m = *static_cast<SoundMonitor*>(self);
  pa_usec_t heard = 0;
  const pa_timing_info* info = pa_stream_get_timing_info(s);
  if (!success || !info || pa_stream_get_time(s, &heard) < 0) return;
  m.readings_.push_back({at, static_cast<std::int64_t>(heard) * kRate / 1'000'000,
                         at - m.requestedAt_, static_cast<std::int64_t>(info->sink_usec),
                         info->write_index / 2 - static_cast<std::int64_t>(m.samples_.size())});
}

void SoundMonitor::onSinkInput(pa_context*, const pa_sink_input_info* i, int eol, void* self) {
  auto& m = *static_cast<SoundMonitor*>(self);
  if (eol || !i || i->corked) return;
  m.playerBufferMs_.push_back(static_cast<double>(i->buffer_usec) / 1000);
  m.playerSinkMs_.push_back(static_cast<double>(i->sink_usec) / 1000);
}

std::vector<std::int64_t> SoundMonitor::onsets() const {
  std::vector<std::int64_t> out;
  std::int64_t quiet = kRate;
  for (std::size_t k = 0; k < samples_.size(); ++k) {
    const int a = std::abs(int{samples_[k]});
    if (a > 3000 && quiet >= kRate / 50) out.push_back(static_cast<std::int64_t>(k));
    quiet = a > 300 ? 0 : quiet + 1;
  }
  return out;
}

void SoundMonitor::describe() const {
  if (residualMs_.empty()) {
    std::printf("time base: no timing reading arrived; the sound figures cannot be placed\n");
    return;
  }
  std::vector<double> trip, sink, inFlight;
  for (const Reading& r : readings_) {
    trip.push_back(ms(static_cast<double>(r.roundTrip)));
    sink.push_back(static_cast<double>(r.sinkUs) / 1000);
    inFlight.push_back(static_cast<double>(r.inFlight) * 1000 / kRate);
  }
  const double sinkMax = quantile(sink, 1);
  std::printf(
      "time base: %zu readings of the monitor stream's timing (one per 20 ms), %zu set aside;\n"
      "  the sink plays %+.0f ppm against nominal 48 kHz on CLOCK_MONOTONIC;\n"
      "  readings about the fitted line: p5 .. p95 %.3f .. %.3f ms, all %.3f .. %.3f ms;\n"
      "  reading round trip median %.3f, max %.3f ms\n",
      readings_.size(), dropped_, (1e9 / kRate / nsPerSample_ - 1) * 1e6,
      quantile(residualMs_, 0.05), quantile(residualMs_, 0.95), quantile(residualMs_, 0),
      quantile(residualMs_, 1), quantile(trip, 0.5), quantile(trip, 1));
  std::printf(
      "  the sink renders ahead of hearing by median %.2f, max %.2f ms;"
      " data in flight to here median %.2f, max %.2f ms\n",
      quantile(sink, 0.5), sinkMax, quantile(inFlight, 0.5), quantile(inFlight, 1));
  // A block cannot arrive before its last sample was rendered, which is at
  // most the sink's latency before it is heard: checked over the span of the
  // readings kept, against the largest latency reported there.
  double steadyMax = 0;
  std::int64_t from = INT64_MAX, to = INT64_MIN;
  for (std::size_t k = 0; k < readings_.size(); ++k) {
    if (!kept_[k]) continue;
    steadyMax = std::max(steadyMax, static_cast<double>(readings_[k].sinkUs) / 1000);
    from = std::min(from, readings_[k].at);
    to = std::max(to, readings_[k].at);
  }
  std::vector<double> early;
  for (const Arrival& a : arrivals_)
    if (a.at >= from && a.at <= to)
      early.push_back(ms(static_cast<double>(a.at - heardAt(a.samples - 1))));
  if (!early.empty()) {
    const double first = quantile(early, 0);
    std::printf(
        "  check: blocks arrived %.2f .. %.2f ms after their last sample was heard"
        " (median %.2f); earliest possible -%.2f (the sink's latency): %s\n",
        first, quantile(early, 1), quantile(early, 0.5), steadyMax,
        first >= -steadyMax - 0.3 ? "consistent" : "INCONSISTENT, figures unreliable");
  }
  if (playerBufferMs_.empty()) {
    std::printf("the player's stream: not seen by the server\n");
    return;
  }
  const double buffer = quantile(playerBufferMs_, 0.5), playerSink = quantile(playerSinkMs_, 0.5);
  std::printf(
      "the player's latency correction: the server holds its samples median %.2f ms"
      " (max %.2f) + sink latency %.2f ms = %.2f ms from writing to hearing;\n"
      "  the player places each tick that far ahead of its moment, from written - played\n",
      buffer, quantile(playerBufferMs_, 1), playerSink, buffer + playerSink);
}
