#include "platform/ProgramSpawn.h"

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>

extern char** environ;

namespace pirela {

namespace {

// Attributes of the new process: its own session, no signal blocked, every signal handled the
// default way (Pirela's own handlers and ignored signals are no business of the program's).
class SpawnAttributes {
public:
    SpawnAttributes() {
        ::posix_spawnattr_init(&attributes_);
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        ::posix_spawnattr_setsigmask(&attributes_, &none);
        ::posix_spawnattr_setsigdefault(&attributes_, &all);
        ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                                     POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    const posix_spawnattr_t* Get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

// Collects the program's exit status whenever it comes, so that it never lingers as a zombie.
void ReapLater(pid_t child) {
    try {
        std::thread([child] { ::waitpid(child, nullptr, 0); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the child stays a zombie until Pirela ends.
    }
}

} // namespace

int StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const SpawnAttributes attributes;
    pid_t child = 0;
    const int error =
        ::posix_spawnp(&child, program.c_str(), nullptr, attributes.Get(), argv.data(), environ);
    if (error == 0) {
        ReapLater(child);
    }
    return error;
}

} // namespace pirela
