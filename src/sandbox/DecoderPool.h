#pragma once

#include "sandbox/DecoderProcess.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace pirela {

// The decoder helpers ready to take a request: a few are started ahead so that paging never
// waits for one to start; a request takes one out, and gives it back when it answered well. A
// helper that crashed, was killed, overran its time or answered badly is never given back: a
// new one is started in its place at once.
class DecoderPool {
public:
    // Helpers are started from the program at the path; `ready` are kept waiting.
    explicit DecoderPool(std::string program, std::size_t ready = 2);
    ~DecoderPool();
    DecoderPool(const DecoderPool&) = delete;
    DecoderPool& operator=(const DecoderPool&) = delete;

    // The program's own pool, its helper found by FindDecoderProgram.
    static DecoderPool& Shared();

    // Starts helpers until `ready` wait, without waiting for them to be ready themselves.
    void StartAhead();
    // The same on a thread of its own, returning at once.
    void StartAheadInBackground();
    // A waiting helper, or one started now; none when the program cannot be started.
    std::unique_ptr<DecoderProcess> Take();
    // A helper that answered well, to wait for the next request (ended when enough wait).
    void GiveBack(std::unique_ptr<DecoderProcess> helper);
    // A helper that failed: ended, and another started in its place.
    void Discard(std::unique_ptr<DecoderProcess> helper);

    // The most a request for a file of this size may take before its helper is killed.
    std::chrono::milliseconds TimeLimit(std::int64_t fileBytes) const;
    // Replaces the time limit's base and its share per MiB of the file (tests of hangs).
    void SetTimeLimit(std::chrono::milliseconds base, std::chrono::milliseconds perMebibyte);

    // Replaces the program (tests run a helper from the build tree); waiting helpers end.
    void SetProgram(std::string program);

private:
    std::string Program() const;

    mutable std::mutex mutex_;
    std::string program_;
    const std::size_t ready_;
    std::vector<std::unique_ptr<DecoderProcess>> waiting_;
    std::chrono::milliseconds baseLimit_;
    std::chrono::milliseconds limitPerMebibyte_;
};

} // namespace pirela
