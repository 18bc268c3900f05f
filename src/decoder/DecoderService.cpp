#include "decoder/DecoderService.h"

#include "decoder/ReplySender.h"
#include "decoder/SharedPixelMemory.h"
#include "decoder/TestHooks.h"
#include "image/CFile.h"
#include "image/ImageDecoder.h"
#include "image/ImageFormat.h"
#include "image/RawPreview.h"
#include "sandbox/DecoderLimits.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

namespace pirela {

namespace {

void LimitProcessorTime() {
    timespec used{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    rlimit limit{};
    ::getrlimit(RLIMIT_CPU, &limit);
    limit.rlim_cur = static_cast<rlim_t>(used.tv_sec) + kDecoderCpuSecondsPerRequest;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_cur > limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
    }
    ::setrlimit(RLIMIT_CPU, &limit);
}

// What the bitmap's file says of its colours, into the answer; the profile's bytes, which are
// to follow the pixels. What Pirela would refuse (a profile beyond the bound, primaries or a
// curve of no real colours) is left out: the photo is shown as sRGB rather than not at all.
std::vector<std::uint8_t> DescribeColour(const ColourDescription* colour,
                                         DecoderReplyHeader& header) {
    if (colour == nullptr) {
        return {};
    }
    const bool primaries = colour->primaries && PlausibleChromaticities(*colour->primaries);
    const bool icc = !colour->icc.empty() && colour->icc.size() <= kMaxReplyIccBytes;
    if (!colour->srgb && !primaries && !icc) {
        return {};
    }
    header.colourFlags =
        kColourDescribed | (colour->srgb ? kColourSrgb : 0) | (primaries ? kColourPrimaries : 0);
    header.transfer = static_cast<std::uint32_t>(colour->transfer);
    header.gamma = PlausibleGamma(colour->gamma) ? colour->gamma : 2.2;
    if (primaries) {
        const Chromaticities& p = *colour->primaries;
        const double values[] = {p.whiteX, p.whiteY, p.redX,  p.redY,
                                 p.greenX, p.greenY, p.blueX, p.blueY};
        std::copy(std::begin(values), std::end(values), header.primaries);
    }
    return icc ? colour->icc : std::vector<std::uint8_t>{};
}

// Writes the bytes into the memory file at the offset, growing it to hold them.
bool AppendToMemoryFile(int memory, std::size_t offset, const std::vector<std::uint8_t>& bytes) {
    const auto page = static_cast<std::size_t>(::getpagesize());
    const std::size_t start = offset / page * page;
    const std::size_t length = offset + bytes.size() - start;
    if (::ftruncate(memory, static_cast<off_t>(offset + bytes.size())) != 0) {
        return false;
    }
    void* mapped = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, memory,
                          static_cast<off_t>(start));
    if (mapped == MAP_FAILED) {
        return false;
    }
    std::memcpy(static_cast<std::uint8_t*>(mapped) + (offset - start), bytes.data(), bytes.size());
    ::munmap(mapped, length);
    return true;
}

// The request and the file beside it; false when Pirela closed its end or is gone.
bool ReceiveRequest(int socket, DecoderRequest& request, UniqueDescriptor& file, bool& wellFormed) {
    iovec data{&request, sizeof request};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t received = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
    if (received <= 0) {
        return false;
    }
    const cmsghdr* descriptors = CMSG_FIRSTHDR(&message);
    if (descriptors != nullptr && descriptors->cmsg_level == SOL_SOCKET &&
        descriptors->cmsg_type == SCM_RIGHTS && descriptors->cmsg_len == CMSG_LEN(sizeof(int))) {
        int descriptor = -1;
        std::memcpy(&descriptor, CMSG_DATA(descriptors), sizeof(int));
        file.Reset(descriptor);
    }
    wellFormed = received == sizeof request && request.magic == kDecoderRequestMagic && file &&
                 (message.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) == 0;
    return true;
}

} // namespace

void DecoderService::Run() {
    while (Serve()) {
    }
}

bool DecoderService::Serve() {
    DecoderRequest request;
    UniqueDescriptor file;
    bool wellFormed = false;
    if (!ReceiveRequest(socket_, request, file, wellFormed)) {
        return false;
    }
    LimitProcessorTime();
    bool sent = false;
    try {
        sent = !wellFormed                        ? SendUndecodable()
               : RunTestHook(file.Get(), socket_) ? true
                                                  : Answer(file.Get(), request);
    } catch (const std::bad_alloc&) {
        sent = SendUndecodable(); // more memory than the limit allows: a file we cannot decode
    }
    SharedPixelMemory::Forget();
    return sent;
}

