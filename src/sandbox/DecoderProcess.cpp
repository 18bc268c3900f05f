#include "sandbox/DecoderProcess.h"

#include "sandbox/ChildReaper.h"
#include "sandbox/DecoderLimits.h"
#include "sandbox/DescriptorMessage.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>

namespace pirela {

namespace {

constexpr int kHelperSocket = 3;    // the helper's end, as the helper expects it
constexpr int kMostDescriptors = 4; // more than one is malformed; all of them are closed
constexpr auto kStopPoll = std::chrono::milliseconds(5);

// The only variables of Pirela's environment the helper gets: the time zone (libraw's dates),
// where libheif's plugins are and where the dynamic loader finds libraries, when they are set;
// in builds with a sanitizer, its options too.
constexpr const char* kHelperVariables[] = {
    "TZ", "LIBHEIF_PLUGIN_PATH", "LD_LIBRARY_PATH",
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS",
#endif
};

// The sanitizers report on the standard error stream; their builds keep Pirela's, so that a
// report of the helper's is seen. A user's helper writes nowhere.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kNullStreams = 2;
#else
constexpr int kNullStreams = 3;
#endif

std::vector<std::string> HelperEnvironment() {
    std::vector<std::string> variables;
    for (const char* name : kHelperVariables) {
        if (const char* value = std::getenv(name)) {
            variables.push_back(std::string(name) + "=" + value);
        }
    }
    return variables;
}

// Starts the program with the socket as its descriptor 3, /dev/null as its standard streams,
// every other descriptor of ours closed, signals as a new program has them, in a session (and
// process group) of its own, so that nothing sent to Pirela's terminal or group reaches it and
// it reaches neither. The spawn's error (errno), or 0.
int Spawn(const std::string& program, int socket, pid_t& pid) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // The socket first: it may be one of descriptors 0 to 2 when Pirela was started without them.
    posix_spawn_file_actions_adddup2(&actions, socket, kHelperSocket);
    for (int stream = 0; stream < kNullStreams; ++stream) {
        posix_spawn_file_actions_addopen(&actions, stream, "/dev/null",
                                         stream == 0 ? O_RDONLY : O_WRONLY, 0);
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, kHelperSocket + 1);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
    char name[] = "pirela-decoder";
    char* arguments[] = {name, nullptr};
    std::vector<std::string> variables = HelperEnvironment();
    std::vector<char*> environment;
    for (std::string& variable : variables) {
        environment.push_back(variable.data());
    }
    environment.push_back(nullptr);
    const int error = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, arguments,
                                    environment.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

// Keeps the first descriptor that came with a message and closes any others.
void TakeDescriptors(msghdr& header, UniqueDescriptor& memory) {
    for (cmsghdr* control = CMSG_FIRSTHDR(&header); control != nullptr;
         control = CMSG_NXTHDR(&header, control)) {
        if (control->cmsg_level != SOL_SOCKET || control->cmsg_type != SCM_RIGHTS) {
            continue;
        }
        const std::size_t count = (control->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t index = 0; index < count; ++index) {
            int descriptor = -1;
            std::memcpy(&descriptor, CMSG_DATA(control) + index * sizeof(int), sizeof(int));
            UniqueDescriptor owned(descriptor);
            if (!memory) {
                memory = std::move(owned);
            }
        }
    }
}

} // namespace

std::unique_ptr<DecoderProcess> DecoderProcess::Start(const std::string& program, int* error) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
        if (error != nullptr) {
            *error = errno;
        }
        return nullptr;
    }
    UniqueDescriptor ours(ends[0]);
    const UniqueDescriptor theirs(ends[1]);
    pid_t pid = -1;
    if (const int failed = Spawn(program, theirs.Get(), pid); failed != 0) {
        if (error != nullptr) {
            *error = failed;
        }
        return nullptr;
    }
    return std::unique_ptr<DecoderProcess>(
        new DecoderProcess(ChildReaper::Shared().Watch(pid), std::move(ours)));
}

DecoderProcess::~DecoderProcess() {
    End();
}

bool DecoderProcess::Send(int file, const DecoderRequest& request) {
    iovec data{const_cast<DecoderRequest*>(&request), sizeof request};
    return SendWithDescriptor(socket_.Get(), &data, 1, file) == sizeof request;
}

DecoderProcess::Wait DecoderProcess::Receive(Answer& answer,
                                             std::chrono::steady_clock::time_point deadline,
                                             const std::function<bool()>& stopped) {
    using std::chrono::milliseconds;
    for (;;) {
        if (stopped && stopped()) {
            return Wait::Stopped;
        }
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= milliseconds(0)) {
            return Wait::TimedOut;
        }
        const auto slice = std::min(std::chrono::duration_cast<milliseconds>(left), kStopPoll);
        pollfd ready{socket_.Get(), POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(slice.count()) + 1);
        if (polled < 0 && errno != EINTR) {
            return Wait::Broken;
        }
        if (polled > 0) {
            const Wait read = ReadAnswer(answer);
            if (read != Wait::TimedOut) {
                return read;
            }
        }
    }
}

// TimedOut here means nothing was there after all: the caller waits on.
DecoderProcess::Wait DecoderProcess::ReadAnswer(Answer& answer) {
    answer.message.assign(kMaxReplyBytes + 1, 0);
    iovec data{answer.message.data(), answer.message.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * kMostDescriptors)] = {};
    msghdr header{};
    header.msg_iov = &data;
    header.msg_iovlen = 1;
    header.msg_control = control;
    header.msg_controllen = sizeof control;
    const ssize_t received = ::recvmsg(socket_.Get(), &header, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
    if (received < 0 && (errno == EAGAIN || errno == EINTR)) {
        return Wait::TimedOut;
    }
    if (received >= 0) {
        TakeDescriptors(header, answer.memory);
    }
    if (received <= 0 || (header.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) != 0) {
        return Wait::Broken;
    }
    answer.message.resize(static_cast<std::size_t>(received));
    return Wait::Answered;
}

void DecoderProcess::LimitAddressSpace(std::uint64_t bytes) {
    if (!kHelperAddressSpaceLimited) {
        return;
    }
    const rlimit limit{std::min(bytes, kDecoderAddressSpace), kDecoderAddressSpace};
    exit_->WhileRunning([&limit](pid_t pid) { ::prlimit(pid, RLIMIT_AS, &limit, nullptr); });
}

DecoderProcess::Ending DecoderProcess::End(std::chrono::milliseconds grace) {
    Ending ending;
    if (grace.count() > 0) {
        exit_->WaitForEnd(grace);
    }
    killed_ = killed_ || exit_->Kill();
    if (!killed_) {
        ending.byItself = true;
        ending.signal = exit_->Signal();
        ending.exitCode = exit_->ExitCode();
    }
    socket_.Reset();
    return ending;
}

} // namespace pirela
