#pragma once

#include "platform/UniqueDescriptor.h"
#include "sandbox/DecoderMessage.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace pirela {

// One decoder helper process and Pirela's end of the socket pair it answers on. The helper
// gets the other end as its descriptor 3, nothing else of Pirela's open files, and dies with
// Pirela. Destroying this kills the helper (it may be in the middle of a request) and reaps it.
class DecoderProcess {
public:
    // None when the program cannot be started.
    static std::unique_ptr<DecoderProcess> Start(const std::string& program);
    ~DecoderProcess();
    DecoderProcess(const DecoderProcess&) = delete;
    DecoderProcess& operator=(const DecoderProcess&) = delete;

    pid_t Pid() const { return pid_; }

    // Sends the request with the open file beside it; false when the helper is gone.
    bool Send(int file, const DecoderRequest& request);

    enum class Wait { Answered, TimedOut, Stopped, Broken };
    struct Answer {
        std::vector<std::uint8_t> message;
        UniqueDescriptor memory; // the memory file that came with it, if one did
    };
    // Waits for the answer until the deadline, asking `stopped` every few milliseconds. Broken:
    // the helper closed its end (it died) or sent something that is no message of ours.
    Wait Receive(Answer& answer, std::chrono::steady_clock::time_point deadline,
                 const std::function<bool()>& stopped);

    // Kills the helper and reaps it; the signal that ended it (0 when it exited by itself).
    int End();

private:
    DecoderProcess(pid_t pid, UniqueDescriptor socket) : pid_(pid), socket_(std::move(socket)) {}
    Wait ReadAnswer(Answer& answer);

    pid_t pid_;
    UniqueDescriptor socket_;
    int endSignal_ = -1; // -1: not reaped yet
};

} // namespace pirela
