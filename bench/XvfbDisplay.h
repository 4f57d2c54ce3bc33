#pragma once
// A private X server for the benchmarks that need a real window system.
//
// The benchmarks must not depend on a display the caller happens to have, nor disturb
// one: each starts its own Xvfb on the first display number from 90 on whose lock file
// does not exist, waits until its socket accepts connections, and stops exactly that
// process (by its id) when it goes out of scope.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velquor::bench {

class XvfbDisplay {
  public:
    // Screen large enough for the maximised window (its client area is 1063 x 942).
    explicit XvfbDisplay(const char* screen = "1280x1024x24") {
        for (int number = 90; number < 190; ++number) {
            if (exists("/tmp/.X" + std::to_string(number) + "-lock"))
                continue;
            if (tryStart(number, screen) != Attempt::TryNext)
                break;
        }
    }

    ~XvfbDisplay() { stop(); }
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    bool ok() const { return pid_ > 0; }
    // ":90" and so on, for DISPLAY.
    std::string name() const { return ":" + std::to_string(number_); }

    void stop() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        // Xvfb ends within milliseconds on SIGTERM; after two seconds it is made to.
        for (int i = 0; i < 200; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

  private:
    static bool exists(const std::string& path) {
        struct stat info{};
        return ::stat(path.c_str(), &info) == 0;
    }

    static bool accepts(const std::string& socketPath) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd < 0)
            return false;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
        const bool connected =
            ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        ::close(fd);
        return connected;
    }

    enum class Attempt { Started, TryNext, GiveUp };

    Attempt tryStart(int number, const char* screen) {
        const std::string display = ":" + std::to_string(number);
        std::vector<std::string> args = {"Xvfb", display, "-screen", "0", screen,
                                         "-nolisten", "tcp", "-noreset"};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);

        // The server's own chatter (font path warnings, xkbcomp) is not benchmark output.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        const int error =
            posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) {
            std::fprintf(stderr, "cannot start Xvfb: %s\n", std::strerror(error));
            return Attempt::GiveUp;
        }

        const std::string socketPath = "/tmp/.X11-unix/X" + std::to_string(number);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid)
                return Attempt::TryNext; // another server took this number meanwhile
            if (accepts(socketPath)) {
                pid_ = pid;
                number_ = number;
                return Attempt::Started;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return Attempt::TryNext;
    }

    pid_t pid_ = -1;
    int number_ = -1;
};

// A null-terminated argv over the strings, which must outlive it.
inline std::vector<char*> ArgvOf(std::vector<std::string>& strings) {
    std::vector<char*> argv;
    for (std::string& s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    return argv;
}

// Our environment for a child on the display with Qt's xcb platform: the display settings
// and the variables named in `dropped` (prefixes such as "NAME=") are replaced.
inline std::vector<std::string> EnvironmentOn(const std::string& display,
                                              std::initializer_list<const char*> dropped) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool keep = entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("QT_QPA_PLATFORM=", 0) != 0;
        for (const char* prefix : dropped)
            keep = keep && entry.rfind(prefix, 0) != 0;
        if (keep)
            env.push_back(entry);
    }
    env.push_back("DISPLAY=" + display);
    env.push_back("QT_QPA_PLATFORM=xcb");
    return env;
}

// Runs this same program again with the arguments given, on the display, with Qt's xcb
// platform, and returns the child's exit status. Its output goes where ours goes.
inline int RunSelfOn(const XvfbDisplay& display, const std::vector<std::string>& arguments) {
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof(self) - 1) <= 0)
        return 127;
    std::vector<std::string> args = {self};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = ArgvOf(args);
    std::vector<std::string> env = EnvironmentOn(display.name(), {"WAYLAND_DISPLAY="});
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    std::fflush(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, self, nullptr, nullptr, argv.data(), envp.data()) != 0)
        return 127;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace velquor::bench
