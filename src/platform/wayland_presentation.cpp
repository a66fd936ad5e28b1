// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wayland_presentation.h"

#include <qpa/qplatformnativeinterface.h>
#include <time.h>
#include <wayland-client.h>

#include <QGuiApplication>
#include <QWindow>

// The generated header names a request after the object it makes.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
#include "presentation-time-client-protocol.h"
#pragma GCC diagnostic pop

namespace pf {

namespace {

std::int64_t readClock(clockid_t id) {
  timespec ts{};
  clock_gettime(id, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

}  // namespace

struct WaylandPresentation::Impl {
  wl_display* display = nullptr;
  wl_event_queue* queue = nullptr;
  wl_display* wrapper = nullptr;
  wl_registry* registry = nullptr;
  wp_presentation* presentation = nullptr;
  clockid_t clock = CLOCK_MONOTONIC;
  WaylandPresentation* owner = nullptr;

  struct Pending {
    Impl* impl;
    struct wp_presentation_feedback* feedback;
    PresentedFrame frame;
  };

  ~Impl() {
    // Qt's connection is gone with the application: nothing left to release.
    if (!QGuiApplication::instance()) return;
    if (presentation) wp_presentation_destroy(presentation);
    if (registry) wl_registry_destroy(registry);
    if (wrapper) wl_proxy_wrapper_destroy(wrapper);
    if (queue) wl_event_queue_destroy(queue);
  }

  static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                     std::uint32_t) {
    auto* self = static_cast<Impl*>(data);
    if (std::string_view(interface) == wp_presentation_interface.name)
      self->presentation = static_cast<wp_presentation*>(
          wl_registry_bind(registry, name, &wp_presentation_interface, 1));
  }
  static void globalRemove(void*, wl_registry*, std::uint32_t) {}
  static constexpr wl_registry_listener kRegistry{global, globalRemove};

  static void clockId(void* data, wp_presentation*, std::uint32_t id) {
    static_cast<Impl*>(data)->clock = static_cast<clockid_t>(id);
  }
  static constexpr wp_presentation_listener kPresentation{clockId};

  // Times in the compositor's presentation clock, moved to the monotonic one.
  std::int64_t toMonotonic(std::int64_t ns) const {
    if (clock == CLOCK_MONOTONIC) return ns;
    return ns - readClock(clock) + readClock(CLOCK_MONOTONIC);
  }

  static void syncOutput(void*, struct wp_presentation_feedback*, wl_output*) {}
  static void presented(void* data, struct wp_presentation_feedback*, std::uint32_t secHi,
                        std::uint32_t secLo, std::uint32_t nsec, std::uint32_t refresh,
                        std::uint32_t seqHi, std::uint32_t seqLo, std::uint32_t flags) {
    auto* p = static_cast<Pending*>(data);
    const std::int64_t sec = static_cast<std::int64_t>((std::uint64_t{secHi} << 32) | secLo);
    p->frame.shownNs = p->impl->toMonotonic(sec * 1'000'000'000 + nsec);
    p->frame.periodNs = refresh;
    p->frame.sequence = (std::uint64_t{seqHi} << 32) | seqLo;
    p->frame.vsync = flags & WP_PRESENTATION_FEEDBACK_KIND_VSYNC;
    finish(p);
  }
  static void discarded(void* data, struct wp_presentation_feedback*) {
    finish(static_cast<Pending*>(data));
  }
  static constexpr wp_presentation_feedback_listener kFeedback{syncOutput, presented, discarded};

  static void finish(Pending* p) {
    wp_presentation_feedback_destroy(p->feedback);
    const PresentedFrame frame = p->frame;
    WaylandPresentation* owner = p->impl->owner;
    delete p;
    if (owner->onPresented) owner->onPresented(frame);
  }
};

std::unique_ptr<WaylandPresentation> WaylandPresentation::create() {
  if (QGuiApplication::platformName() != QLatin1String("wayland")) return nullptr;
  QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
  auto* display = native
                      ? static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"))
                      : nullptr;
  if (!display) return nullptr;
  std::unique_ptr<WaylandPresentation> p(new WaylandPresentation);
  p->impl_ = std::make_unique<Impl>();
  Impl& d = *p->impl_;
  d.owner = p.get();
  d.display = display;
  // A queue of its own, so that Qt's dispatching never runs these listeners
  // and these never run Qt's.
  d.queue = wl_display_create_queue(display);
  d.wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(d.wrapper), d.queue);
  d.registry = wl_display_get_registry(d.wrapper);
  wl_registry_add_listener(d.registry, &Impl::kRegistry, &d);
  wl_display_roundtrip_queue(display, d.queue);
  if (!d.presentation) return nullptr;
  wp_presentation_add_listener(d.presentation, &Impl::kPresentation, &d);
  wl_display_roundtrip_queue(display, d.queue);
  return p;
}

WaylandPresentation::~WaylandPresentation() = default;

void WaylandPresentation::watchNextCommit(QWindow* window, std::int64_t meantNs) {
  QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
  auto* surface = static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window));
  if (!surface) return;
  auto* pending = new Impl::Pending{impl_.get(), nullptr, {}};
  pending->frame.sentNs = readClock(CLOCK_MONOTONIC);
  pending->frame.meantNs = meantNs;
  pending->feedback = wp_presentation_feedback(impl_->presentation, surface);
  wp_presentation_feedback_add_listener(pending->feedback, &Impl::kFeedback, pending);
}

void WaylandPresentation::collect() {
  wl_display_dispatch_queue_pending(impl_->display, impl_->queue);
}

}  // namespace pf
