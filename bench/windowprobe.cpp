// How long a running program's window goes without answering, seen from
// outside as a user's desktop sees it. The probe finds the program's
// top-level window (by _NET_WM_PID or WM_CLASS) and keeps one _NET_WM_PING
// client message in flight: a new ping goes out 5 ms after the last one was
// answered. Qt answers pings on its GUI thread, so the time a ping waits is
// the time the window could not react to anything, input or paint.
//
// Ends after --seconds counted from the first answer, when --until-file
// exists, on SIGINT/SIGTERM, or when the watched process is gone, and then
// prints one line of key=value pairs (times in ms):
//   windowprobe first_answer_ms=.. window_answer_ms=.. window=WxH pings=.. max_ms=..
//               over_50ms=.. over_100ms=.. p99_ms=.. seconds=..
// first_answer_ms is the first answer of any of the program's windows,
// window_answer_ms the first of the window pinged at the end (WxH; -1 when
// it has not answered yet), both counted from --origin-ns (CLOCK_REALTIME
// nanoseconds, e.g. `date +%s%N` taken just before the program started), or
// from the probe's own start without it. max_ms, over_*, p99_ms are over the pings after the first
// answer; with one ping in flight at a time, each stall counts once. A ping
// still waiting at the end counts with the time it has waited.
//
// Usage: vorn_windowprobe (--pid PID | --class NAME) [--seconds S]
//        [--until-file PATH] [--origin-ns NS] [--interval-ms MS] [--wait-seconds S]
//        [--stalls-over MS]
// --stalls-over lists on stderr every wait longer than MS as it ends, with
// the wall time it began (seconds since 1970), to set beside other logs.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void onStopSignal(int) { g_stop = 1; }

// A window may go away between being found and being asked (the splash
// screen does): such errors are expected and only mean "look again".
extern "C" int ignoreXError(Display *, XErrorEvent *) { return 0; }

double nowMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Options
{
    long pid = 0;
    std::string wmClass;
    double seconds = 0; // 0: no time limit
    std::string untilFile;
    double originMs = 0; // realtime; 0: the probe's start
    double intervalMs = 5;
    double waitSeconds = 60; // for the window to show up at all
    double stallsOverMs = -1; // none listed
};

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: vorn_windowprobe (--pid PID | --class NAME) [--seconds S] "
                         "[--until-file PATH] [--origin-ns NS] [--interval-ms MS] [--wait-seconds S] "
                         "[--stalls-over MS]\n");
    std::exit(2);
}

Options parse(int argc, char **argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            usage();
        const char *v = argv[++i];
        if (a == "--pid")
            o.pid = std::atol(v);
        else if (a == "--class")
            o.wmClass = v;
        else if (a == "--seconds")
            o.seconds = std::atof(v);
        else if (a == "--until-file")
            o.untilFile = v;
        else if (a == "--origin-ns")
            o.originMs = std::strtod(v, nullptr) / 1e6;
        else if (a == "--interval-ms")
            o.intervalMs = std::atof(v);
        else if (a == "--wait-seconds")
            o.waitSeconds = std::atof(v);
        else if (a == "--stalls-over")
            o.stallsOverMs = std::atof(v);
        else
            usage();
    }
    if (o.pid <= 0 && o.wmClass.empty())
        usage();
    return o;
}

class Finder
{
public:
    Finder(Display *display, const Options &options)
        : m_display(display)
        , m_options(options)
        , m_pidAtom(XInternAtom(display, "_NET_WM_PID", False))
        , m_protocols(XInternAtom(display, "WM_PROTOCOLS", False))
        , m_ping(XInternAtom(display, "_NET_WM_PING", False))
    {
    }

