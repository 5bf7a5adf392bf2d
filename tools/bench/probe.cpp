// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmark and screenshot helper: launches a program with a start stamp, waits until a
// top-level window with an exact title shows painted pixels, and takes PNG shots.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QScreen>

#include <xcb/xcb.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace {

std::int64_t monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

void sleepMs(int ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1'000'000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

int usage() {
    std::fputs("usage:\n"
               "  velmar_probe exec --stamp FILE -- PROGRAM [ARGS...]\n"
               "  velmar_probe wait-painted --title TITLE [--timeout-ms N]\n"
               "               [--since-ns NS | --since-file FILE] [--ready-file FILE]\n"
               "  velmar_probe window-id --title TITLE [--timeout-ms N]\n"
               "  velmar_probe shot --out FILE.png [--title TITLE] [--timeout-ms N]\n"
               "               [--with-popups 1]\n"
               "  velmar_probe now-ns\n",
               stderr);
    return 64;
}

struct Options {
    std::string title;
    std::string out;
    std::string stamp;
    std::string sinceFile;
    std::string readyFile;
    std::optional<std::int64_t> sinceNs;
    int timeoutMs = 20000;
    bool withPopups = false;
    std::vector<char*> command;
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 2; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a == "--") {
            o.command.assign(argv + i + 1, argv + argc);
            o.command.push_back(nullptr);
            return true;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "velmar_probe: %s needs a value\n", argv[i]);
            return false;
        }
        const char* v = argv[++i];
        if (a == "--title") {
            o.title = v;
        } else if (a == "--out") {
            o.out = v;
        } else if (a == "--stamp") {
            o.stamp = v;
        } else if (a == "--since-file") {
            o.sinceFile = v;
        } else if (a == "--ready-file") {
            o.readyFile = v;
        } else if (a == "--since-ns") {
            o.sinceNs = std::strtoll(v, nullptr, 10);
        } else if (a == "--timeout-ms") {
            o.timeoutMs = std::atoi(v);
        } else if (a == "--with-popups") {
            o.withPopups = std::string_view(v) == "1";
        } else {
            std::fprintf(stderr, "velmar_probe: unknown option %s\n", argv[i - 1]);
            return false;
        }
    }
    return true;
}

// The stamp is taken right before exec, so the probe's own start-up is not counted, and the
// program keeps this pid and a process group of its own that the script can kill as a whole.
int runExec(const Options& o) {
    if (o.stamp.empty() || o.command.size() < 2) {
        return usage();
    }
    setpgid(0, 0);
    const std::string tmp = o.stamp + ".tmp";
    {
        std::ofstream f(tmp);
        f << monotonicNs() << '\n';
    }
    std::rename(tmp.c_str(), o.stamp.c_str());
    execvp(o.command[0], o.command.data());
    std::fprintf(stderr, "velmar_probe: cannot run %s: %s\n", o.command[0], std::strerror(errno));
    return 127;
}

