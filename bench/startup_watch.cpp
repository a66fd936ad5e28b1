// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program and watches the X server, not the program, for the
// moment its window named NAME becomes viewable (mapped, its frame too);
// then leaves it idle, reads its resident memory and ends it with SIGTERM.
//
//   startup_watch NAME IDLE_MS PROGRAM [ARGS...]
//
// Prints one line "MS RSS_KIB PSS_KIB": the time from just before the
// program was started to the window being viewable, and the idle program's
// resident and proportional set sizes. Exits 1 when the window never shows.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <set>
#include <string>

namespace {

std::int64_t nowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

std::string windowName(xcb_connection_t* c, xcb_window_t w) {
  xcb_get_property_reply_t* r = xcb_get_property_reply(
      c, xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
  std::string name;
  if (r) {
    name.assign(static_cast<const char*>(xcb_get_property_value(r)),
                static_cast<std::size_t>(xcb_get_property_value_length(r)));
    free(r);
  }
  return name;
}

bool viewable(xcb_connection_t* c, xcb_window_t w) {
  xcb_get_window_attributes_reply_t* r =
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
  const bool yes = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
  free(r);
  return yes;
}

// "Rss:" and "Pss:" of /proc/PID/smaps_rollup, in KiB.
std::pair<long, long> memory(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string key;
  long value = 0, rss = 0, pss = 0;
  while (in >> key) {
    if (key == "Rss:" && in >> value) rss = value;
    if (key == "Pss:" && in >> value) pss = value;
  }
  return {rss, pss};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: startup_watch NAME IDLE_MS PROGRAM [ARGS...]\n", stderr);
    return 2;
  }
  const std::string wanted = argv[1];
  const int idleMs = std::atoi(argv[2]);
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  // Every window made on the root (the program's, the window manager's
  // frames) and every one mapped there.
  const std::uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootMask);
  xcb_flush(c);
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

  const std::int64_t start = nowNs();
  const pid_t pid = fork();
  if (pid == 0) {
    close(xcb_get_file_descriptor(c));
    execvp(argv[3], argv + 3);
    _exit(127);
  }
  std::set<xcb_window_t> watched;
  std::int64_t shown = 0;
  while (!shown) {
    xcb_generic_event_t* e = xcb_wait_for_event(c);
    if (!e) break;
    const int type = e->response_type & 0x7f;
    if (type == XCB_CREATE_NOTIFY) {
      const auto* ce = reinterpret_cast<xcb_create_notify_event_t*>(e);
      if (ce->parent == root && !ce->override_redirect) {
        // Its own map and name changes, wherever the window manager puts it.
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(c, ce->window, XCB_CW_EVENT_MASK, &mask);
        watched.insert(ce->window);
      }
    } else if (type == XCB_DESTROY_NOTIFY) {
      watched.erase(reinterpret_cast<xcb_destroy_notify_event_t*>(e)->window);
    }
    if (type == XCB_MAP_NOTIFY || type == XCB_PROPERTY_NOTIFY || type == XCB_CREATE_NOTIFY) {
      for (xcb_window_t w : watched)
        if (windowName(c, w) == wanted && viewable(c, w)) shown = nowNs();
    }
    free(e);
  }
  if (!shown) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return 1;
  }
  usleep(static_cast<useconds_t>(idleMs) * 1000);
  const auto [rss, pss] = memory(pid);
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  std::printf("%.2f %ld %ld\n", double(shown - start) / 1e6, rss, pss);
  xcb_disconnect(c);
  return 0;
}
