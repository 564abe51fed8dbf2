// Waits for the first change on an X screen and prints when it came, so a benchmark can time a program
// from its exec to its first frame without taking screenshots in a loop. It asks the X server's
// damage extension to report drawing anywhere on the screen, says "ready" once it listens, then prints
// the wall-clock time of the first report in seconds (as bash's EPOCHREALTIME) and ends; it ends with
// status 1 when nothing changes within the deadline.
//   first_frame [deadline-seconds]
// Only the core X library is at hand at build time, so the two requests of the extension are spelt
// out here.

#include <poll.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

xcb_extension_t damage = {"DAMAGE", 0};

struct QueryVersion {
    std::uint8_t major = 0, minor = 0;  // filled in by xcb
    std::uint16_t length = 0;
    std::uint32_t clientMajor = 1, clientMinor = 1;
};
struct Create {
    std::uint8_t major = 0, minor = 1;
    std::uint16_t length = 0;
    std::uint32_t damage = 0, drawable = 0;
    std::uint8_t level = 0, pad[3] = {};  // 0: every rectangle drawn
};

template <class Request>
unsigned send(xcb_connection_t* c, Request& r, bool isVoid) {
    // xcb writes its own header parts into the two slots before the ones handed to it.
    iovec parts[4] = {{}, {}, {&r, sizeof r}, {nullptr, 0}};
    xcb_protocol_request_t how = {2, &damage, r.minor, isVoid};
    return xcb_send_request(c, isVoid ? XCB_REQUEST_CHECKED : 0, parts + 2, &how);
}

}  // namespace

int main(int argc, char** argv) {
    const double deadline = argc > 1 ? std::atof(argv[1]) : 10;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return std::fputs("first_frame: no X display\n", stderr), 2;
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &damage);
    if (!ext || !ext->present) return std::fputs("first_frame: no damage extension\n", stderr), 2;

    QueryVersion version;
    xcb_generic_error_t* error = nullptr;
    std::free(xcb_wait_for_reply(c, send(c, version, false), &error));
    Create create;
    create.damage = xcb_generate_id(c);
    create.drawable = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    error = xcb_request_check(c, xcb_void_cookie_t{send(c, create, true)});
    if (error) return std::fputs("first_frame: cannot watch the screen\n", stderr), 2;
    // The server reports the whole screen once as the watch begins: that report is no change.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    while (xcb_generic_event_t* e = xcb_poll_for_event(c)) std::free(e);
    std::puts("ready");
    std::fflush(stdout);

    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(deadline);
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            const bool drawn = (e->response_type & 0x7f) == ext->first_event;
            std::free(e);
            if (drawn) {
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                std::printf("%lld.%06ld\n", static_cast<long long>(now.tv_sec), now.tv_nsec / 1000);
                return 0;
            }
        }
        if (xcb_connection_has_error(c)) return 1;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) == 0) return 1;
    }
}
