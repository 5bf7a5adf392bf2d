// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Display.h"

#include <QString>
#include <QtGlobal>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {
namespace {

// A closed SSH forwarding or a dead host must not hold up the start for long.
constexpr int kConnectTimeoutMs = 3000;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool connected(int fd, const sockaddr* address, socklen_t length) {
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    if (::connect(fd, address, length) == 0)
        return true;
    if (errno != EINPROGRESS)
        return false;
    pollfd wait{fd, POLLOUT, 0};
    if (::poll(&wait, 1, kConnectTimeoutMs) != 1)
        return false;
    int error = 0;
    socklen_t size = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

// `abstractName` first: X servers listen there as well as on the path, and a path can be stale.
bool localSocketAnswers(const std::string& path, bool abstractToo) {
    for (const bool abstract : {true, false}) {
        if (abstract && !abstractToo)
            continue;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::size_t offset = abstract ? 1 : 0;
        if (path.size() + offset >= sizeof address.sun_path)
            return false;
        std::memcpy(address.sun_path + offset, path.data(), path.size());
        const auto length =
            socklen_t(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool ok = fd >= 0 && connected(fd, reinterpret_cast<sockaddr*>(&address), length);
        if (fd >= 0)
            ::close(fd);
        if (ok)
            return true;
    }
    return false;
}

bool tcpAnswers(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return false;
    bool ok = false;
    for (const addrinfo* a = found; a && !ok; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        ok = fd >= 0 && connected(fd, a->ai_addr, a->ai_addrlen);
        if (fd >= 0)
            ::close(fd);
    }
    ::freeaddrinfo(found);
    return ok;
}

// "[host]:number[.screen]"; an unusual form is left for the toolkit to judge.
bool xServerAnswers(const std::string& display) {
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos || display.find('/') != std::string::npos)
        return true;
    const std::string host = display.substr(0, colon);
    char* end = nullptr;
    const long number = std::strtol(display.c_str() + colon + 1, &end, 10);
    if (end == display.c_str() + colon + 1 || number < 0 || number > 59535 ||
        (*end != '\0' && *end != '.'))
        return true;
    if (host.empty() || host == "unix")
        return localSocketAnswers("/tmp/.X11-unix/X" + std::to_string(number), true);
    return tcpAnswers(host, 6000 + int(number));
}

bool waylandAnswers(const std::string& display) {
    if (display.front() == '/')
        return localSocketAnswers(display, false);
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    return !runtime.empty() && localSocketAnswers(runtime + "/" + display, false);
}

struct Choice {
    bool x11 = true;
    bool wayland = true;
};

// Only the desktop platforms need a display; "xcb" or "wayland" alone rules out the other.
std::optional<Choice> platformsToTry() {
    const std::string chosen = environment("QT_QPA_PLATFORM");
    if (chosen.empty())
        return Choice{};
    const bool x11 = chosen.find("xcb") != std::string::npos;
    const bool wayland = chosen.find("wayland") != std::string::npos;
    if (!x11 && !wayland)
        return std::nullopt;
    return Choice{x11, wayland};
}

QtMessageHandler& previousHandler() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

std::string displayNames() {
    std::string names;
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const std::string value = environment(variable);
        if (value.empty())
            continue;
        names += (names.empty() ? "" : " nor ") + value + " (" + variable + ")";
    }
    return names.empty() ? "no display" : names;
}

void onToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg && text.contains(QLatin1String("platform plugin"))) {
        std::fprintf(stderr, "velmar: cannot open the display %s\n", displayNames().c_str());
        std::fflush(stderr);
        ::_exit(1);
    }
    if (QtMessageHandler previous = previousHandler())
        previous(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

} // namespace

std::optional<std::string> UnreachableDisplay() {
    const std::optional<Choice> choice = platformsToTry();
    if (!choice)
        return std::nullopt;
    const std::string x11 = environment("DISPLAY");
    const std::string wayland = environment("WAYLAND_DISPLAY");
    std::string tried;
    if (choice->wayland && !wayland.empty()) {
        if (waylandAnswers(wayland))
            return std::nullopt;
        tried = wayland + " (WAYLAND_DISPLAY)";
    }
    if (choice->x11 && !x11.empty()) {
        if (xServerAnswers(x11))
            return std::nullopt;
        tried += (tried.empty() ? "" : " nor ") + x11 + " (DISPLAY)";
    }
    if (tried.empty())
        return std::nullopt; // nothing named for that platform: the toolkit says what it lacks
    return "cannot reach the display " + tried;
}

void ExitCleanlyOnDisplayFailure() {
    previousHandler() = qInstallMessageHandler(onToolkitMessage);
}

void ForgetDisplayFailure() {
    qInstallMessageHandler(previousHandler());
    previousHandler() = nullptr;
}

} // namespace platform