bool DecoderService::Answer(int file, const DecoderRequest& request) {
    const auto format = static_cast<ImageFormat>(request.format);
    if (format == ImageFormat::Raw) {
        return SendPreview(file);
    }
    ReadOptions options;
    options.applyOrientation = request.applyOrientation != 0;
    if (format == ImageFormat::Bitmap || format == ImageFormat::Jpeg ||
        format == ImageFormat::Png) {
        // Read as streams, through a descriptor of their own from the file's start. Pirela
        // decodes these itself; the helper reads them so that the two can be measured.
        const CFile stream(::fdopen(::dup(file), "rb"));
        const bool atStart = stream && ::lseek(file, 0, SEEK_SET) == 0;
        return SendBitmap(atStart ? DecodeImageStream(stream.get(), format, options) : nullptr,
                          request);
    }
    return SendBitmap(DecodeDescriptorImage(file, format, options), request);
}

bool DecoderService::SendBitmap(std::unique_ptr<Bitmap> bitmap, const DecoderRequest& request) {
    const int memory = bitmap ? SharedPixelMemory::DescriptorOf(bitmap->Pixels()) : -1;
    if (memory < 0) {
        return SendUndecodable();
    }
    DecoderReplyHeader header;
    header.status = static_cast<std::uint32_t>(DecoderStatus::Decoded);
    header.payload = static_cast<std::uint32_t>(DecoderPayload::Pixels);
    header.width = bitmap->Width();
    header.height = bitmap->Header().height;
    header.bitCount = static_cast<std::uint32_t>(bitmap->BitCount());
    header.flags = (bitmap->HasAlpha() ? kReplyHasAlpha : 0) |
                   (request.applyOrientation != 0 ? kReplyOrientationApplied : 0) |
                   (bitmap->Animated() ? kReplyAnimated : 0);
    header.stride = bitmap->Stride();
    header.bytes = bitmap->PixelBytes();
    const std::vector<std::uint8_t> icc = DescribeColour(bitmap->Colour().get(), header);
    const std::vector<RgbQuad> colours = bitmap->ColourTable();
    bitmap.reset(); // its writable mapping goes, so that the memory can be sealed
    if (!icc.empty()) {
        if (AppendToMemoryFile(memory, header.bytes, icc)) {
            header.iccOffset = header.bytes;
            header.iccBytes = icc.size();
        } else if ((header.colourFlags & ~kColourDescribed) == 0) {
            header.colourFlags = 0; // nothing is left to describe
            header.transfer = 0;
            header.gamma = 0;
        }
    }
    if (!SealMemoryFile(memory)) {
        return SendUndecodable();
    }
    return SendReply(socket_, header, colours, memory);
}

bool DecoderService::SendPreview(int file) {
    const std::optional<RawPreview> preview = ExtractRawPreview(file);
    const std::size_t bytes = preview ? preview->jpeg.size() : 0;
    const int memory = bytes > 0 ? SharedPixelMemory::NewMemoryFile(bytes) : -1;
    if (memory < 0) {
        return SendUndecodable();
    }
    const UniqueDescriptor owned(memory);
    void* mapped = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, memory, 0);
    if (mapped == MAP_FAILED) {
        return SendUndecodable();
    }
    std::memcpy(mapped, preview->jpeg.data(), bytes);
    ::munmap(mapped, bytes);
    if (!SealMemoryFile(memory)) {
        return SendUndecodable();
    }
    DecoderReplyHeader header;
    header.status = static_cast<std::uint32_t>(DecoderStatus::Decoded);
    header.payload = static_cast<std::uint32_t>(DecoderPayload::JpegPreview);
    header.flags = kReplyCameraPreview;
    header.orientation = static_cast<std::uint32_t>(preview->orientation);
    header.bytes = bytes;
    return SendReply(socket_, header, {}, memory);
}

bool DecoderService::SendUndecodable() {
    DecoderReplyHeader header;
    header.status = static_cast<std::uint32_t>(DecoderStatus::Undecodable);
    return SendReply(socket_, header, {}, -1);
}

} // namespace pirela
