#pragma once
// Start-up probes: when did a program's window first reach the screen, and how much
// memory had the process taken by then.
//
// The parent takes CLOCK_MONOTONIC just before it starts the probe and passes it in
// VELQUOR_BENCH_T0_NS, so the figure includes loading the program and its libraries.
// The probe watches its window for the first QEvent::Paint after show; that paint runs
// inside the first backing-store sync, so the frame is complete (all children painted
// and flushed to the window system) when control returns to the event loop: a
// zero-time timer started from the paint marks that moment. Then it prints and quits.

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <unistd.h>

namespace velquor::bench {

inline long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Start of the process, in CLOCK_MONOTONIC nanoseconds: from the parent if it says, else
// from the kernel's start time of this process (10 ms resolution, boot-time based).
inline long long ProcessStartNs() {
    if (const char* given = std::getenv("VELQUOR_BENCH_T0_NS"))
        return std::atoll(given);
    std::FILE* stat = std::fopen("/proc/self/stat", "r");
    if (stat == nullptr)
        return MonotonicNs();
    char line[1024] = {};
    const bool read = std::fgets(line, sizeof line, stat) != nullptr;
    std::fclose(stat);
    const char* rest = read ? std::strrchr(line, ')') : nullptr;
    unsigned long long startTicks = 0;
    if (rest != nullptr) {
        // Fields after the command name: state is field 3, starttime field 22.
        int field = 2;
        for (const char* p = rest + 1; *p != '\0'; ++p) {
            if (*p == ' ' && ++field == 22) {
                startTicks = std::strtoull(p + 1, nullptr, 10);
                break;
            }
        }
    }
    timespec boot{}, mono{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    clock_gettime(CLOCK_MONOTONIC, &mono);
    const long long sinceBootNow = boot.tv_sec * 1000000000LL + boot.tv_nsec;
    const long long startSinceBoot =
        static_cast<long long>(startTicks) * (1000000000LL / sysconf(_SC_CLK_TCK));
    return mono.tv_sec * 1000000000LL + mono.tv_nsec - (sinceBootNow - startSinceBoot);
}

// A line of /proc/self/status in kB, e.g. "VmHWM".
inline long StatusKb(const char* key) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1;
    char line[256];
    long value = -1;
    const std::size_t length = std::strlen(key);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, key, length) == 0 && line[length] == ':') {
            value = std::atol(line + length + 1);
            break;
        }
    }
    std::fclose(status);
    return value;
}

inline void CopyFile(const char* from, const char* to) {
    std::FILE* in = std::fopen(from, "r");
    std::FILE* out = std::fopen(to, "w");
    if (in != nullptr && out != nullptr) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
            std::fwrite(buffer, 1, n, out);
    }
    if (in != nullptr)
        std::fclose(in);
    if (out != nullptr)
        std::fclose(out);
}

class FirstFrameProbe : public QObject {
  public:
    explicit FirstFrameProbe(long long startNs) : start_(startNs) {}

    // Milestones on the way, in ms since the process start.
    void mark(const char* name) { marks_.push_back({name, sinceStart()}); }

    void watch(QWidget* window) { window->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint) {
            seen_ = true;
            mark("first-paint");
            QTimer::singleShot(0, this, [this] { finish(); });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    double sinceStart() const { return (MonotonicNs() - start_) / 1e6; }

    void finish() {
        mark("frame-done");
        for (const auto& [name, ms] : marks_)
            std::printf("MARK %s %.3f\n", name.c_str(), ms);
        std::printf("VMHWM_KB %ld\n", StatusKb("VmHWM"));
        std::printf("VMRSS_KB %ld\n", StatusKb("VmRSS"));
        // For finding out where the memory is: the mappings as they stand at the frame.
        if (const char* path = std::getenv("VELQUOR_BENCH_SMAPS"))
            CopyFile("/proc/self/smaps", path);
        std::fflush(stdout);
        QApplication::quit();
    }

    long long start_;
    bool seen_ = false;
    std::vector<std::pair<std::string, double>> marks_;
};

} // namespace velquor::bench
