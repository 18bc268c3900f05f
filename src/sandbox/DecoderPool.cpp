#include "sandbox/DecoderPool.h"

#include "sandbox/DecoderLimits.h"
#include "sandbox/DecoderProgram.h"

#include <algorithm>
#include <sys/stat.h>
#include <system_error>
#include <thread>

namespace pirela {

namespace {

// A 12-megapixel HEIC takes well under a second; a slow machine or a large TIFF ten times
// that. The limit is far above both, and only stops a helper that will never answer.
constexpr std::chrono::milliseconds kBaseLimit{10'000};
constexpr std::chrono::milliseconds kLimitPerMebibyte{1'000};
constexpr std::chrono::milliseconds kMostLimit{120'000};

} // namespace

DecoderPool::DecoderPool(std::string program, std::size_t ready)
    : program_(std::move(program)), ready_(ready), baseLimit_(kBaseLimit),
      limitPerMebibyte_(kLimitPerMebibyte) {}

DecoderPool::~DecoderPool() {
    // A helper still being started in the background is put into this pool's list.
    std::unique_lock lock(mutex_);
    backgroundStartsEnded_.wait(lock, [this] { return startingInBackground_ == 0; });
}

DecoderPool& DecoderPool::Shared() {
    // Never destroyed: a decode worker left to end by itself may still use it while the program
    // exits. The waiting helpers end when the program's end closes their sockets.
    static DecoderPool* const pool = new DecoderPool(FindDecoderProgram());
    return *pool;
}

std::string DecoderPool::Program() const {
    const std::lock_guard lock(mutex_);
    return program_;
}

void DecoderPool::StartAhead() {
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (waiting_.size() >= ready_) {
                return;
            }
        }
        auto helper = DecoderProcess::Start(Program());
        if (!helper) {
            return;
        }
        KeepWaiting(std::move(helper));
    }
}

void DecoderPool::KeepWaiting(std::unique_ptr<DecoderProcess> helper) {
    helper->LimitAddressSpace(kIdleDecoderAddressSpace);
    const std::lock_guard lock(mutex_);
    if (waiting_.size() < ready_) {
        waiting_.push_back(std::move(helper));
        return;
    }
    // Enough wait already: this one ends (outside the lock, as the helper is destroyed last).
}

void DecoderPool::StartAheadInBackground() {
    {
        const std::lock_guard lock(mutex_);
        ++startingInBackground_;
    }
    try {
        std::thread([this] {
            StartAhead();
            const std::lock_guard lock(mutex_);
            --startingInBackground_;
            backgroundStartsEnded_.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the first request starts its helper itself.
        const std::lock_guard lock(mutex_);
        --startingInBackground_;
    }
}

std::unique_ptr<DecoderProcess> DecoderPool::Take(int* error) {
    {
        const std::lock_guard lock(mutex_);
        if (!waiting_.empty()) {
            auto helper = std::move(waiting_.back());
            waiting_.pop_back();
            return helper;
        }
    }
    return DecoderProcess::Start(Program(), error);
}

void DecoderPool::GiveBack(std::unique_ptr<DecoderProcess> helper) {
    KeepWaiting(std::move(helper));
}

bool DecoderPool::TakeTurn(const std::atomic<bool>* stop) {
    std::unique_lock lock(mutex_);
    while (decoding_) {
        if (stop != nullptr && stop->load()) {
            return false;
        }
        turnEnded_.wait_for(lock, std::chrono::milliseconds(5));
    }
    decoding_ = true;
    return true;
}

void DecoderPool::EndTurn() {
    {
        const std::lock_guard lock(mutex_);
        decoding_ = false;
    }
    turnEnded_.notify_one();
}

std::chrono::milliseconds DecoderPool::TimeLimit(std::int64_t fileBytes) const {
    const std::lock_guard lock(mutex_);
    const std::int64_t mebibytes = std::max<std::int64_t>(fileBytes, 0) >> 20;
    return std::min(baseLimit_ + limitPerMebibyte_ * mebibytes, std::max(kMostLimit, baseLimit_));
}

std::chrono::milliseconds DecoderPool::TimeLimitOf(int file) const {
    struct stat status {};
    return TimeLimit(::fstat(file, &status) == 0 ? status.st_size : 0);
}

void DecoderPool::SetTimeLimit(std::chrono::milliseconds base,
                               std::chrono::milliseconds perMebibyte) {
    const std::lock_guard lock(mutex_);
    baseLimit_ = base;
    limitPerMebibyte_ = perMebibyte;
}

void DecoderPool::SetProgram(std::string program) {
    std::vector<std::unique_ptr<DecoderProcess>> ended;
    const std::lock_guard lock(mutex_);
    program_ = std::move(program);
    ended.swap(waiting_);
}

} // namespace pirela
