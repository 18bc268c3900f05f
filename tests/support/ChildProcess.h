#pragma once

#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdint>
#include <functional>

namespace pirela::test {

// What a test child reports when the environment cannot set it up, so the test can skip.
inline constexpr int kChildCannotPrepare = 77;

// Runs body in a forked child and returns its exit code; a child ended by a signal (an abort
// from an exception nobody caught, say) gives 128 + the signal's number.
inline int ExitCodeInChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The address space the process holds now, in bytes.
inline std::uint64_t AddressSpaceInUse() {
    unsigned long long pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%llu", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

// Lets the calling process hold only `extra` bytes of address space beyond what it holds now.
inline bool LimitAddressSpaceTo(std::uint64_t extra) {
    const rlimit limit{AddressSpaceInUse() + extra, AddressSpaceInUse() + extra};
    return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

// Enters a user namespace of its own without any user mapped into it: even root then has no
// power over the files it finds, so permission bits hold as they do for anyone else.
inline bool DropPowerOverFiles() {
    return ::unshare(CLONE_NEWUSER) == 0;
}

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

// ThreadSanitizer gives up on an allocation it cannot make instead of failing it, and runs a
// thread of its own in a forked child, which then may not enter a user namespace.
#if defined(__SANITIZE_THREAD__)
inline constexpr bool kThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
inline constexpr bool kThreadSanitizer = true;
#else
inline constexpr bool kThreadSanitizer = false;
#endif
#else
inline constexpr bool kThreadSanitizer = false;
#endif

} // namespace pirela::test
