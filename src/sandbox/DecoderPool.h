#pragma once

#include "sandbox/DecoderProcess.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
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
//
// Memory: one helper decodes at a time, with the whole address space a decode may need; the
// helpers waiting are held to the little they need at rest. So however many helpers there are,
// hostile files cannot take more than one decode's bound of the machine.
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
    // A waiting helper, or one started now; none when the program cannot be started (then
    // `error`, when given, holds why: errno).
    std::unique_ptr<DecoderProcess> Take(int* error = nullptr);
    // A helper that answered well, to wait for the next request (ended when enough wait).
    void GiveBack(std::unique_ptr<DecoderProcess> helper);

    // The most a request for a file of this size may take before its helper is killed.
    std::chrono::milliseconds TimeLimit(std::int64_t fileBytes) const;
    // The same for the open file, by its size.
    std::chrono::milliseconds TimeLimitOf(int file) const;
    // Replaces the time limit's base and its share per MiB of the file (tests of hangs).
    void SetTimeLimit(std::chrono::milliseconds base, std::chrono::milliseconds perMebibyte);

    // Waits until no other request of this pool is decoding, asking `stop` every few
    // milliseconds; false when it was asked to stop first. Every true is followed by EndTurn.
    bool TakeTurn(const std::atomic<bool>* stop);
    void EndTurn();

    // Replaces the program (tests run a helper from the build tree); waiting helpers end.
    void SetProgram(std::string program);
    std::string Program() const;

private:
    // Keeps the helper waiting, held to the address space of a helper at rest.
    void KeepWaiting(std::unique_ptr<DecoderProcess> helper);

    mutable std::mutex mutex_;
    std::string program_;
    const std::size_t ready_;
    std::vector<std::unique_ptr<DecoderProcess>> waiting_;
    std::chrono::milliseconds baseLimit_;
    std::chrono::milliseconds limitPerMebibyte_;
    std::condition_variable turnEnded_;
    bool decoding_ = false;
    // Helpers being started on threads of their own, which the pool outlives.
    int startingInBackground_ = 0;
    std::condition_variable backgroundStartsEnded_;
};

} // namespace pirela
