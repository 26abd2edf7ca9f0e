#include "qt/display.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(__linux__)
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>
#endif

namespace quorvel::qt {

#if defined(__linux__)

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool x_server_reachable() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reached;
}

// The compositor's socket as a Wayland client finds it.
std::string wayland_socket() {
    std::string name = environment("WAYLAND_DISPLAY");
    if (name.empty()) {
        name = "wayland-0";
    }
    if (name.front() == '/') {
        return name;
    }
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    return runtime.empty() ? std::string() : runtime + '/' + name;
}

bool wayland_reachable(const std::string& path) {
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return false;
    }
    const int socket_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_fd < 0) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    const bool reached =
        connect(socket_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(socket_fd);
    return reached;
}

// The platforms Qt tries, in its order: the chosen ones, else Wayland in a Wayland session
// and then X11.
std::vector<std::string> platforms() {
    std::vector<std::string> order;
    const std::string chosen = environment("QT_QPA_PLATFORM");
    if (!chosen.empty()) {
        for (std::size_t start = 0; start <= chosen.size();) {
            const std::size_t end = std::min(chosen.find(';', start), chosen.size());
            order.push_back(chosen.substr(start, end - start));
            start = end + 1;
        }
        return order;
    }
    if (!environment("WAYLAND_DISPLAY").empty() || environment("XDG_SESSION_TYPE") == "wayland") {
        order.emplace_back("wayland");
    }
    order.emplace_back("xcb");
    return order;
}

} // namespace

#endif

std::string display_problem() {
#if defined(__linux__)
    std::string unreachable;
    for (const std::string& platform : platforms()) {
        std::string tried;
        if (platform == "xcb") {
            if (x_server_reachable()) {
                return {};
            }
            if (!environment("DISPLAY").empty()) {
                tried = "X display \"" + environment("DISPLAY") + "\"";
            }
        } else if (platform == "wayland") {
            const std::string socket_path = wayland_socket();
            if (!environment("WAYLAND_SOCKET").empty() || wayland_reachable(socket_path)) {
                return {};
            }
            tried = "Wayland socket \"" + socket_path + "\"";
        } else {
            // Any other platform (offscreen, a plugin given arguments) is taken on trust.
            return {};
        }
        if (!tried.empty()) {
            unreachable += (unreachable.empty() ? "" : ", ") + tried;
        }
    }
    if (unreachable.empty()) {
        return "quorvel needs a graphical display (X11 or Wayland); none was found.";
    }
    return "quorvel cannot reach the graphical display: " + unreachable + ".";
#else
    return {};
#endif
}

} // namespace quorvel::qt