class X11 {
public:
    explicit X11(xcb_connection_t* c) : conn_(c) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        netWmName_ = atom("_NET_WM_NAME");
        utf8_ = atom("UTF8_STRING");
    }

    // Walks the whole tree, one batch of requests per level, so a window manager's frames do
    // not hide the client and one poll costs a handful of round trips.
    std::optional<xcb_window_t> findViewable(const std::string& title) {
        std::vector<xcb_window_t> level{root_};
        for (int depth = 0; depth < 4 && !level.empty(); ++depth) {
            std::vector<xcb_query_tree_cookie_t> trees;
            for (auto w : level) {
                trees.push_back(xcb_query_tree(conn_, w));
            }
            std::vector<xcb_window_t> next;
            for (auto cookie : trees) {
                if (auto* r = xcb_query_tree_reply(conn_, cookie, nullptr)) {
                    auto* kids = xcb_query_tree_children(r);
                    next.insert(next.end(), kids, kids + xcb_query_tree_children_length(r));
                    std::free(r);
                }
            }
            struct Pending {
                xcb_window_t w;
                xcb_get_window_attributes_cookie_t attr;
                xcb_get_property_cookie_t net;
                xcb_get_property_cookie_t legacy;
            };
            std::vector<Pending> pending;
            for (auto w : next) {
                pending.push_back({w, xcb_get_window_attributes(conn_, w),
                                   xcb_get_property(conn_, 0, w, netWmName_, utf8_, 0, 1024),
                                   xcb_get_property(conn_, 0, w, XCB_ATOM_WM_NAME,
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 1024)});
            }
            std::optional<xcb_window_t> found;
            for (auto& p : pending) {
                bool viewable = false;
                if (auto* a = xcb_get_window_attributes_reply(conn_, p.attr, nullptr)) {
                    viewable = a->map_state == XCB_MAP_STATE_VIEWABLE;
                    std::free(a);
                }
                const bool named = property(p.net) == title || property(p.legacy) == title;
                if (viewable && named && !found) {
                    found = p.w;
                }
            }
            if (found) {
                return found;
            }
            level = std::move(next);
        }
        return std::nullopt;
    }

    std::optional<QRect> rootRect(xcb_window_t w) {
        auto gc = xcb_get_geometry(conn_, w);
        auto tc = xcb_translate_coordinates(conn_, w, root_, 0, 0);
        auto* g = xcb_get_geometry_reply(conn_, gc, nullptr);
        auto* t = xcb_translate_coordinates_reply(conn_, tc, nullptr);
        std::optional<QRect> rect;
        if (g && t) {
            rect = QRect(t->dst_x, t->dst_y, g->width, g->height);
        }
        std::free(g);
        std::free(t);
        return rect;
    }

    // Open menus and other popups: viewable top-level windows the window manager never sees.
    std::vector<QRect> popupRects() {
        std::vector<QRect> rects;
        auto* tree = xcb_query_tree_reply(conn_, xcb_query_tree(conn_, root_), nullptr);
        if (!tree) {
            return rects;
        }
        auto* kids = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            auto* a = xcb_get_window_attributes_reply(
                conn_, xcb_get_window_attributes(conn_, kids[i]), nullptr);
            const bool popup =
                a && a->map_state == XCB_MAP_STATE_VIEWABLE && a->override_redirect != 0;
            std::free(a);
            if (popup) {
                if (auto rect = rootRect(kids[i])) {
                    rects.push_back(*rect);
                }
            }
        }
        std::free(tree);
        return rects;
    }

private:
    xcb_atom_t atom(const char* name) {
        auto cookie = xcb_intern_atom(conn_, 0, std::strlen(name), name);
        auto* r = xcb_intern_atom_reply(conn_, cookie, nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(r);
        return a;
    }

    std::string property(xcb_get_property_cookie_t cookie) {
        std::string value;
        if (auto* r = xcb_get_property_reply(conn_, cookie, nullptr)) {
            if (r->format == 8) {
                value.assign(static_cast<const char*>(xcb_get_property_value(r)),
                             xcb_get_property_value_length(r));
            }
            std::free(r);
        }
        return value;
    }

    xcb_connection_t* conn_;
    xcb_window_t root_ = 0;
    xcb_atom_t netWmName_ = XCB_ATOM_NONE;
    xcb_atom_t utf8_ = XCB_ATOM_NONE;
};

// Before the first paint the area shows the (black) root, so two distinct colours mean the
// toolkit has drawn something.
bool painted(const QImage& image) {
    if (image.isNull()) {
        return false;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRgb first = rgb.pixel(0, 0);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (line[x] != first) {
                return true;
            }
        }
    }
    return false;
}

QImage grab(QScreen* screen, const QRect& r) {
    const QRect clipped = r.intersected(screen->geometry());
    if (clipped.isEmpty()) {
        return {};
    }
    return screen->grabWindow(0, clipped.x(), clipped.y(), clipped.width(), clipped.height())
        .toImage();
}

std::optional<std::int64_t> readStamp(const std::string& path) {
    std::ifstream f(path);
    long long ns = 0;
    if (f >> ns) {
        return ns;
    }
    return std::nullopt;
}

struct Seen {
    std::optional<xcb_window_t> Window;
    QImage Image;
};