    // The largest shown top-level window of the program that takes pings;
    // None while there is none.
    Window find()
    {
        Window best = None;
        long bestArea = -1;
        visit(DefaultRootWindow(m_display), 0, best, bestArea);
        return best;
    }

private:
    void visit(Window window, int depth, Window &best, long &bestArea)
    {
        if (depth > 0 && matches(window)) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(m_display, window, &attributes) &&
                attributes.map_state == IsViewable && takesPings(window)) {
                const long area = long(attributes.width) * attributes.height;
                if (area > bestArea) {
                    best = window;
                    bestArea = area;
                }
            }
            return;
        }
        // Without a window manager the program's windows are children of the
        // root; under one they sit a level or two below its frames.
        if (depth >= 3)
            return;
        Window root = None;
        Window parent = None;
        Window *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, window, &root, &parent, &children, &count))
            return;
        for (unsigned i = 0; i < count; ++i)
            visit(children[i], depth + 1, best, bestArea);
        if (children)
            XFree(children);
    }

    bool matches(Window window)
    {
        if (m_options.pid > 0) {
            Atom type = None;
            int format = 0;
            unsigned long items = 0;
            unsigned long after = 0;
            unsigned char *data = nullptr;
            bool same = false;
            if (XGetWindowProperty(m_display, window, m_pidAtom, 0, 1, False, XA_CARDINAL, &type,
                                   &format, &items, &after, &data) == Success &&
                data) {
                same = format == 32 && items == 1 &&
                       long(*reinterpret_cast<unsigned long *>(data)) == m_options.pid;
                XFree(data);
            }
            if (!same)
                return false;
        }
        if (!m_options.wmClass.empty()) {
            XClassHint hint{};
            if (!XGetClassHint(m_display, window, &hint))
                return false;
            const bool same = (hint.res_name && m_options.wmClass == hint.res_name) ||
                              (hint.res_class && m_options.wmClass == hint.res_class);
            XFree(hint.res_name);
            XFree(hint.res_class);
            return same;
        }
        return true;
    }

    bool takesPings(Window window)
    {
        Atom *protocols = nullptr;
        int count = 0;
        if (!XGetWMProtocols(m_display, window, &protocols, &count))
            return false;
        const bool found = std::find(protocols, protocols + count, m_ping) != protocols + count;
        XFree(protocols);
        return found;
    }

    Display *m_display;
    const Options &m_options;
    Atom m_pidAtom;
    Atom m_protocols;
    Atom m_ping;
};

