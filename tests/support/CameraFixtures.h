#pragma once

#include "support/ImageFixtures.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The camera roll's files, made on the spot by the formats' own encoders (libexif, libheif,
// libwebp, libtiff, giflib), for tests, benchmarks and fuzz seeds.
namespace pirela::test {

// An EXIF block as a JPEG's APP1 segment holds it ("Exif\0\0", then a TIFF header and the
// first directory) recording the orientation, in little- or big-endian byte order; with a date
// ("2024:05:01 10:00:00"), its EXIF directory records it as DateTimeOriginal, and the offset
// ("+09:00"), when given, as OffsetTimeOriginal. With a thumbnail, the block's second directory
// holds it (a JPEG), as cameras store theirs.
std::vector<std::uint8_t> ExifBlock(int orientation, bool bigEndian = false,
                                    const std::string& taken = {}, const std::string& offset = {},
                                    const std::string& thumbnailJpeg = {});

// When the camera fixtures' shots were taken, as EXIF writes a time.
inline constexpr const char* kCameraDateTime = "2024:05:03 10:34:56";

// The EXIF block of a camera's photo: make, model, orientation, the times it was taken and
// written, exposure, aperture, sensitivity, focal length and where it was taken (GPS).
std::vector<std::uint8_t> CameraExifBlock(int orientation);

// A baseline JPEG of the samples (stored as they are) whose EXIF says the orientation.
void WriteOrientedJpeg(const std::filesystem::path& file, const Samples& samples, int orientation,
                       int quality = 90);

struct HeifOptions {
    bool av1 = false;        // AVIF (AV1) rather than HEIC (HEVC)
    int bitDepth = 8;        // 8, or 10 for a high-dynamic-range file
    int orientation = 1;     // the container's turn and mirror (irot, imir), 1..8
    int exifOrientation = 0; // an EXIF block recording this too, when not 0
    int quality = 90;
    bool lossless = false;
    bool cameraExif = false; // the EXIF block is a camera's whole one (CameraExifBlock)
    std::string taken = ""; // an EXIF block recording when it was taken, when not empty
    std::vector<std::uint8_t> icc = {}; // a colr box of kind prof when not empty
    int nclxPrimaries = 0;              // a colr box of kind nclx with these primaries when not 0
};

// A HEIF file of RGB (3 components) or RGBA (4) samples.
void WriteHeif(const std::filesystem::path& file, const Samples& samples,
               const HeifOptions& options = {});

// A still WebP of RGB or RGBA samples, lossy or lossless.
void WriteWebp(const std::filesystem::path& file, const Samples& samples, bool lossless,
               int quality = 90);
// Adds the EXIF block (as CameraExifBlock gives it) to the WebP file as its EXIF chunk.
void AddWebpExif(const std::filesystem::path& file, const std::vector<std::uint8_t>& exif);
// An animation on a canvas of the size whose frames (two) are the RGBA frame at the place
// (even offsets).
void WriteWebpFrameOnCanvas(const std::filesystem::path& file, const Samples& frame, int width,
                            int height, int left, int top);
// An animated WebP of RGBA frames, all of the canvas's size, 100 ms each.
void WriteAnimatedWebp(const std::filesystem::path& file, const std::vector<Samples>& frames);

struct TiffOptions {
    int bits = 8;        // 8 or 16 (integers), 32 (floating point, 0 to 1)
    int compression = 5; // COMPRESSION_LZW; 1 none, 8 deflate, ...
    bool cmyk = false;   // 4 components are CMYK (otherwise RGBA with unassociated alpha)
    int orientation = 1;
    int pages = 1;      // further pages hold the samples inverted
    bool tiled = false; // 16 x 16 tiles instead of strips of 8 rows
    bool cameraExif = false; // the first page carries a camera's tags and EXIF directory
    std::vector<std::uint8_t> icc = {}; // the colour profile tag when not empty
};

// A TIFF of grey (1), RGB (3) or CMYK / RGBA (4) samples.
void WriteTiff(const std::filesystem::path& file, const Samples& samples,
               const TiffOptions& options = {});

struct GifFrame {
    int screenWidth = 0;
    int screenHeight = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices; // width x height, top row first
    std::vector<std::uint8_t> palette; // r, g, b triples (a power of two of them)
    int transparent = -1;
    bool interlaced = false;
    int frames = 1; // the later frames repeat the first with its indices shifted by one
};

void WriteGif(const std::filesystem::path& file, const GifFrame& frame);

// One frame of an animated GIF: its place on the screen, its indices into the screen's
// colours, how long it stays (in hundredths of a second) and what it leaves behind.
struct GifAnimationFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
    int delayCs = 10;
    int disposal = 0;     // DISPOSE_*
    int transparent = -1; // an index shown as what is under it
};

// A frame of one colour index all over its place.
GifAnimationFrame FilledGifFrame(int left, int top, int width, int height, std::uint8_t index,
                                 int delayCs, int disposal = 0);

// An animated GIF on a screen of the size with the colours (r, g, b triples, a power of two of
// them); with loops >= 0 a NETSCAPE2.0 block says how often it loops (0 for ever).
void WriteAnimatedGif(const std::filesystem::path& file, int screenWidth, int screenHeight,
                      const std::vector<std::uint8_t>& palette,
                      const std::vector<GifAnimationFrame>& frames, int loops);

// A DNG (written through libtiff) whose raw data is a flat grey mosaic and which holds a
// 64 x 48 uncompressed thumbnail and, unless the preview is empty, the JPEG preview, with the
// orientation, the camera and the time taken in its first directory and an EXIF directory.
void WriteDng(const std::filesystem::path& file, const std::string& previewJpeg, int orientation);

} // namespace pirela::test
