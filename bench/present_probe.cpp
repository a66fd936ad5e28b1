// SPDX-License-Identifier: GPL-3.0-or-later
#include "present_probe.h"

#include <dlfcn.h>
#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

#include <QGuiApplication>
#include <algorithm>
#include <cstdarg>
#include <memory>

namespace {

struct Probe {
  QWindow* window = nullptr;
  wl_surface* surface = nullptr;
  std::unique_ptr<pf::WaylandPresentation> presentation;
  std::vector<Commit> commits;  // in the order the compositor reported them
};
Probe* probe = nullptr;

constexpr int kMostArguments = 20;  // libwayland's own limit

using MarshalArray = wl_proxy* (*)(wl_proxy*, std::uint32_t, const wl_interface*, std::uint32_t,
                                   std::uint32_t, wl_argument*);

}  // namespace

bool watchCommits(QWindow* window) {
  // Kept to the end of the process: Qt's connection is gone by the time
  // static objects are destroyed.
  static Probe& p = *new Probe;
  p.presentation = pf::WaylandPresentation::create();
  if (!p.presentation) return false;
  p.window = window;
  p.surface = static_cast<wl_surface*>(
      QGuiApplication::platformNativeInterface()->nativeResourceForWindow("surface", window));
  p.presentation->onPresented = [](const pf::PresentedFrame& f) {
    probe->commits.push_back({f.sentNs, f.shownNs, f.periodNs});
  };
  probe = &p;
  return p.surface != nullptr;
}

std::vector<Commit> commits() {
  if (!probe) return {};
  probe->presentation->collect();
  std::vector<Commit> c = probe->commits;
  std::sort(c.begin(), c.end(),
            [](const Commit& a, const Commit& b) { return a.sentNs < b.sentNs; });
  // A commit replaced by a later one before the next refresh is shown with it.
  for (std::size_t k = c.size(); k-- > 1;)
    if (!c[k - 1].shownNs) c[k - 1].shownNs = c[k].shownNs, c[k - 1].periodNs = c[k].periodNs;
  return c;
}

// Every request of the program goes through here: the arguments are taken
// off the variadic list by the request's signature and passed on to
// libwayland's array form.
extern "C" wl_proxy* wl_proxy_marshal_flags(wl_proxy* proxy, std::uint32_t opcode,
                                            const wl_interface* interface, std::uint32_t version,
                                            std::uint32_t flags, ...) {
  static const auto real =
      reinterpret_cast<MarshalArray>(dlsym(RTLD_NEXT, "wl_proxy_marshal_array_flags"));
  // A proxy starts with its object, which starts with its interface.
  const wl_interface* of = *reinterpret_cast<const wl_interface* const*>(proxy);
  wl_argument args[kMostArguments] = {};
  va_list ap;
  va_start(ap, flags);
  int n = 0;
  for (const char* s = of->methods[opcode].signature; *s && n < kMostArguments; ++s) {
    switch (*s) {
      case 'i':
        args[n++].i = va_arg(ap, std::int32_t);
        break;
      case 'u':
        args[n++].u = va_arg(ap, std::uint32_t);
        break;
      case 'f':
        args[n++].f = va_arg(ap, wl_fixed_t);
        break;
      case 's':
        args[n++].s = va_arg(ap, const char*);
        break;
      case 'o':
      case 'n':
        args[n++].o = va_arg(ap, wl_object*);
        break;
      case 'a':
        args[n++].a = va_arg(ap, wl_array*);
        break;
      case 'h':
        args[n++].h = va_arg(ap, std::int32_t);
        break;
      default:
        break;  // '?' and the version digits
    }
  }
  va_end(ap);
  if (probe && reinterpret_cast<wl_surface*>(proxy) == probe->surface &&
      of == &wl_surface_interface && opcode == WL_SURFACE_COMMIT) {
    probe->presentation->collect();
    probe->presentation->watchNextCommit(probe->window, 0);
  }
  return real(proxy, opcode, interface, version, flags, args);
}
