#include "decoder/DecoderService.h"

#include "decoder/ReplySender.h"
#include "decoder/SharedPixelMemory.h"
#include "decoder/TestHooks.h"
#include "image/CFile.h"
#include "image/FrameSource.h"
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

// The request and the file beside it, if one came; false when Pirela closed its end or is gone.
// Intact: a whole request of ours.
bool ReceiveRequest(int socket, DecoderRequest& request, UniqueDescriptor& file, bool& intact) {
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
    intact = received == sizeof request && request.magic == kDecoderRequestMagic &&
             (message.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) == 0;
    return true;
}

// A new sealed memory file holding a copy of the bytes; -1 when none can be had.
int SealedCopy(const std::uint8_t* bytes, std::size_t size) {
    UniqueDescriptor memory(SharedPixelMemory::NewMemoryFile(size));
    if (!memory) {
        return -1;
    }
    void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, memory.Get(), 0);
    if (mapped == MAP_FAILED) {
        return -1;
    }
    std::memcpy(mapped, bytes, size);
    ::munmap(mapped, size);
    return SealMemoryFile(memory.Get()) ? memory.Release() : -1;
}

std::unique_ptr<FrameSource> OpenFrames(int file, ImageFormat format) {
    switch (format) {
    case ImageFormat::Gif:
        return OpenGifFrames(file);
    case ImageFormat::WebP:
        return OpenWebpFrames(file);
    default:
        return nullptr;
    }
}

} // namespace

void DecoderService::Run() {
    while (Serve()) {
    }
}

bool DecoderService::Serve() {
    DecoderRequest request;
    UniqueDescriptor file;
    bool intact = false;
    if (!ReceiveRequest(socket_, request, file, intact)) {
        return false;
    }
    const auto kind = static_cast<DecoderRequestKind>(request.kind);
    const bool wellFormed =
        intact && file &&
        (kind == DecoderRequestKind::Decode || kind == DecoderRequestKind::Frames);
    LimitProcessorTime();
    bool sent = false;
    try {
        if (!wellFormed) {
            sent = SendUndecodable();
        } else if (RunTestHook(file.Get(), socket_)) {
            sent = true;
        } else if (kind == DecoderRequestKind::Frames) {
            PlayFrames(file.Get(), static_cast<ImageFormat>(request.format));
            sent = false; // an animation's helper ends with it
        } else {
            sent = Answer(file.Get(), request);
        }
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
    const UniqueDescriptor memory(bytes > 0 ? SealedCopy(preview->jpeg.data(), bytes) : -1);
    if (!memory) {
        return SendUndecodable();
    }
    DecoderReplyHeader header;
    header.status = static_cast<std::uint32_t>(DecoderStatus::Decoded);
    header.payload = static_cast<std::uint32_t>(DecoderPayload::JpegPreview);
    header.flags = kReplyCameraPreview;
    header.orientation = static_cast<std::uint32_t>(preview->orientation);
    header.bytes = bytes;
    return SendReply(socket_, header, {}, memory.Get());
}

void DecoderService::PlayFrames(int file, ImageFormat format) {
    const std::unique_ptr<FrameSource> frames = OpenFrames(file, format);
    bool answering = frames ? SendFrame(*frames) : (SendUndecodable(), false);
    while (answering) {
        DecoderRequest request;
        UniqueDescriptor unasked;
        bool intact = false;
        if (!ReceiveRequest(socket_, request, unasked, intact) || !intact || unasked) {
            return;
        }
        LimitProcessorTime();
        switch (static_cast<DecoderRequestKind>(request.kind)) {
        case DecoderRequestKind::NextFrame:
            answering = SendFrame(*frames);
            break;
        case DecoderRequestKind::Rewind:
            answering = frames->Rewind() ? SendFrame(*frames) : SendUndecodable();
            break;
        default:
            return;
        }
    }
}

bool DecoderService::SendFrame(FrameSource& frames) {
    int delayMs = 0;
    const Bitmap* canvas = frames.Next(delayMs);
    const UniqueDescriptor memory(canvas ? SealedCopy(canvas->Pixels(), canvas->PixelBytes()) : -1);
    if (!memory) {
        return SendUndecodable();
    }
    DecoderReplyHeader header;
    header.status = static_cast<std::uint32_t>(DecoderStatus::Decoded);
    header.payload = static_cast<std::uint32_t>(DecoderPayload::Frame);
    header.width = canvas->Width();
    header.height = canvas->Header().height;
    header.bitCount = 32;
    header.flags = kReplyHasAlpha;
    header.stride = canvas->Stride();
    header.bytes = canvas->PixelBytes();
    header.delayMs =
        static_cast<std::uint32_t>(std::clamp<std::int64_t>(delayMs, 11, kMaxFrameDelayMs));
    header.plays =
        static_cast<std::uint32_t>(std::clamp<std::int64_t>(frames.Plays(), 0, kMaxPlays));
    return SendReply(socket_, header, {}, memory.Get());
}

bool DecoderService::SendUndecodable() {
    DecoderReplyHeader header;
    header.status = static_cast<std::uint32_t>(DecoderStatus::Undecodable);
    return SendReply(socket_, header, {}, -1);
}

} // namespace pirela
