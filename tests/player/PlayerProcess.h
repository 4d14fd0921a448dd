#pragma once

// Runs the built velkaro-player as a separate process, without a display, and collects what it
// says on stderr.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace velkaro::testing {

class PlayerProcess {
public:
    // `output` becomes the player's stdout (a terminal, say); -1: nothing.
    PlayerProcess(const std::vector<std::string>& arguments, const std::string& folder,
                  int output = -1)
        : errorsPath_(folder + "/player-stderr.txt") {
        std::vector<std::string> words = {VELKARO_PLAYER};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        // The player must not need a display: none is given to it.
        std::vector<std::string> variables;
        for (char** v = environ; *v; ++v) {
            const std::string variable = *v;
            if (variable.rfind("DISPLAY=", 0) != 0 && variable.rfind("WAYLAND_DISPLAY=", 0) != 0)
                variables.push_back(variable);
        }
        std::vector<char*> envp;
        for (auto& variable : variables) envp.push_back(variable.data());
        envp.push_back(nullptr);
        const int errors =
            ::open(errorsPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int nothing = output >= 0 ? ::fcntl(output, F_DUPFD_CLOEXEC, 0)
                                        : ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(nothing, STDOUT_FILENO);
            ::dup2(errors, STDERR_FILENO);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        ::close(errors);
        ::close(nothing);
    }
    ~PlayerProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    PlayerProcess(const PlayerProcess&) = delete;
    PlayerProcess& operator=(const PlayerProcess&) = delete;

    void Signal(int signal) const { ::kill(pid_, signal); }
    pid_t Pid() const { return pid_; }

    // The exit status, or -1 when the player is still running after `timeout`.
    int Wait(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    std::string Errors() const {
        std::ifstream in(errorsPath_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    bool WaitForErrors(const std::string& text, std::chrono::milliseconds timeout) const {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (Errors().find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

private:
    std::string errorsPath_;
    pid_t pid_ = -1;
};

} // namespace velkaro::testing
