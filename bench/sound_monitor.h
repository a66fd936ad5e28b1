// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Records what the default sink plays, from its monitor, through libpulse,
// and ties every recorded sample to the moment it is heard on
// CLOCK_MONOTONIC.
//
// The time base. Every 20 ms the recorder asks the server for the record
// stream's timing info. From it, pa_stream_get_time() gives the stream
// position (in µs of samples) of the sample being HEARD at the moment the
// reply arrives: the server's write index, plus what the monitor still
// holds, minus what the sink holds ahead of its output (the monitor gets
// each sample when the sink renders it, up to the sink's latency before the
// sink plays it), plus the reply's transport time. The reply's arrival is
// read on CLOCK_MONOTONIC. A straight line through these (position, moment)
// pairs, fitted after dropping the stray ones, gives when each recorded
// sample was heard. It needs a slope, not only an offset: a sink plays at
// its own rate, never exactly the nominal one against CLOCK_MONOTONIC (a
// sound card's crystal; the null sink advances its clock by whole µs per
// block and so runs about 100 ppm fast, 5 ms a minute). "Heard" is the
// sink's own account of when a sample leaves it; a real sound card adds its
// converter's delay, which the server reports as the sink's latency the same
// way. Printed as the time base's uncertainty: the readings' scatter about
// the line, and a check against the arrival of the data itself.
//
// The player's own correction is what the server says its stream holds: the
// buffer not yet played plus the sink's latency, sampled with the same
// readings.

#include <pulse/pulseaudio.h>

#include <cstdint>
#include <string>
#include <vector>

class SoundMonitor {
 public:
  static constexpr int kRate = 48000;

  ~SoundMonitor();
  // Connects to the server of PULSE_SERVER (or the default) and starts
  // recording the default sink's monitor; false with error set on failure.
  bool start(std::string& error);
  void stop();

  // Everything below: after stop().
  // Sample indices where a sound starts after at least 20 ms of quiet.
  std::vector<std::int64_t> onsets() const;
  // When sample f was heard, monotonic ns.
  std::int64_t heardAt(std::int64_t f) const {
    return atX0_ + static_cast<std::int64_t>(nsPerSample_ * static_cast<double>(f - x0_));
  }
  bool hasTimeBase() const { return !residualMs_.empty(); }
  // Figures on the time base and the player's stream, printed for the reader.
  void describe() const;

 private:
  struct Reading {
    std::int64_t at;         // monotonic ns, the reply's arrival
    std::int64_t heard;      // the sample heard then
    std::int64_t roundTrip;  // request to reply, ns
    std::int64_t sinkUs;     // the sink's latency
    std::int64_t inFlight;   // samples captured by the server, not yet here
  };
  struct Arrival {
    std::int64_t samples;  // received so far
    std::int64_t at;       // monotonic ns
  };

  static void onContext(pa_context* c, void* self);
  static void onStream(pa_stream* s, void* self);
  static void onRead(pa_stream* s, std::size_t bytes, void* self);
  static void onTimer(pa_mainloop_api* api, pa_time_event* e, const timeval* tv, void* self);
  static void onTiming(pa_stream* s, int success, void* self);
  static void onSinkInput(pa_context* c, const pa_sink_input_info* i, int eol, void* self);
  bool waitFor(bool (*ready)(SoundMonitor&), std::string& error);

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  pa_time_event* timer_ = nullptr;
  bool stopped_ = false;
  std::int64_t requestedAt_ = 0;
  std::vector<std::int16_t> samples_;
  std::vector<Arrival> arrivals_;
  std::vector<Reading> readings_;
  std::vector<double> playerBufferMs_, playerSinkMs_;
  void fit();
  // The fitted line: sample x0_ heard at atX0_, nsPerSample_ apart.
  std::int64_t x0_ = 0, atX0_ = 0;
  double nsPerSample_ = 1e9 / kRate;
  std::vector<double> residualMs_;  // of the readings kept
  std::size_t dropped_ = 0;
  std::vector<bool> kept_;
};
