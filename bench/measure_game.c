/* Starts the real game under the X server of $DISPLAY and measures it from
 * outside: time from exec to the window being mapped and to its first frame
 * (the first non-black pixel) with the processor time spent until then, the
 * processor time used while it idles on the main menu (all threads, and the
 * main loop's thread alone), and its peak resident memory once closed.
 *
 * Then, on the first level, the time from an arrow's press to the first frame
 * that shows the move (median of PRESSES presses, each made after the game
 * has been idle long enough for its background threads to sleep).
 *
 * Usage: measure_game GAME STARTS IDLE_SECONDS [PLAY_COMMAND]
 * The game runs in the current directory and is started STARTS times for the
 * start-up figures (medians; the best one too). PLAY_COMMAND, when given, is
 * run through /bin/sh after the idle measurement with TUNNELWICK_WINDOW set
 * to the window id, so that a script can play before the peak is taken.
 * Prints one "name value" line per figure. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <dirent.h>
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static void sleepMs(double ms) {
    struct timespec t = {(time_t)(ms / 1000), (long)((ms - (long)(ms / 1000) * 1000) * 1e6)};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

static int ignoreXErrors(Display* d, XErrorEvent* e) {
    (void)d;
    (void)e;
    return 0;
}

/* The top-level window titled Tunnelwick, or 0. */
static Window findGameWindow(Display* d) {
    Window root = DefaultRootWindow(d), parent, *children = NULL, found = 0;
    unsigned int count = 0;
    if (!XQueryTree(d, root, &root, &parent, &children, &count)) return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = NULL;
        if (XFetchName(d, children[i], &name) && name) {
            if (strcmp(name, "Tunnelwick") == 0) found = children[i];
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

static int isViewable(Display* d, Window w) {
    XWindowAttributes a;
    return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

/* Whether the window shows anything but black yet. */
static int showsAFrame(Display* d, Window w) {
    XImage* image = XGetImage(d, w, 0, 0, 640, 480, AllPlanes, ZPixmap);
    if (!image) return 0;
    int seen = 0;
    for (int y = 0; y < 480 && !seen; y += 4)
        for (int x = 0; x < 640 && !seen; x += 4)
            if (XGetPixel(image, x, y) & 0xffffff) seen = 1;
    XDestroyImage(image);
    return seen;
}

/* Processor time of every thread of the process, in milliseconds. */
static double cpuMs(pid_t pid) {
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/task", (int)pid);
    DIR* tasks = opendir(path);
    if (!tasks) return -1;
    double total = 0;
    struct dirent* e;
    while ((e = readdir(tasks))) {
        if (e->d_name[0] == '.') continue;
        char stat[320];
        snprintf(stat, sizeof stat, "/proc/%d/task/%s/schedstat", (int)pid, e->d_name);
        FILE* f = fopen(stat, "r");
        if (!f) continue;
        unsigned long long ns = 0;
        if (fscanf(f, "%llu", &ns) == 1) total += ns / 1e6;
        fclose(f);
    }
    closedir(tasks);
    return total;
}

/* Asks the window to close as its close button does. */
static void closeWindow(Display* d, Window w) {
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XFlush(d);
}

/* Sends a key's press or release to the window, as the X server would. */
static void sendKey(Display* d, Window w, KeySym sym, int press) {
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xkey.type = press ? KeyPress : KeyRelease;
    e.xkey.display = d;
    e.xkey.window = w;
    e.xkey.root = DefaultRootWindow(d);
    e.xkey.time = CurrentTime;
    e.xkey.same_screen = True;
    e.xkey.keycode = XKeysymToKeycode(d, sym);
    XSendEvent(d, w, True, press ? KeyPressMask : KeyReleaseMask, &e);
    XFlush(d);
}

/* The top two rows of the window (the sky with the score line, and the
 * ground line the dog starts on), as pixels. */
static XImage* topRows(Display* d, Window w) { return XGetImage(d, w, 0, 0, 640, 64, AllPlanes, ZPixmap); }

static int sameImage(XImage* a, XImage* b) {
    if (!a || !b) return 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 640; ++x)
            if (XGetPixel(a, x, y) != XGetPixel(b, x, y)) return 0;
    return 1;
}

/* From a press to the first frame that differs, in ms; -1 if none in 2 s. */
static double pressToFrameMs(Display* d, Window w, KeySym sym) {
    XImage* before = topRows(d, w);
    double start = nowMs(), seen = -1;
    sendKey(d, w, sym, 1);
    while (nowMs() - start < 2000) {
        XImage* now = topRows(d, w);
        int same = sameImage(before, now);
        if (now) XDestroyImage(now);
        if (!same) {
            seen = nowMs() - start;
            break;
        }
    }
    sleepMs(30);
    sendKey(d, w, sym, 0);
    if (before) XDestroyImage(before);
    return seen;
}

/* Processor time of the main thread alone (the game's own loop). */
static double mainThreadCpuMs(pid_t pid) {
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/task/%d/schedstat", (int)pid, (int)pid);
    FILE* f = fopen(path, "r");
    if (!f) return -1;
    unsigned long long ns = 0;
    if (fscanf(f, "%llu", &ns) != 1) ns = 0;
    fclose(f);
    return ns / 1e6;
}

struct Started {
    pid_t pid;
    Window window;
    double mappedMs, firstFrameMs, cpuAtFirstFrameMs;
};

/* Starts the game and waits for its first frame; 0 on success. */
static int startGame(Display* d, const char* game, struct Started* s) {
    double start = nowMs();
    pid_t pid = fork();
    if (pid == 0) {
        execl(game, game, (char*)NULL);
        perror(game);
        _exit(127);
    }
    s->pid = pid;
    s->window = 0;
    s->mappedMs = s->firstFrameMs = -1;
    while (nowMs() - start < 20000) {
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            fprintf(stderr, "measure_game: the game ended before showing a frame\n");
            return 1;
        }
        if (!s->window) s->window = findGameWindow(d);
        if (s->window && s->mappedMs < 0 && isViewable(d, s->window)) s->mappedMs = nowMs() - start;
        if (s->mappedMs >= 0 && showsAFrame(d, s->window)) {
            s->firstFrameMs = nowMs() - start;
            s->cpuAtFirstFrameMs = cpuMs(pid);
            return 0;
        }
        sleepMs(1);
    }
    fprintf(stderr, "measure_game: no frame within 20 s\n");
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
    return 1;
}

/* Closes the game's window and waits for it to end; its exit status. */
static int stopGame(Display* d, struct Started* s, struct rusage* usage) {
    closeWindow(d, s->window);
    int status = 0;
    double deadline = nowMs() + 10000;
    pid_t ended = 0;
    while (nowMs() < deadline && (ended = wait4(s->pid, &status, WNOHANG, usage)) == 0) sleepMs(10);
    if (ended != s->pid) {
        fprintf(stderr, "measure_game: the game did not close; killing it\n");
        kill(s->pid, SIGKILL);
        wait4(s->pid, &status, 0, usage);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

static int byValue(const void* a, const void* b) {
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

static double median(double* v, int n) {
    qsort(v, n, sizeof *v, byValue);
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: %s GAME STARTS IDLE_SECONDS [PLAY_COMMAND]\n", argv[0]);
        return 2;
    }
    const char* game = argv[1];
    int starts = atoi(argv[2]);
    if (starts < 1) starts = 1;
    if (starts > 50) starts = 50;
    double idleSeconds = atof(argv[3]);
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "measure_game: no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreXErrors);

    /* Start-up, several times: the machine may be busy with other work. */
    double mapped[50], frame[50], cpu[50];
    struct Started s;
    struct rusage usage;
    for (int i = 0; i < starts; ++i) {
        if (startGame(d, game, &s) != 0) return 1;
        mapped[i] = s.mappedMs;
        frame[i] = s.firstFrameMs;
        cpu[i] = s.cpuAtFirstFrameMs;
        if (i + 1 < starts) stopGame(d, &s, &usage);
    }
    double best = frame[0];
    for (int i = 1; i < starts; ++i)
        if (frame[i] < best) best = frame[i];
    printf("window_mapped_ms %.1f\n", median(mapped, starts));
    printf("first_frame_ms %.1f\n", median(frame, starts));
    printf("first_frame_best_ms %.1f\n", best);
    printf("first_frame_cpu_ms %.1f\n", median(cpu, starts));
    fflush(stdout);

    /* The last one stays: start-up settles, then the main menu idles. */
    sleepMs(1000);
    double cpu0 = cpuMs(s.pid), main0 = mainThreadCpuMs(s.pid), t0 = nowMs();
    sleepMs(idleSeconds * 1000);
    double cpu1 = cpuMs(s.pid), main1 = mainThreadCpuMs(s.pid), t1 = nowMs();
    printf("idle_cpu_percent %.3f\n", 100.0 * (cpu1 - cpu0) / (t1 - t0));
    printf("idle_cpu_main_thread_percent %.3f\n", 100.0 * (main1 - main0) / (t1 - t0));
    fflush(stdout);

    /* Enter plays level 1; the dog starts on the ground line, where Right
     * and Left go one cell each, so the presses take turns. */
    sendKey(d, s.window, XK_Return, 1);
    sleepMs(150);
    sendKey(d, s.window, XK_Return, 0);
    sleepMs(1500);
    enum { presses = 15 };
    double latency[presses];
    int measured = 0;
    for (int i = 0; i < presses; ++i) {
        double ms = pressToFrameMs(d, s.window, i % 2 ? XK_Left : XK_Right);
        if (ms >= 0) latency[measured++] = ms;
        sleepMs(700); /* the move, the advisor's answer, then calm again */
    }
    if (measured > 0) {
        double worst = 0;
        for (int i = 0; i < measured; ++i)
            if (latency[i] > worst) worst = latency[i];
        printf("press_to_motion_ms %.1f\n", median(latency, measured));
        printf("press_to_motion_worst_ms %.1f\n", worst);
    }
    printf("press_to_motion_seen %d\n", measured);
    fflush(stdout);
    sendKey(d, s.window, XK_Escape, 1);
    sleepMs(100);
    sendKey(d, s.window, XK_Escape, 0);
    sleepMs(500);

    if (argc > 4) {
        char id[32];
        snprintf(id, sizeof id, "%lu", (unsigned long)s.window);
        setenv("TUNNELWICK_WINDOW", id, 1);
        if (system(argv[4]) != 0) fprintf(stderr, "measure_game: the play command failed\n");
    }
    int status = stopGame(d, &s, &usage);
    printf("peak_rss_mb %.1f\n", usage.ru_maxrss / 1024.0);
    printf("exit_status %d\n", status);
    XCloseDisplay(d);
    return 0;
}
