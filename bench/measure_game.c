/* Starts the real game under the X server of $DISPLAY and measures it from
 * outside: time from exec to the window being mapped and to its first frame
 * (the first non-black pixel), processor time used while it idles, and its
 * peak resident memory once it has been closed.
 *
 * Usage: measure_game GAME IDLE_SECONDS [PLAY_COMMAND]
 * The game runs in the current directory. PLAY_COMMAND, when given, is run
 * through /bin/sh after the idle measurement with TUNNELWICK_WINDOW set to the
 * window id, so that a script can play a little before the peak is taken.
 * Prints one "name value" line per figure. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
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

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s GAME IDLE_SECONDS [PLAY_COMMAND]\n", argv[0]);
        return 2;
    }
    double idleSeconds = atof(argv[2]);
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "measure_game: no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreXErrors);

    double start = nowMs();
    pid_t pid = fork();
    if (pid == 0) {
        execl(argv[1], argv[1], (char*)NULL);
        perror(argv[1]);
        _exit(127);
    }

    Window w = 0;
    double mapped = -1, firstFrame = -1;
    while (nowMs() - start < 20000) {
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            fprintf(stderr, "measure_game: the game ended before showing a frame\n");
            return 1;
        }
        if (!w) w = findGameWindow(d);
        if (w && mapped < 0 && isViewable(d, w)) mapped = nowMs() - start;
        if (mapped >= 0 && showsAFrame(d, w)) {
            firstFrame = nowMs() - start;
            break;
        }
        sleepMs(1);
    }
    if (firstFrame < 0) {
        fprintf(stderr, "measure_game: no frame within 20 s\n");
        kill(pid, SIGKILL);
        return 1;
    }
    printf("window_mapped_ms %.1f\n", mapped);
    printf("first_frame_ms %.1f\n", firstFrame);
    fflush(stdout);

    /* Let start-up settle, then the main menu idles untouched. */
    sleepMs(1000);
    double cpu0 = cpuMs(pid), t0 = nowMs();
    sleepMs(idleSeconds * 1000);
    double cpu1 = cpuMs(pid), t1 = nowMs();
    printf("idle_cpu_percent %.3f\n", 100.0 * (cpu1 - cpu0) / (t1 - t0));
    fflush(stdout);

    if (argc > 3) {
        char id[32];
        snprintf(id, sizeof id, "%lu", (unsigned long)w);
        setenv("TUNNELWICK_WINDOW", id, 1);
        if (system(argv[3]) != 0) fprintf(stderr, "measure_game: the play command failed\n");
    }

    closeWindow(d, w);
    int status = 0;
    struct rusage usage;
    double deadline = nowMs() + 10000;
    pid_t ended = 0;
    while (nowMs() < deadline && (ended = wait4(pid, &status, WNOHANG, &usage)) == 0) sleepMs(10);
    if (ended != pid) {
        fprintf(stderr, "measure_game: the game did not close; killing it\n");
        kill(pid, SIGKILL);
        wait4(pid, &status, 0, &usage);
    }
    printf("peak_rss_mb %.1f\n", usage.ru_maxrss / 1024.0);
    printf("exit_status %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    XCloseDisplay(d);
    return 0;
}
