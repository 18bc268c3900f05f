#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pirela {

// Reads an open file by position (pread), with a position of its own: the descriptor's offset
// never moves, so the same descriptor can be read by several readers, or handed on, as it is.
// The readers of the camera roll's formats take their bytes through it and never open a path.
// Small reads are served from a window of the file kept in memory (libraries parse headers a
// few bytes at a time, giflib reads its data in pieces of 255 bytes), large ones go straight to
// the caller's buffer.
class DescriptorReader {
public:
    // The size is the file's at this moment; a file that grows later is read only that far.
    explicit DescriptorReader(int descriptor);

    bool Valid() const { return size_ >= 0; }
    std::int64_t Size() const { return size_; }
    std::int64_t Position() const { return position_; }
    // Positions beyond the end are allowed (nothing is read there); negative ones are not.
    bool Seek(std::int64_t position);

    // Reads up to `bytes` at the position and moves past them; how many were read (fewer at
    // the end of the file, or on an error).
    std::size_t Read(void* buffer, std::size_t bytes);
    // Reads exactly `bytes`, or returns false.
    bool ReadExactly(void* buffer, std::size_t bytes);
    // Reads from the position to the end, when that is at most `limit` bytes.
    bool ReadRest(std::vector<std::uint8_t>& bytes, std::size_t limit);

private:
    static constexpr std::size_t kWindowBytes = 64 * 1024;

    // Reads at the position straight into the buffer.
    std::size_t ReadDirectly(std::uint8_t* to, std::size_t bytes);
    // Loads the window from the position; false at the end of the file.
    bool FillWindow();

    int descriptor_;
    std::int64_t size_ = -1;
    std::int64_t position_ = 0;
    std::int64_t windowStart_ = 0;
    std::vector<std::uint8_t> window_;
};

} // namespace pirela
