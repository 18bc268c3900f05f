#include "image/JpegReader.h"

#include "image/CFile.h"
#include "image/ExifOrientation.h"
#include "image/Orientation.h"
#include "image/OrientedRows.h"

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>
// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <jpeglib.h>
#include <jerror.h>

namespace pirela {

namespace {

// Rows handed to the library per call; it decodes them straight into the bitmap.
constexpr int kRowsPerCall = 16;
// Rows decoded at a time when rows become columns (orientations 5 to 8): the taller the band,
// the longer the piece of each upright row it writes at once (1.5 KiB here), which is what
// placing them costs; 512 rows of a 6000-pixel photo take 9 MiB.
constexpr int kRowsPerBand = 512;

// The segment colour profiles travel in.
constexpr int kIccMarker = JPEG_APP0 + 2;

// The APP1 segment's signature when it holds EXIF.
constexpr unsigned char kExifSignature[] = {'E', 'x', 'i', 'f', 0, 0};

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
    int orientation = kStoredUpright;
    // Rows on their way to becoming columns; here, not in the frame that decodes, because a
    // jump from the library skips that frame's destructors.
    std::vector<std::uint8_t> band;
    // The embedded colour profile as the library gathered it from its APP2 segments (its
    // memory, freed with free()).
    JOCTET* profile = nullptr;
    unsigned int profileBytes = 0;
};

// What the file's APP2 segments say about its colours, none when they say nothing. The
// library joins a profile cut across several segments and refuses one whose pieces do not
// add up.
std::shared_ptr<const ColourDescription> ColourOf(Decode& decode) {
    if (!jpeg_read_icc_profile(&decode.info, &decode.profile, &decode.profileBytes) ||
        decode.profile == nullptr) {
        return nullptr;
    }
    auto colour = std::make_shared<ColourDescription>();
    colour->icc.assign(decode.profile, decode.profile + decode.profileBytes);
    return colour;
}

// The orientation the picture is shown in: the one given, or the file's EXIF one.
int ChooseOrientation(const jpeg_decompress_struct& info, const JpegReadOptions* options) {
    if (options != nullptr && !options->applyOrientation) {
        return kStoredUpright;
    }
    if (options != nullptr && options->orientation != 0) {
        return ValidOrientation(options->orientation);
    }
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker != nullptr;
         marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 1 && marker->data_length > sizeof kExifSignature &&
            std::memcmp(marker->data, kExifSignature, sizeof kExifSignature) == 0) {
            return ExifOrientation(marker->data, marker->data_length);
        }
    }
    return kStoredUpright;
}

// Makes the 24-bit bitmap for the upright output size, or takes the one given when it has
// that size; false when it is too large or does not fit.
bool MakeBitmap(Decode& decode) {
    const OrientedSize upright =
        UprightSize(static_cast<int>(decode.info.output_width),
                    static_cast<int>(decode.info.output_height), decode.orientation);
    const std::int32_t width = upright.width;
    const std::int32_t height = upright.height;
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

// False when asked to stop before the last row, or when the library gives no more rows.
bool ReadRowsIntoBitmap(Decode& decode) {
    j_decompress_ptr info = &decode.info;
    OrientedRows placer(*decode.target, decode.orientation,
                        info->out_color_space == JCS_EXT_RGB);
    DecodeProgress* progress = decode.options ? decode.options->progress : nullptr;
    const std::size_t stride = std::size_t(info->output_width) * 3;
    const JDIMENSION band = placer.InPlace() ? kRowsPerCall : kRowsPerBand;
    if (!placer.InPlace()) {
        decode.band.resize(stride * band);
    }
    JSAMPROW rows[kRowsPerBand];
    while (info->output_scanline < info->output_height) {
        if (progress && progress->StopRequested()) {
            return false;
        }
        const JDIMENSION first = info->output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(band, info->output_height - first);
        for (JDIMENSION i = 0; i < count; ++i) {
            rows[i] = placer.InPlace() ? placer.RowTarget(static_cast<int>(first + i))
                                       : decode.band.data() + stride * i;
        }
        while (info->output_scanline < first + count) {
            const JDIMENSION done = info->output_scanline - first;
            if (jpeg_read_scanlines(info, rows + done, count - done) == 0) {
                return false;
            }
        }
        if (placer.InPlace()) {
            placer.FinishInPlace(static_cast<int>(first), static_cast<int>(count));
        } else {
            placer.Place(decode.band.data(), stride, static_cast<int>(first),
                         static_cast<int>(count));
        }
        // Rows come out top first and final (a progressive file's scans are all read in before
        // its first row comes out); a turned picture's are final once all of them are.
        if (progress) {
            const int scanned = static_cast<int>(info->output_scanline);
            progress->RowsFinished(placer.FinalRowsFromTop(scanned));
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
    // The view thinks in the upright picture; the library in the stored one.
    const OrientedSize upright = UprightSize(width, height, decode.orientation);
    auto [wantedWidth, wantedHeight] =
        decode.options->smallestWanted(upright.width, upright.height);
    if (SwapsAxes(decode.orientation)) {
        std::swap(wantedWidth, wantedHeight);
    }
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
    const bool orientationFromFile = decode.options == nullptr ||
                                     (decode.options->applyOrientation &&
                                      decode.options->orientation == 0);
    if (orientationFromFile) {
        jpeg_save_markers(info, JPEG_APP0 + 1, 0xFFFF);
    }
    jpeg_save_markers(info, kIccMarker, 0xFFFF);
    jpeg_read_header(info, TRUE);
    decode.orientation = ChooseOrientation(*info, decode.options);
    if (info->out_color_space != JCS_RGB && info->out_color_space != JCS_GRAYSCALE) {
        return false; // CMYK and YCCK
    }
    // Blue-green-red straight from the library's colour conversion; grey expands to g, g, g.
    // Rows to be mirrored come red first: reversing their bytes then gives blue first.
    info->out_color_space =
        OrientedRows::MirrorsRows(decode.orientation) ? JCS_EXT_RGB : JCS_EXT_BGR;
    if (!ChooseScale(decode)) {
        return false;
    }
    jpeg_calc_output_dimensions(info);
    const bool given = decode.target != nullptr;
    if (!MakeBitmap(decode)) {
        return false;
    }
    if (!given) {
        decode.target->SetColour(ColourOf(decode));
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
    std::free(decode.profile);
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
    std::free(decode.profile);
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
