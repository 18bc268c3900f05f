#include "decoder/SharedPixelMemory.h"

#include <mutex>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace pirela {

namespace {

struct MemoryFile {
    const std::uint8_t* pixels;
    int descriptor;
};

std::mutex filesMutex;
std::vector<MemoryFile> files;

} // namespace

void SharedPixelMemory::Install() {
    SetPixelAllocator(&SharedPixelMemory::Allocate);
}

int SharedPixelMemory::NewMemoryFile(std::size_t bytes) {
    const int descriptor = ::memfd_create("pirela-pixels", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (descriptor >= 0 && ::ftruncate(descriptor, static_cast<off_t>(bytes)) != 0) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

PixelMemory SharedPixelMemory::Allocate(std::size_t bytes) {
    const int descriptor = NewMemoryFile(bytes);
    if (descriptor < 0) {
        return nullptr;
    }
    void* memory =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, descriptor, 0);
    if (memory == MAP_FAILED) {
        ::close(descriptor);
        return nullptr;
    }
    auto* pixels = static_cast<std::uint8_t*>(memory);
    try {
        const std::lock_guard lock(filesMutex);
        files.push_back({pixels, descriptor});
    } catch (...) {
        ::munmap(memory, bytes);
        ::close(descriptor);
        return nullptr;
    }
    return PixelMemory(pixels, {bytes});
}

int SharedPixelMemory::DescriptorOf(const std::uint8_t* pixels) {
    const std::lock_guard lock(filesMutex);
    // The latest first: a freed bitmap's address may have been mapped again since.
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
        if (file->pixels == pixels) {
            return file->descriptor;
        }
    }
    return -1;
}

void SharedPixelMemory::Forget() {
    const std::lock_guard lock(filesMutex);
    for (const MemoryFile& file : files) {
        ::close(file.descriptor);
    }
    files.clear();
}

} // namespace pirela
