#include "sandbox/DecoderProcess.h"

#include "sandbox/DescriptorMessage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

extern char** environ;

namespace pirela {

namespace {

constexpr int kHelperSocket = 3;    // the helper's end, as the helper expects it
constexpr int kMostDescriptors = 4; // more than one is malformed; all of them are closed
constexpr auto kStopPoll = std::chrono::milliseconds(5);

// Starts the program with the socket as its descriptor 3 and every other descriptor of ours
// closed, signals as a new program has them.
pid_t Spawn(const std::string& program, int socket) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_adddup2(&actions, socket, kHelperSocket);
    posix_spawn_file_actions_addclosefrom_np(&actions, kHelperSocket + 1);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    char name[] = "pirela-decoder";
    char* arguments[] = {name, nullptr};
    pid_t pid = -1;
    if (::posix_spawn(&pid, program.c_str(), &actions, &attributes, arguments, environ) != 0) {
        pid = -1;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
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

std::unique_ptr<DecoderProcess> DecoderProcess::Start(const std::string& program) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
        return nullptr;
    }
    UniqueDescriptor ours(ends[0]);
    const UniqueDescriptor theirs(ends[1]);
    const pid_t pid = Spawn(program, theirs.Get());
    if (pid < 0) {
        return nullptr;
    }
    return std::unique_ptr<DecoderProcess>(new DecoderProcess(pid, std::move(ours)));
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

int DecoderProcess::End() {
    if (endSignal_ >= 0) {
        return endSignal_;
    }
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    endSignal_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    socket_.Reset();
    return endSignal_;
}

} // namespace pirela
