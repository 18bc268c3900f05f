#include "decoder/SyscallFilter.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sched.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace pirela {

namespace {

// System calls allowed whatever their arguments.
constexpr int kAllowed[] = {
    // reading the file by position, the socket's messages, memory files
    SCMP_SYS(read),
    SCMP_SYS(pread64),
    SCMP_SYS(readv),
    SCMP_SYS(preadv),
    SCMP_SYS(lseek),
    SCMP_SYS(fstat),
    SCMP_SYS(recvmsg),
    SCMP_SYS(sendmsg),
    SCMP_SYS(close),
    SCMP_SYS(dup),
    SCMP_SYS(ftruncate),
    SCMP_SYS(memfd_create),
    // memory
    SCMP_SYS(munmap),
    SCMP_SYS(mremap),
    SCMP_SYS(brk),
    SCMP_SYS(madvise),
    // the codecs' threads and their waiting
    SCMP_SYS(futex),
    SCMP_SYS(set_robust_list),
    SCMP_SYS(rseq),
    SCMP_SYS(sched_yield),
    SCMP_SYS(sched_getaffinity),
    SCMP_SYS(rt_sigprocmask),
    SCMP_SYS(rt_sigaction),
    SCMP_SYS(nanosleep),
    SCMP_SYS(clock_nanosleep),
    SCMP_SYS(gettid),
    SCMP_SYS(getpid),
    // time, randomness, ending
    SCMP_SYS(clock_gettime),
    SCMP_SYS(getrandom),
    SCMP_SYS(rt_sigreturn),
    SCMP_SYS(exit),
    SCMP_SYS(exit_group),
    SCMP_SYS(getrlimit),
    SCMP_SYS(sysinfo),
};

// What the sanitizers' runtimes call besides, in builds with them only.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kSanitizerAllowed[] = {SCMP_SYS(sigaltstack), SCMP_SYS(pipe2), SCMP_SYS(write),
                                     SCMP_SYS(gettimeofday)};
#else
constexpr int kSanitizerAllowed[] = {-1};
#endif

bool AllowAll(scmp_filter_ctx filter) {
    for (const int call : kAllowed) {
        if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) != 0) {
            return false;
        }
    }
    for (const int call : kSanitizerAllowed) {
        if (call >= 0 && seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) != 0) {
            return false;
        }
    }
    return true;
}

// The commands of fcntl the helper's code and its libraries give: descriptor flags, a memory
// file's seals, a copy of a descriptor. Never an owner, a signal, a lease or a lock: with an
// owner and a signal set on its socket the kernel would send any signal to any process of the
// user, and a lease would hold up whoever writes the photo.
constexpr int kFcntlCommands[] = {F_GETFD, F_SETFD, F_GETFL, F_ADD_SEALS, F_GET_SEALS,
                                  F_DUPFD_CLOEXEC};

bool AllowFcntl(scmp_filter_ctx filter) {
    for (const int command : kFcntlCommands) {
        if (seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(fcntl), 1,
                             SCMP_A1_32(SCMP_CMP_EQ, static_cast<std::uint32_t>(command))) != 0) {
            return false;
        }
    }
    return true;
}

// The C library's fstat is newfstatat on the descriptor with an empty path and AT_EMPTY_PATH;
// a path from the current folder (AT_FDCWD) never. A filter cannot read the path itself, so an
// absolute one with the flag still names a file: its status (never its content) could reach
// only the picture the helper sends back.
bool AllowStatusOfDescriptors(scmp_filter_ctx filter) {
    return seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(newfstatat), 2,
                            SCMP_A0_32(SCMP_CMP_NE, static_cast<std::uint32_t>(AT_FDCWD)),
                            SCMP_A3(SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, AT_EMPTY_PATH)) == 0;
}

// System calls allowed with some arguments only.
bool AllowSome(scmp_filter_ctx filter) {
    return AllowFcntl(filter) && AllowStatusOfDescriptors(filter) &&
        // memory that can never hold code
        seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(mmap), 1,
                         SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0)) == 0 &&
        seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(mprotect), 1,
                         SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0)) == 0 &&
        // messages of the libraries (and of a sanitizer) on the standard error stream only,
        // which is /dev/null (a sanitizer's build keeps Pirela's)
        seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(write), 1, SCMP_A0(SCMP_CMP_EQ, 2)) ==
            0 &&
        // threads, never processes; clone3's flags cannot be seen, so the C library is told it
        // does not exist and falls back to clone
        seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(clone), 1,
                         SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD)) == 0 &&
        seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0) == 0 &&
        // the AV1 decoder names its threads
        seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(prctl), 1,
                         SCMP_A0(SCMP_CMP_EQ, PR_SET_NAME)) == 0 &&
        // the processor time limit of each request, on the helper itself
        seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(prlimit64), 2, SCMP_A0(SCMP_CMP_EQ, 0),
                         SCMP_A1(SCMP_CMP_EQ, RLIMIT_CPU)) == 0;
}

} // namespace

bool InstallSyscallFilter() {
    const scmp_filter_ctx filter = seccomp_init(SCMP_ACT_KILL_PROCESS);
    if (filter == nullptr) {
        return false;
    }
    // The helper holds nothing secret, so the speculative store bypass stays as it is in Pirela:
    // kernels that mitigate it for filtered processes would otherwise slow every decode.
    seccomp_attr_set(filter, SCMP_FLTATR_CTL_SSB, 1);
    seccomp_attr_set(filter, SCMP_FLTATR_CTL_OPTIMIZE, 2);
    const bool installed = AllowAll(filter) && AllowSome(filter) && seccomp_load(filter) == 0;
    seccomp_release(filter);
    return installed;
}

} // namespace pirela
