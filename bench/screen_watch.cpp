// SPDX-License-Identifier: GPL-3.0-or-later
// Watches a band of the screen from outside the program, as a photodiode
// taped to the monitor would: listens for DAMAGE on a window, reads the band
// back from the root window after every report, and prints when ink appears
// in it and when it vanishes, timestamped on the monotonic clock when the
// read-back arrived. Where the server offers Present, each change also gets
// the frame counter (MSC) it fell on.
//
//   screen_watch WINDOW X Y WIDTH HEIGHT
//
// X, Y are in the window's coordinates. Prints "ready" once it listens,
// then lines "on|off NS MSC"; ends when its standard input closes.

#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/present.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

std::int64_t nowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

struct Band {
  xcb_connection_t* c;
  xcb_window_t root;
  std::int16_t x, y;
  std::uint16_t w, h;
  xcb_shm_seg_t seg;
  const std::uint32_t* pixels;

  // Pixels that differ from the band's left edge, the background.
  long ink() const {
    auto cookie = xcb_shm_get_image(c, root, x, y, w, h, ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, seg, 0);
    free(xcb_shm_get_image_reply(c, cookie, nullptr));
    long n = 0;
    for (int r = 0; r < h; ++r) {
      const std::uint32_t* row = pixels + r * w;
      for (int k = 0; k < w; ++k) n += (row[k] & 0xffffff) != (row[0] & 0xffffff);
    }
    return n;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fputs("usage: screen_watch WINDOW X Y WIDTH HEIGHT\n", stderr);
    return 2;
  }
  const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;

  free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
  const xcb_query_extension_reply_t* dmg = xcb_get_extension_data(c, &xcb_damage_id);
  const xcb_query_extension_reply_t* present = xcb_get_extension_data(c, &xcb_present_id);
  const bool hasPresent = present && present->present;
  if (!dmg || !dmg->present) {
    std::fputs("screen_watch: the X server has no DAMAGE extension\n", stderr);
    return 1;
  }

  auto* tr = xcb_translate_coordinates_reply(
      c,
      xcb_translate_coordinates(c, window, screen->root, static_cast<std::int16_t>(atoi(argv[2])),
                                static_cast<std::int16_t>(atoi(argv[3]))),
      nullptr);
  if (!tr) return 1;
  Band band{c,
            screen->root,
            tr->dst_x,
            tr->dst_y,
            static_cast<std::uint16_t>(atoi(argv[4])),
            static_cast<std::uint16_t>(atoi(argv[5])),
            xcb_generate_id(c),
            nullptr};
  free(tr);
  const int shmid = shmget(IPC_PRIVATE, std::size_t{band.w} * band.h * 4, IPC_CREAT | 0600);
  band.pixels = static_cast<const std::uint32_t*>(shmat(shmid, nullptr, SHM_RDONLY));
  xcb_shm_attach(c, band.seg, static_cast<std::uint32_t>(shmid), 0);
  xcb_flush(c);

  const xcb_damage_damage_t damage = xcb_generate_id(c);
  xcb_damage_create(c, damage, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
  std::uint32_t msc = 0;
  const xcb_present_event_t eid = xcb_generate_id(c);
  if (hasPresent) xcb_present_select_input(c, eid, window, XCB_PRESENT_EVENT_MASK_COMPLETE_NOTIFY);
  xcb_flush(c);
  shmctl(shmid, IPC_RMID, nullptr);

  bool inked = band.ink() > 0;
  std::printf("ready %s\n", hasPresent ? "present" : "no-present");
  std::fflush(stdout);

  pollfd fds[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {0, POLLIN, 0}};
  bool damaged = false;
  for (;;) {
    // A report that arrived while waiting for the frame counter is handled
    // before sleeping again.
    // Events read along with a reply wait in xcb's queue, not on the socket.
    xcb_generic_event_t* e = xcb_poll_for_queued_event(c);
    if (!e && !damaged) {
      if (poll(fds, 2, -1) < 0) continue;
      if (fds[1].revents) break;
      e = xcb_poll_for_event(c);
    }
    for (; e; e = xcb_poll_for_event(c)) {
      const int type = e->response_type & 0x7f;
      if (type == dmg->first_event + XCB_DAMAGE_NOTIFY) damaged = true;
      if (type == XCB_GE_GENERIC && hasPresent) {
        auto* ge = reinterpret_cast<xcb_present_complete_notify_event_t*>(e);
        if (ge->extension == present->major_opcode && ge->event_type == XCB_PRESENT_COMPLETE_NOTIFY)
          msc = static_cast<std::uint32_t>(ge->msc);
      }
      free(e);
    }
    if (xcb_connection_has_error(c)) break;
    if (!damaged) continue;
    damaged = false;
    xcb_damage_subtract(c, damage, XCB_NONE, XCB_NONE);
    const long inkNow = band.ink();
    const bool now = inkNow > 0;
    const std::int64_t t = nowNs();
    if (now == inked) continue;
    inked = now;
    if (hasPresent) {
      // The current frame: a notification for frame 0 completes at once.
      xcb_present_notify_msc(c, window, 0, 0, 0, 0);
      xcb_flush(c);
      while ((e = xcb_wait_for_event(c)) != nullptr) {
        auto* ge = reinterpret_cast<xcb_present_complete_notify_event_t*>(e);
        const bool done = (e->response_type & 0x7f) == XCB_GE_GENERIC &&
                          ge->extension == present->major_opcode &&
                          ge->event_type == XCB_PRESENT_COMPLETE_NOTIFY;
        if (done) msc = static_cast<std::uint32_t>(ge->msc);
        if ((e->response_type & 0x7f) == dmg->first_event + XCB_DAMAGE_NOTIFY) damaged = true;
        free(e);
        if (done) break;
      }
    }
    std::printf("%s %lld %u\n", now ? "on" : "off", static_cast<long long>(t), msc);
    std::fflush(stdout);
  }
  xcb_disconnect(c);
  return 0;
}
