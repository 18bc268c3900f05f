#pragma once

#include "platform/SystemCalls.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace pirela::test {

// The C library's calls, but once Hold() was called the next copy of data (sendfile or write)
// waits until Release(): file work held in its middle, as by a slow or dying disk.
class HeldSystemCalls {
public:
    HeldSystemCalls() : calls_(SystemCalls::Libc()) {
        const SystemCalls& libc = SystemCalls::Libc();
        calls_.sendfile = [this, real = libc.sendfile](int out, int in, std::size_t size) {
            Wait();
            return real(out, in, size);
        };
        calls_.write = [this, real = libc.write](int fd, const void* bytes, std::size_t size) {
            Wait();
            return real(fd, bytes, size);
        };
    }
    HeldSystemCalls(const HeldSystemCalls&) = delete;
    HeldSystemCalls& operator=(const HeldSystemCalls&) = delete;

    const SystemCalls& Calls() const { return calls_; }

    void Hold() {
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    void Release() {
        {
            const std::lock_guard lock(mutex_);
            held_ = false;
        }
        released_.notify_all();
    }
    // Whether a call is waiting now.
    bool Holding() const { return waiting_; }

private:
    void Wait() {
        std::unique_lock lock(mutex_);
        waiting_ = held_;
        released_.wait(lock, [this] { return !held_; });
        waiting_ = false;
    }

    SystemCalls calls_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool held_ = false;
    std::atomic<bool> waiting_{false};
};

} // namespace pirela::test
