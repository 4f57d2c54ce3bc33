// Start-up against a bare Qt window, on a private Xvfb: the time from process start to
// the first complete frame, and the peak memory (VmHWM) at that moment, each over N
// alternating launches of velquor_startup_probe and bare_window.
//
//   velquor_startup_bench [launches]

#include "Report.h"
#include "XvfbDisplay.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using velquor::bench::PrintNote;
using velquor::bench::PrintRow;
using velquor::bench::StatsOf;

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

std::string Directory() {
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof(self) - 1) <= 0)
        return ".";
    std::string path = self;
    return path.substr(0, path.rfind('/'));
}

struct Child {
    std::string output;
    double cpuMs = 0; // user + system time of the whole child, to its exit
};

// Starts the program with the display and the start timestamp; what it printed and the
// processor time it took (unlike wall time, hardly affected by other load on the machine).
Child Launch(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& display) {
    std::vector<std::string> args = {program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = velquor::bench::ArgvOf(args);
    std::vector<std::string> env =
        velquor::bench::EnvironmentOn(display, {"VELQUOR_BENCH_T0_NS="});
    env.push_back(""); // the timestamp, filled in last

    int out[2];
    if (::pipe(out) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);

    env.back() = "VELQUOR_BENCH_T0_NS=" + std::to_string(MonotonicNs());
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    const int error =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    Child child;
    if (error == 0) {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(out[0], buffer, sizeof buffer)) > 0)
            child.output.append(buffer, std::size_t(n));
        int status = 0;
        rusage usage{};
        ::wait4(pid, &status, 0, &usage);
        auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
        child.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    }
    ::close(out[0]);
    return child;
}

struct Launches {
    std::map<std::string, std::vector<double>> marks; // name -> ms, one per launch
    std::vector<double> peakMb;
    std::map<std::string, std::vector<double>> title; // part -> ms

    std::vector<double> cpuMs;

    void add(const Child& child) {
        cpuMs.push_back(child.cpuMs);
        std::istringstream lines(child.output);
        std::string key;
        while (lines >> key) {
            if (key == "MARK") {
                std::string name;
                double ms = 0;
                lines >> name >> ms;
                marks[name].push_back(ms);
            } else if (key == "VMHWM_KB") {
                double kb = 0;
                lines >> kb;
                peakMb.push_back(kb / 1024.0);
            } else if (key == "TITLE_MS") {
                std::string part;
                double ms = 0;
                lines >> part >> ms;
                title[part].push_back(ms);
            }
        }
    }
};

// Per launch, the time from one milestone to the next; their medians.
double MedianBetween(const Launches& l, const char* from, const char* to) {
    const auto a = l.marks.find(from), b = l.marks.find(to);
    if (a == l.marks.end() || b == l.marks.end() || a->second.size() != b->second.size())
        return NAN;
    std::vector<double> d;
    for (std::size_t i = 0; i < a->second.size(); ++i)
        d.push_back(b->second[i] - a->second[i]);
    return StatsOf(d).median;
}

void PrintPhases(const char* who, const Launches& l) {
    std::printf("  %s phases (median ms): start->main %.1f, QApplication %.1f, window %.1f, "
                "show %.1f, show->first paint %.1f, paint->frame done %.1f\n",
                who, StatsOf(l.marks.at("main")).median, MedianBetween(l, "main", "app"),
                MedianBetween(l, "app", "form"), MedianBetween(l, "form", "shown"),
                MedianBetween(l, "shown", "first-paint"),
                MedianBetween(l, "first-paint", "frame-done"));
}

} // namespace

int main(int argc, char* argv[]) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10;
    velquor::bench::XvfbDisplay display;
    if (!display.ok()) {
        std::fprintf(stderr, "no Xvfb could be started\n");
        return 2;
    }
    const std::string dir = Directory();
    const std::string velquor = dir + "/velquor_startup_probe";
    const std::string bare = dir + "/bare_window";

    // One launch of each first, unmeasured, so that both find the libraries and fonts in
    // the page cache; then they alternate, so drifts of the machine hit both alike.
    Launch(bare, {}, display.name());
    Launch(velquor, {}, display.name());
    Launches v, b;
    for (int i = 0; i < count; ++i) {
        b.add(Launch(bare, {}, display.name()));
        v.add(Launch(velquor, {}, display.name()));
    }
    Launches title;
    for (int i = 0; i < 3; ++i)
        title.add(Launch(velquor, {"title"}, display.name()));
    display.stop();

    if (v.marks["frame-done"].size() != std::size_t(count) ||
        b.marks["frame-done"].size() != std::size_t(count)) {
        std::fprintf(stderr, "a probe did not report its first frame\n");
        return 1;
    }
    PrintPhases("velquor", v);
    PrintPhases("bare   ", b);
    PrintRow("start-up to first frame (velquor) [xcb]", "ms", StatsOf(v.marks["frame-done"]),
             "bare maximised QWidget", StatsOf(b.marks["frame-done"]));
    PrintRow("start-up CPU time, user+sys (velquor) [xcb]", "ms", StatsOf(v.cpuMs),
             "bare maximised QWidget", StatsOf(b.cpuMs));
    PrintRow("peak memory VmHWM at first frame [xcb]", "MiB", StatsOf(v.peakMb),
             "bare maximised QWidget", StatsOf(b.peakMb));
    if (!title.title.empty()) {
        std::string text = "title picture parts, each first in process (median ms):";
        for (const char* part :
             {"first-font", "layout-cold", "layout-warm", "draw-cold", "draw-warm"}) {
            char item[64];
            std::snprintf(item, sizeof item, " %s %.1f", part,
                          StatsOf(title.title[part]).median);
            text += item;
        }
        PrintNote(text);
        double titleParts = 0;
        for (const auto& [part, ms] : title.title)
            titleParts += StatsOf(ms).median;
        char text2[200];
        std::snprintf(text2, sizeof text2,
                      "TForm1 construction: %.1f ms cold; %.1f ms with fonts and title "
                      "picture already warm",
                      MedianBetween(v, "app", "form"),
                      MedianBetween(title, "app", "form") - titleParts);
        PrintNote(text2);
    }
    return 0;
}
