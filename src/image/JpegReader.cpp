#include "image/JpegReader.h"

#include "image/CFile.h"

#include <algorithm>
#include <csetjmp>
// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <jpeglib.h>
#include <jerror.h>

namespace pirela {

namespace {

// Rows handed to the library per call; it decodes them straight into the bitmap.
constexpr int kRowsPerCall = 16;

// A progressive file may declare scan after scan, each a pass over the whole image; no real
// file needs more than a few dozen, and a crafted one must not keep the viewer busy for minutes.
constexpr int kMaxScans = 500;

// libjpeg's own working memory (the coefficients of a progressive file) is held to this.
constexpr long kMaxLibraryMemory = static_cast<long>(kMaxPixelBytes);

// The library reports errors by calling error_exit, which must not return: it jumps back to
// the decode below, which then gives up. Everything the jump crosses is plain C data.
struct ErrorManager {
    jpeg_error_mgr standard;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr info) {
    (*info->err->output_message)(info); // to the standard error stream, as the library does
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// The library's progress hook, called as it reads: it holds a crafted file to a number of
// scans, and lets a decode asked to stop give up while the library still reads a progressive
// file's scans, long before its first row.
struct ProgressHook {
    jpeg_progress_mgr manager; // first: the library hands back a pointer to it
    const DecodeProgress* progress = nullptr;
};

void WatchProgress(j_common_ptr info) {
    const auto* hook = reinterpret_cast<const ProgressHook*>(info->progress);
    if (hook->progress != nullptr && hook->progress->StopRequested()) {
        std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); // quietly
    }
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->is_decompressor && decompress->input_scan_number > kMaxScans) {
        info->err->msg_code = JERR_NOT_COMPILED; // any code: the message is not shown to users
        (*info->err->error_exit)(info);
    }
}

struct Decode {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    ProgressHook progress{};
    std::unique_ptr<Bitmap> bitmap;
    Bitmap* target = nullptr; // the bitmap the rows go into: the one made here, or one given
    const JpegReadOptions* options = nullptr;
};

// Makes the 24-bit bitmap for the output size, or takes the one given when it has that size;
// false when it is too large or does not fit.
bool MakeBitmap(Decode& decode) {
    const auto width = static_cast<std::int32_t>(decode.info.output_width);
    const auto height = static_cast<std::int32_t>(decode.info.output_height);
    if (decode.target != nullptr) {
        return decode.target->Width() == width && decode.target->Height() == height &&
               decode.target->BitCount() == 24;
    }
    BitmapInfoHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = 24;
    decode.bitmap = Bitmap::Create(header);
    decode.target = decode.bitmap.get();
    return decode.bitmap != nullptr;
}

// False when asked to stop before the last row.
bool ReadRowsIntoBitmap(Decode& decode) {
    j_decompress_ptr info = &decode.info;
    Bitmap& bitmap = *decode.target;
    DecodeProgress* progress = decode.options ? decode.options->progress : nullptr;
    JSAMPROW rows[kRowsPerCall];
    while (info->output_scanline < info->output_height) {
        if (progress && progress->StopRequested()) {
            return false;
        }
        const JDIMENSION first = info->output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(kRowsPerCall, info->output_height - first);
        for (JDIMENSION i = 0; i < count; ++i) {
            rows[i] = bitmap.PictureRow(static_cast<int>(first + i));
        }
        jpeg_read_scanlines(info, rows, count);
        // Rows come out top first and final (a progressive file's scans are all read in before
        // its first row comes out).
        if (progress) {
            progress->RowsFinished(static_cast<int>(info->output_scanline));
        }
    }
    return true;
}

// False when only a smaller scale was wanted and none fits.
bool ChooseScale(Decode& decode) {
    if (decode.options == nullptr || !decode.options->smallestWanted) {
        return true;
    }
    j_decompress_ptr info = &decode.info;
    const int width = static_cast<int>(info->image_width);
    const int height = static_cast<int>(info->image_height);
    const auto [wantedWidth, wantedHeight] = decode.options->smallestWanted(width, height);
    info->scale_num = 1;
    info->scale_denom =
        static_cast<unsigned>(JpegScaleDenominator(width, height, wantedWidth, wantedHeight));
    return info->scale_denom > 1 || !decode.options->onlyWhenSmaller;
}

// Runs the whole decompression; false when the library gave up or the file is not one we show.
// Holds no C++ object of its own, because a jump from the library skips this frame's cleanup.
bool RunDecode(Decode& decode, std::FILE* file) {
    j_decompress_ptr info = &decode.info;
    info->err = jpeg_std_error(&decode.errors.standard);
    decode.errors.standard.error_exit = JumpOnError;
    if (setjmp(decode.errors.jump) != 0) {
        return false;
    }
    jpeg_create_decompress(info);
    info->mem->max_memory_to_use = kMaxLibraryMemory;
    decode.progress.manager.progress_monitor = WatchProgress;
    decode.progress.progress = decode.options ? decode.options->progress : nullptr;
    info->progress = &decode.progress.manager;
    jpeg_stdio_src(info, file);
    jpeg_read_header(info, TRUE);
    if (info->out_color_space != JCS_RGB && info->out_color_space != JCS_GRAYSCALE) {
        return false; // CMYK and YCCK
    }
    // Blue-green-red straight from the library's colour conversion; grey expands to g, g, g.
    info->out_color_space = JCS_EXT_BGR;
    if (!ChooseScale(decode)) {
        return false;
    }
    jpeg_calc_output_dimensions(info);
    const bool given = decode.target != nullptr;
    if (!MakeBitmap(decode)) {
        return false;
    }
    if (decode.options != nullptr && decode.options->bitmapOnly) {
        return true;
    }
    DecodeProgress* progress = decode.options ? decode.options->progress : nullptr;
    if (progress && !given) {
        progress->Started(*decode.target);
    }
    jpeg_start_decompress(info);
    if (!ReadRowsIntoBitmap(decode)) {
        return false;
    }
    jpeg_finish_decompress(info);
    return true;
}

} // namespace

std::unique_ptr<Bitmap> ReadJpegStream(std::FILE* file) {
    return ReadJpegStream(file, JpegReadOptions{});
}

std::unique_ptr<Bitmap> ReadJpegStream(std::FILE* file, const JpegReadOptions& options) {
    Decode decode;
    decode.options = &options;
    const bool decoded = RunDecode(decode, file);
    jpeg_destroy_decompress(&decode.info);
    if (options.progress) {
        return options.progress->Outcome(decoded, std::move(decode.bitmap));
    }
    return decoded ? std::move(decode.bitmap) : nullptr;
}

bool ReadJpegStreamInto(std::FILE* file, Bitmap& bitmap, const JpegReadOptions& options) {
    Decode decode;
    decode.options = &options;
    decode.target = &bitmap;
    const bool decoded = RunDecode(decode, file);
    jpeg_destroy_decompress(&decode.info);
    return decoded;
}

int JpegScaleDenominator(int width, int height, int wantedWidth, int wantedHeight) {
    int denominator = 1;
    // The library rounds a scaled size up.
    const auto scaled = [](int size, int by) { return (size + by - 1) / by; };
    while (denominator < 8 && scaled(width, denominator * 2) >= wantedWidth &&
           scaled(height, denominator * 2) >= wantedHeight) {
        denominator *= 2;
    }
    return denominator;
}

std::unique_ptr<Bitmap> ReadJpegFile(const std::filesystem::path& path) {
    const CFile file = OpenForReading(path);
    return file ? ReadJpegStream(file.get()) : nullptr;
}

} // namespace pirela
