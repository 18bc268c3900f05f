#pragma once

#include "platform/DirectoryReader.h"

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <utility>

namespace pirela::test {

// A folder reader that makes its folders up: every folder holds `count` regular files named
// by name(i), given in a scattered order as a file system gives them. A gate, when set, holds
// the reading until it is opened; with slowTail, the folder goes on past count with one more
// file each few milliseconds for as long as the reader is not told to stop.
class MadeUpFolder : public DirectoryReader {
public:
    explicit MadeUpFolder(int count, std::function<std::string(int)> name = CameraName)
        : count_(count), name_(std::move(name)) {}

    // A phone's names: IMG_000001.jpg ...
    static std::string CameraName(int i) {
        std::string digits = std::to_string(i + 1);
        return "IMG_" + std::string(digits.size() < 6 ? 6 - digits.size() : 0, '0') + digits +
               ".jpg";
    }

    void HoldUntil(std::shared_future<void> gate) { gate_ = std::move(gate); }
    void GoOnSlowly() { slowTail_ = true; }

    bool Read(const std::string&, const Visitor& visit) const override {
        if (gate_.valid()) {
            gate_.wait();
        }
        // A prime stride visits every index once, far from the sorted order.
        const long long stride = 7919;
        for (long long i = 0; i < count_; ++i) {
            const int index = static_cast<int>(count_ % stride == 0 ? i : i * stride % count_);
            if (!visit(name_(index), EntryKind::RegularFile)) {
                return true;
            }
        }
        for (int extra = 0; slowTail_; ++extra) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            if (!visit("more" + std::to_string(extra) + ".jpg", EntryKind::RegularFile)) {
                return true;
            }
        }
        return true;
    }

private:
    int count_;
    std::function<std::string(int)> name_;
    std::shared_future<void> gate_;
    bool slowTail_ = false;
};

} // namespace pirela::test
