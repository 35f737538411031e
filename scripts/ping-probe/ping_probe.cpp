// ping-probe: measures how fast a window answers _NET_WM_PING, as a window
// manager does to tell a hung program from a busy one.
//
// Usage: ping-probe TITLE [INTERVAL_MS]
// Waits for a top-level window titled TITLE that takes part in the ping
// protocol, pings it every INTERVAL_MS (default 50) until it goes away or the
// probe gets SIGTERM or SIGINT, then prints the pings sent, answered, the
// worst and median reply times and the pings still unanswered (with the age
// of the oldest).

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <sys/select.h>
#include <unistd.h>
#include <vector>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void Stop(int)
{
    g_stop = 1;
}

double NowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool TakesPings(Display* display, Window window, Atom ping)
{
    Atom* protocols = nullptr;
    int count = 0;
    if (!XGetWMProtocols(display, window, &protocols, &count))
        return false;
    const bool found = std::find(protocols, protocols + count, ping) != protocols + count;
    XFree(protocols);
    return found;
}

// Depth first under `parent`: window managers put each client into a frame.
Window FindClient(Display* display, Window parent, const std::string& title, Atom ping)
{
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (title == name && TakesPings(display, children[i], ping))
                found = children[i];
            XFree(name);
        }
        if (!found)
            found = FindClient(display, children[i], title, ping);
    }
    if (children)
        XFree(children);
    return found;
}

int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: ping-probe TITLE [INTERVAL_MS]\n");
        return 2;
    }
    const std::string title = argv[1];
    const double interval = argc > 2 ? std::atof(argv[2]) : 50.0;
    std::signal(SIGTERM, Stop);
    std::signal(SIGINT, Stop);

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "ping-probe: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);
    const Window root = DefaultRootWindow(display);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);

    Window client = 0;
    while (!client && !g_stop) {
        client = FindClient(display, root, title, ping);
        if (!client)
            usleep(20000);
    }
    // Replies go to the root window, for those who listen for its structure
    // (Qt) or its substructure (the ping protocol's own wording).
    XSelectInput(display, root, StructureNotifyMask | SubstructureNotifyMask);
    XSelectInput(display, client, StructureNotifyMask);
    XFlush(display);

    // Our own stamps, far from the server times the window manager uses.
    const long kStampBase = 0x40000000;
    long nextStamp = kStampBase;
    std::map<long, double> pending;
    std::vector<double> replies;
    double nextPing = NowMs();
    bool gone = false;
    const int fd = ConnectionNumber(display);
    while (!g_stop && !gone) {
        const double now = NowMs();
        if (now >= nextPing) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = client;
            event.xclient.message_type = protocols;
            event.xclient.format = 32;
            event.xclient.data.l[0] = static_cast<long>(ping);
            event.xclient.data.l[1] = nextStamp;
            event.xclient.data.l[2] = static_cast<long>(client);
            XSendEvent(display, client, False, NoEventMask, &event);
            XFlush(display);
            pending[nextStamp++] = now;
            nextPing = now + interval;
        }
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == DestroyNotify && event.xdestroywindow.window == client) {
                gone = true;
            } else if (event.type == ClientMessage && event.xclient.message_type == protocols &&
                       static_cast<Atom>(event.xclient.data.l[0]) == ping) {
                const auto it = pending.find(event.xclient.data.l[1]);
                if (it != pending.end()) {
                    replies.push_back(NowMs() - it->second);
                    pending.erase(it);
                }
            }
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        const double wait = std::max(0.0, nextPing - NowMs());
        timeval timeout{0, static_cast<suseconds_t>(wait * 1000)};
        select(fd + 1, &readable, nullptr, nullptr, &timeout);
    }

    const double end = NowMs();
    double oldestPending = 0;
    for (const auto& sent : pending)
        oldestPending = std::max(oldestPending, end - sent.second);
    std::vector<double> sorted = replies;
    std::sort(sorted.begin(), sorted.end());
    const long over = std::count_if(sorted.begin(), sorted.end(), [](double ms) { return ms > 250.0; });
    std::printf("pings %ld answered %zu worst %.1f ms median %.1f ms over-250ms %ld unanswered %zu (oldest %.1f ms)\n",
                nextStamp - kStampBase, replies.size(), sorted.empty() ? 0.0 : sorted.back(),
                sorted.empty() ? 0.0 : sorted[sorted.size() / 2], over, pending.size(), oldestPending);
    XCloseDisplay(display);
    return 0;
}
