#pragma once

#include "platform/UniqueDescriptor.h"
#include "sandbox/ChildExit.h"
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
// gets the other end as its descriptor 3, /dev/null as its standard streams, an environment of
// the few variables its libraries read, a session of its own, and nothing else of Pirela's; it
// dies with Pirela. The shared reaper reaps it the moment it ends. Destroying this kills the
// helper (it may be in the middle of a request).
class DecoderProcess {
public:
    // None when the program cannot be started; then `error` (when given) holds why (errno).
    static std::unique_ptr<DecoderProcess> Start(const std::string& program, int* error = nullptr);
    ~DecoderProcess();
    DecoderProcess(const DecoderProcess&) = delete;
    DecoderProcess& operator=(const DecoderProcess&) = delete;

    pid_t Pid() const { return exit_->Pid(); }

    // Sends the request with the open file beside it (none for -1); false when the helper is
    // gone.
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

    // Sets the most address space the helper may hold from now on, up to the limit it gave
    // itself (no effect in builds with a sanitizer, whose helpers run without one).
    void LimitAddressSpace(std::uint64_t bytes);

    // How the helper ended: by itself (a crash, a signal from elsewhere, an exit) or killed by
    // us. Waits at most `grace` for it to end by itself, then kills it.
    struct Ending {
        bool byItself = false;
        int signal = 0;    // byItself: the signal that ended it; 0 when it exited
        int exitCode = -1; // byItself and no signal: its exit code
    };
    Ending End(std::chrono::milliseconds grace = std::chrono::milliseconds(0));

private:
    DecoderProcess(std::shared_ptr<ChildExit> exit, UniqueDescriptor socket)
        : exit_(std::move(exit)), socket_(std::move(socket)) {}
    Wait ReadAnswer(Answer& answer);

    std::shared_ptr<ChildExit> exit_;
    UniqueDescriptor socket_;
    bool killed_ = false; // by us: whatever ended it after that was our doing
};

} // namespace pirela