bool processGone(long pid)
{
    return pid > 0 && kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

bool fileExists(const std::string &path)
{
    struct stat info{};
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    const Options options = parse(argc, argv);
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);

    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "vorn_windowprobe: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(ignoreXError);
    const Window root = DefaultRootWindow(display);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    // The answers go to the root window, sent for the substructure redirect
    // mask (a window manager's, which this probe must not take) and one of
    // the notify masks: Qt 6.4 uses StructureNotify, other toolkits
    // SubstructureNotify. The latter also tells when the window is destroyed.
    XSelectInput(display, root, StructureNotifyMask | SubstructureNotifyMask);
    XSync(display, False);

    const double originMs = options.originMs > 0
                                ? options.originMs
                                : nowMs(CLOCK_REALTIME);
    const double startMono = nowMs(CLOCK_MONOTONIC);
    Finder finder(display, options);

    Window target = None;
    double firstAnswerMono = -1;
    double firstAnswerSinceOrigin = -1;
    // The same for the window pinged last: the splash screen answers
    // first, the main window after it.
    double windowAnswerSinceOrigin = -1;
    int windowWidth = 0;
    int windowHeight = 0;
    double lastAnswerMono = 0;
    long sequence = 0;
    double sentMono = -1; // the ping in flight; -1 when none
    std::vector<double> waits;
    double lastLookMono = -1e9;

    const auto send = [&](double now, bool again) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = target;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(ping);
        event.xclient.data.l[1] = again ? sequence : ++sequence; // echoed back as the timestamp
        event.xclient.data.l[2] = long(target);
        XSendEvent(display, target, False, NoEventMask, &event);
        XFlush(display);
        if (!again)
            sentMono = now;
    };

    while (!g_stop) {
        const double now = nowMs(CLOCK_MONOTONIC);
        if (firstAnswerMono >= 0 && options.seconds > 0 &&
            now - firstAnswerMono >= options.seconds * 1e3)
            break;
        if (fileExists(options.untilFile) || processGone(options.pid))
            break;
        if (firstAnswerMono < 0 && now - startMono > options.waitSeconds * 1e3) {
            std::fprintf(stderr, "vorn_windowprobe: no window answered within %.0f s\n",
                         options.waitSeconds);
            XCloseDisplay(display);
            return 1;
        }

        // Look for the window every 5 ms while there is none (not more
        // often: the program is starting on the same cores), and every
        // 200 ms after, to move on from the splash screen to the main window.
        if ((target == None && now - lastLookMono >= 5) || now - lastLookMono > 200) {
            lastLookMono = now;
            const Window found = finder.find();
            if (found != None && found != target) {
                target = found;
                windowAnswerSinceOrigin = -1;
                XWindowAttributes attributes{};
                if (XGetWindowAttributes(display, target, &attributes)) {
                    windowWidth = attributes.width;
                    windowHeight = attributes.height;
                }
                if (sentMono >= 0)
                    send(now, true); // the old window may never answer; the wait goes on
            }
        }
        if (target != None && sentMono < 0 && now - lastAnswerMono >= options.intervalMs)
            send(now, false);

        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == DestroyNotify && event.xdestroywindow.window == target) {
                target = None;
                continue;
            }
            if (event.type != ClientMessage || event.xclient.message_type != protocols ||
                Atom(event.xclient.data.l[0]) != ping || event.xclient.data.l[1] != sequence ||
                sentMono < 0)
                continue;
            const double answered = nowMs(CLOCK_MONOTONIC);
            if (windowAnswerSinceOrigin < 0)
                windowAnswerSinceOrigin = nowMs(CLOCK_REALTIME) - originMs;
            if (firstAnswerMono < 0) {
                firstAnswerMono = answered;
                firstAnswerSinceOrigin = nowMs(CLOCK_REALTIME) - originMs;
            } else {
                // The first answer only says the window is there; the time
                // before it is reported as first_answer_ms.
                waits.push_back(answered - sentMono);
                if (options.stallsOverMs >= 0 && waits.back() > options.stallsOverMs)
                    std::fprintf(stderr, "stall at=%.3f ms=%.1f\n",
                                 (nowMs(CLOCK_REALTIME) - waits.back()) / 1e3, waits.back());
            }
            lastAnswerMono = answered;
            sentMono = -1;
        }

        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, 1);
    }

    const double end = nowMs(CLOCK_MONOTONIC);
    if (sentMono >= 0 && firstAnswerMono >= 0)
        waits.push_back(end - sentMono);
    XCloseDisplay(display);
    if (firstAnswerMono < 0) {
        std::fprintf(stderr, "vorn_windowprobe: the window never answered\n");
        return 1;
    }

    double longest = 0;
    int over50 = 0;
    int over100 = 0;
    for (const double w : waits) {
        longest = std::max(longest, w);
        over50 += w > 50;
        over100 += w > 100;
    }
    std::sort(waits.begin(), waits.end());
    const double p99 = waits.empty() ? 0 : waits[std::min(waits.size() - 1, waits.size() * 99 / 100)];
    std::printf("windowprobe first_answer_ms=%.0f window_answer_ms=%.0f window=%dx%d pings=%zu "
                "max_ms=%.1f over_50ms=%d over_100ms=%d p99_ms=%.1f seconds=%.1f\n",
                firstAnswerSinceOrigin, windowAnswerSinceOrigin, windowWidth, windowHeight,
                waits.size(), longest, over50, over100, p99, (end - firstAnswerMono) / 1e3);
    return 0;
}