// Polls until the window titled o.title is viewable (and, but for window-id, painted), or the
// whole screen when no title is given; nothing once o.timeoutMs has passed.
std::optional<Seen> waitForWindow(X11& x, QScreen* screen, const Options& o,
                                  std::string_view mode) {
    const std::int64_t deadline = monotonicNs() + std::int64_t{o.timeoutMs} * 1'000'000;
    Seen seen;
    for (;;) {
        if (o.title.empty()) {
            seen.Image = screen->grabWindow(0).toImage();
            return seen;
        }
        seen.Window = x.findViewable(o.title);
        if (seen.Window && mode == "window-id")
            return seen;
        if (seen.Window) {
            if (auto rect = x.rootRect(*seen.Window)) {
                if (o.withPopups) {
                    for (const QRect& popup : x.popupRects())
                        *rect |= popup;
                }
                seen.Image = grab(screen, *rect);
                if (painted(seen.Image))
                    return seen;
            }
        }
        if (monotonicNs() > deadline)
            return std::nullopt;
        sleepMs(2);
    }
}

// The start stamp the time is measured from.
std::optional<std::int64_t> startStamp(const Options& o) {
    std::optional<std::int64_t> since = o.sinceNs;
    // The launcher writes its stamp within moments of starting; wait briefly rather than fail.
    for (int i = 0; !since && !o.sinceFile.empty() && i < 1000; ++i) {
        since = readStamp(o.sinceFile);
        if (!since)
            sleepMs(2);
    }
    return since;
}

// The window modes and what each needs: a title, and for a shot a file.
bool windowModeComplete(std::string_view mode, const Options& o) {
    if (mode != "wait-painted" && mode != "window-id" && mode != "shot")
        return false;
    return mode == "shot" ? !o.out.empty() : !o.title.empty();
}

void useBareX11() {
    qputenv("QT_QPA_PLATFORM", "xcb");
    // A desktop theme (GTK under GNOME) would leave state on the display, such as GTK's cached
    // GL visuals on the root window, that the measured program would then inherit for free.
    qputenv("QT_QPA_PLATFORMTHEME", "velmar-none");
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("DESKTOP_SESSION");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return usage();
    const std::string_view mode = argv[1];
    Options o;
    if (!parse(argc, argv, o))
        return usage();
    if (mode == "now-ns") {
        std::printf("%lld\n", static_cast<long long>(monotonicNs()));
        return 0;
    }
    if (mode == "exec")
        return runExec(o);
    if (!windowModeComplete(mode, o))
        return usage();

    useBareX11();
    QGuiApplication app(argc, argv);
    auto* native = app.nativeInterface<QNativeInterface::QX11Application>();
    if (!native || !native->connection()) {
        std::fputs("velmar_probe: no X11 connection (is DISPLAY set?)\n", stderr);
        return 3;
    }
    X11 x(native->connection());
    QScreen* screen = QGuiApplication::primaryScreen();

    if (!o.readyFile.empty()) {
        std::ofstream(o.readyFile) << "ready\n";
    }

    const std::optional<Seen> found = waitForWindow(x, screen, o, mode);
    if (!found) {
        std::fprintf(stderr, "velmar_probe: no painted window titled \"%s\" within %d ms\n",
                     o.title.c_str(), o.timeoutMs);
        return 2;
    }
    const std::int64_t seen = monotonicNs();

    if (mode == "window-id") {
        std::printf("%u\n", static_cast<unsigned>(*found->Window));
        return 0;
    }
    if (mode == "shot") {
        if (!found->Image.save(QString::fromLocal8Bit(o.out.c_str()), "PNG")) {
            std::fprintf(stderr, "velmar_probe: cannot write %s\n", o.out.c_str());
            return 4;
        }
        return 0;
    }

    const std::optional<std::int64_t> since = startStamp(o);
    if (!since) {
        std::fputs("velmar_probe: no start stamp (--since-ns or --since-file)\n", stderr);
        return 5;
    }
    std::printf("%.1f\n", static_cast<double>(seen - *since) / 1e6);
    return 0;
}
