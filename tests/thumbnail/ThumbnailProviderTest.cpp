// The thumbnails of a whole list on workers: the cells in sight first, the rest ahead, only
// those near the cells in sight held within the memory bound.
#include "thumbnail/ThumbnailProvider.h"

#include "support/ImageFixtures.h"
#include "support/TempDir.h"

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <sys/stat.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using CellState = ThumbnailProvider::CellState;

class ThumbnailProviderTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < kFiles; ++i) {
            paths_.push_back((dir_ / ("p" + std::to_string(100 + i) + ".jpg")).string());
            test::WriteJpeg(paths_.back(), test::PhotoLike(160, 120, 3, unsigned(i)), false, 80);
        }
    }

    std::unique_ptr<ThumbnailProvider> Provider(std::size_t memoryBytes) {
        return std::make_unique<ThumbnailProvider>(ThumbnailCache(dir_ / "cache", "pirela-test"),
                                                   64, memoryBytes, [this](int index) {
                                                       const std::lock_guard lock(mutex_);
                                                       told_.insert(index);
                                                       changed_.notify_all();
                                                   });
    }

    // Waits until the condition holds: a guard against a hang, not a measure of time.
    bool Eventually(const std::function<bool()>& condition) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, std::chrono::milliseconds(20));
        }
        return true;
    }

    size_t CachedThumbnails() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_ / "cache" / "normal"), {}));
    }

    static constexpr int kFiles = 40;
    // One 64 x 48 thumbnail and its bookkeeping.
    static constexpr std::size_t kOneThumbnail = 64 * 48 * 4 + sizeof(ScaledPicture);
    test::TempDir dir_;
    std::vector<std::string> paths_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::set<int> told_;
};

TEST_F(ThumbnailProviderTest, MakesTheCellsInSightThenTheRestHoldingOnlyTheNearest) {
    auto provider = Provider(8 * kOneThumbnail);
    provider->SetFiles(paths_);
    provider->SetVisible(20, 4);
    ASSERT_TRUE(Eventually([&] {
        for (int i = 20; i < 24; ++i) {
            if (provider->CellAt(i).state != CellState::Ready) {
                return false;
            }
        }
        return true;
    }));
    EXPECT_EQ(provider->CellAt(20).picture->width, 64);
    // Ahead of the user the whole list gets its thumbnails in the cache.
    ASSERT_TRUE(Eventually([&] { return CachedThumbnails() == kFiles; }));
    EXPECT_LE(provider->HeldBytes(), 8 * kOneThumbnail);
    int held = 0;
    for (int i = 0; i < kFiles; ++i) {
        if (provider->CellAt(i).state == CellState::Ready) {
            EXPECT_LE(std::abs(i - 21), 6) << i; // only the neighbours of the cells in sight
            ++held;
        }
    }
    EXPECT_EQ(held, 8);
    // Far away, it comes back from the cache when it comes into sight.
    provider->SetVisible(0, 2);
    ASSERT_TRUE(Eventually([&] { return provider->CellAt(0).state == CellState::Ready; }));
}

TEST_F(ThumbnailProviderTest, KeepsWhatItHoldsWhenTheListLosesFiles) {
    auto provider = Provider(64 * kOneThumbnail);
    provider->SetFiles(paths_);
    provider->SetVisible(0, 6);
    ASSERT_TRUE(Eventually([&] { return provider->CellAt(5).state == CellState::Ready; }));
    const ThumbnailProvider::Picture fifth = provider->CellAt(5).picture;
    std::vector<std::string> fewer = paths_;
    fewer.erase(fewer.begin() + 1);
    fewer.erase(fewer.begin() + 2);
    provider->SetFiles(fewer);
    EXPECT_EQ(provider->CellAt(3).picture, fifth); // at once: the same picture, moved up
}

TEST_F(ThumbnailProviderTest, MakesANewThumbnailForAChangedFileAndMarksBrokenOnes) {
    auto provider = Provider(64 * kOneThumbnail);
    paths_.push_back((dir_ / "broken.jpg").string());
    test::WriteBytes(paths_.back(), "no picture");
    provider->SetFiles(paths_);
    provider->SetVisible(0, 2);
    ASSERT_TRUE(Eventually([&] { return provider->CellAt(1).state == CellState::Ready; }));
    const ThumbnailProvider::Picture before = provider->CellAt(1).picture;

    test::WriteJpeg(paths_[1], test::PhotoLike(120, 160, 3, 99), false, 80);
    const timespec later[2] = {{2000000000, 0}, {2000000000, 0}};
    ::utimensat(AT_FDCWD, paths_[1].c_str(), later, 0);
    provider->Revalidate();
    EXPECT_EQ(provider->CellAt(1).picture, before); // shown until the new one comes
    ASSERT_TRUE(Eventually([&] { return provider->CellAt(1).picture != before; }));
    EXPECT_EQ(provider->CellAt(1).picture->height, 64); // upright now

    provider->SetVisible(kFiles, 1);
    ASSERT_TRUE(Eventually([&] { return provider->CellAt(kFiles).state == CellState::Failed; }));
    const std::lock_guard lock(mutex_);
    EXPECT_TRUE(told_.count(kFiles));
}

} // namespace
} // namespace pirela
