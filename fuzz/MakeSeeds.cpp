// Writes small, varied image files as the fuzzers' starting corpus: make_seeds DIR fills
// DIR/NAME_fuzzer for every image target (bmp, jpeg, png, heif, webp, tiff, gif, raw, exif,
// date_taken), for the decoder helper's answers (decoder_reply) and for colour profiles
// (colour_profile).
#include "sandbox/DecoderMessage.h"
#include "support/CameraFixtures.h"
#include "support/ColourFixtures.h"
#include "support/ImageFixtures.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <png.h>
#include <string>
#include <tiffio.h>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

void WriteBmpSeeds(const fs::path& dir) {
    const test::Samples samples = test::PhotoLike(13, 7, 3);
    for (int bitCount : {1, 4, 8, 16, 24, 32}) {
        BitmapInfoHeader header;
        header.width = 13;
        header.height = bitCount == 24 ? -7 : 7;
        header.bitCount = static_cast<std::uint16_t>(bitCount);
        header.compression = bitCount == 16 ? kBiBitfields : kBiRgb;
        std::vector<RgbQuad> table;
        if (bitCount <= 8) {
            table.resize(std::size_t{1} << bitCount, RgbQuad{10, 20, 30, 0});
        }
        auto bitmap = Bitmap::Create(header, table, {0xF800, 0x07E0, 0x001F});
        for (std::size_t i = 0; i < bitmap->PixelBytes(); ++i) {
            bitmap->Pixels()[i] = samples.data[i % samples.data.size()];
        }
        test::WriteBytes(dir / ("seed" + std::to_string(bitCount) + ".bmp"), test::EncodeBmp(*bitmap));
    }
}

void WriteJpegSeeds(const fs::path& dir) {
    test::WriteJpeg(dir / "baseline.jpg", test::PhotoLike(33, 17, 3), false, 75);
    test::WriteJpeg(dir / "progressive.jpg", test::PhotoLike(33, 17, 3), true, 75);
    test::WriteJpeg(dir / "grey.jpg", test::PhotoLike(9, 9, 1), false, 75);
    test::WriteJpeg(dir / "cmyk.jpg", test::PhotoLike(8, 8, 4), false, 75);
    test::WriteOrientedJpeg(dir / "turned.jpg", test::PhotoLike(21, 11, 3), 6, 75);
    test::WriteJpeg(dir / "tagged.jpg", test::PhotoLike(12, 8, 3), false, 75);
    test::EmbedIccInJpeg(dir / "tagged.jpg", test::DisplayP3Profile(), 300);
}

void WritePngSeeds(const fs::path& dir) {
    test::PngImage rgb = test::PngFromSamples(test::PhotoLike(11, 7, 3));
    test::WritePng(dir / "rgb.png", rgb);
    rgb.interlaced = true;
    rgb.gamma = 1 / 2.2;
    test::WritePng(dir / "interlaced.png", rgb);
    test::PngImage palette;
    palette.width = 5;
    palette.height = 3;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    palette.bitDepth = 4;
    palette.rows.assign(3, {0x01, 0x23, 0x40});
    palette.palette = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
    test::WritePng(dir / "palette.png", palette);
    test::PngImage rgba;
    rgba.width = 2;
    rgba.height = 2;
    rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.bitDepth = 16;
    rgba.rows.assign(2, std::vector<std::uint8_t>(16, 0x7F));
    test::WritePng(dir / "rgba16.png", rgba);
    test::PngImage tagged = test::PngFromSamples(test::PhotoLike(6, 5, 3));
    tagged.icc = test::DisplayP3Profile();
    test::WritePng(dir / "iccp.png", tagged);
    tagged.icc.clear();
    tagged.gamma = 1 / 1.8;
    tagged.chromaticities = {{0.3127, 0.3290, 0.64, 0.33, 0.21, 0.71, 0.15, 0.06}};
    test::WritePng(dir / "chrm.png", tagged);
}

void WriteHeifSeeds(const fs::path& dir) {
    const test::Samples small = test::PhotoLike(16, 12, 3);
    test::WriteHeif(dir / "plain.heic", small);
    test::WriteHeif(dir / "turned.heic", small, {false, 8, 6, 6});
    test::WriteHeif(dir / "deep.heic", small, {false, 10});
    test::WriteHeif(dir / "plain.avif", small, {true});
    test::WriteHeif(dir / "alpha.avif", test::PhotoLike(8, 8, 4), {true, 8, 1, 0, 90, true});
    test::HeifOptions tagged;
    tagged.icc = test::DisplayP3Profile();
    test::WriteHeif(dir / "prof.heic", small, tagged);
    tagged.icc.clear();
    tagged.nclxPrimaries = 12;
    test::WriteHeif(dir / "nclx.heic", small, tagged);
}

void WriteWebpSeeds(const fs::path& dir) {
    test::WriteWebp(dir / "lossy.webp", test::PhotoLike(17, 9, 3), false, 50);
    test::WriteWebp(dir / "lossless.webp", test::PhotoLike(17, 9, 3), true);
    test::WriteWebp(dir / "alpha.webp", test::PhotoLike(9, 9, 4), false, 50);
    test::WriteAnimatedWebp(dir / "animated.webp",
                            {test::PhotoLike(8, 8, 4, 1), test::PhotoLike(8, 8, 4, 2)});
    test::WriteWebp(dir / "tagged.webp", test::PhotoLike(9, 7, 3), true);
    test::EmbedIccInWebp(dir / "tagged.webp", test::DisplayP3Profile());
}

void WriteTiffSeeds(const fs::path& dir) {
    const test::Samples rgb = test::PhotoLike(19, 13, 3);
    test::WriteTiff(dir / "lzw.tif", rgb);
    test::TiffOptions tagged;
    tagged.icc = test::DisplayP3Profile();
    test::WriteTiff(dir / "tagged.tif", rgb, tagged);
    test::WriteTiff(dir / "deep.tif", rgb, {16, COMPRESSION_ADOBE_DEFLATE});
    test::WriteTiff(dir / "float.tif", test::PhotoLike(7, 5, 1), {32, COMPRESSION_NONE});
    test::WriteTiff(dir / "cmyk.tif", test::PhotoLike(7, 5, 4), {8, COMPRESSION_PACKBITS, true});
    test::WriteTiff(dir / "tiled.tif", rgb, {8, COMPRESSION_LZW, false, 6, 2, true});
    test::WriteTiff(dir / "alpha.tif", test::PhotoLike(7, 5, 4), {8, COMPRESSION_NONE});
}

void WriteGifSeeds(const fs::path& dir) {
    test::GifFrame frame{12, 9, 2, 1, 8, 6, {}, {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}};
    for (int i = 0; i < 8 * 6; ++i) {
        frame.indices.push_back(std::uint8_t(i % 4));
    }
    test::WriteGif(dir / "offset.gif", frame);
    frame.transparent = 1;
    frame.interlaced = true;
    frame.frames = 2;
    test::WriteGif(dir / "clear.gif", frame);
    test::WriteAnimatedGif(dir / "animated.gif", 6, 5, {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255},
                           {{0, 0, 6, 5, std::vector<std::uint8_t>(30, 1), 5, 0, -1},
                            {1, 1, 3, 2, std::vector<std::uint8_t>(6, 2), 0, 2, 0},
                            {2, 0, 4, 5, std::vector<std::uint8_t>(20, 3), 20, 3, -1}},
                           2);
}

void WriteRawSeeds(const fs::path& dir) {
    test::WriteJpeg(dir / "preview.jpg", test::PhotoLike(24, 16, 3), false, 60);
    test::WriteDng(dir / "preview.dng", test::ReadBytes(dir / "preview.jpg"), 8);
    test::WriteDng(dir / "bare.dng", "", 1);
    fs::remove(dir / "preview.jpg");
}

void WriteExifSeeds(const fs::path& dir) {
    for (const bool bigEndian : {false, true}) {
        const auto block = test::ExifBlock(bigEndian ? 6 : 8, bigEndian);
        test::WriteBytes(dir / (bigEndian ? "big.exif" : "little.exif"),
                         std::string(block.begin(), block.end()));
    }
}

// Photos that record when they were taken, in the formats whose EXIF the date is read from.
void WriteDateTakenSeeds(const fs::path& dir) {
    const auto exif = test::ExifBlock(1, false, "2024:05:01 10:00:00", "+09:00");
    test::WriteJpeg(dir / "taken.jpg", test::PhotoLike(8, 8, 3), false, 60, exif);
    test::WriteBytes(dir / "taken.tif", std::string(exif.begin() + 6, exif.end()));
    const auto big = test::ExifBlock(1, true, "2024:05:01 10:00:00");
    test::WriteBytes(dir / "big.tif", std::string(big.begin() + 6, big.end()));
    test::HeifOptions heif;
    heif.taken = "2024:05:01 10:00:00";
    test::WriteHeif(dir / "taken.heic", test::PhotoLike(16, 16, 3), heif);
}

} // namespace

// Decoder answers as the fuzzer takes them: the memory's size and seal, then the message.
void WriteReplySeed(const fs::path& file, std::uint32_t memory, const DecoderReplyHeader& header,
                    const std::vector<RgbQuad>& colours = {}) {
    std::string bytes(reinterpret_cast<const char*>(&memory), sizeof memory);
    bytes += '\1';
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(colours.data()), colours.size() * sizeof(RgbQuad));
    test::WriteBytes(file, bytes);
}

void WriteDecoderReplySeeds(const fs::path& dir) {
    DecoderReplyHeader pixels;
    pixels.status = static_cast<std::uint32_t>(DecoderStatus::Decoded);
    pixels.width = 13;
    pixels.height = -7;
    pixels.bitCount = 24;
    pixels.flags = kReplyOrientationApplied;
    pixels.stride = 40;
    pixels.bytes = 280;
    WriteReplySeed(dir / "rgb", 4096, pixels);
    pixels.bitCount = 32;
    pixels.flags |= kReplyHasAlpha;
    pixels.stride = 52;
    pixels.bytes = 364;
    WriteReplySeed(dir / "rgba", 364, pixels);
    pixels.bitCount = 8;
    pixels.flags = 0;
    pixels.stride = 16;
    pixels.bytes = 112;
    WriteReplySeed(dir / "palette", 112, pixels, std::vector<RgbQuad>(4, RgbQuad{1, 2, 3, 0}));
    // Colours described: Display P3's primaries with the sRGB curve, and a profile after the
    // pixels.
    DecoderReplyHeader described = pixels;
    described.colourFlags = kColourDescribed | kColourPrimaries;
    described.gamma = 2.2;
    const double p3[] = {0.3127, 0.3290, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060};
    std::copy(std::begin(p3), std::end(p3), described.primaries);
    WriteReplySeed(dir / "primaries", 112, described, std::vector<RgbQuad>(4, RgbQuad{}));
    described.colourFlags = kColourDescribed | kColourSrgb;
    std::fill(std::begin(described.primaries), std::end(described.primaries), 0);
    described.iccOffset = 112;
    described.iccBytes = 560;
    WriteReplySeed(dir / "profile", 672, described, std::vector<RgbQuad>(4, RgbQuad{}));
    DecoderReplyHeader frame;
    frame.status = static_cast<std::uint32_t>(DecoderStatus::Decoded);
    frame.payload = static_cast<std::uint32_t>(DecoderPayload::Frame);
    frame.width = 13;
    frame.height = -7;
    frame.bitCount = 32;
    frame.flags = kReplyHasAlpha;
    frame.stride = 52;
    frame.bytes = 364;
    frame.delayMs = 100;
    frame.plays = 3;
    WriteReplySeed(dir / "frame", 364, frame);
    DecoderReplyHeader preview;
    preview.status = static_cast<std::uint32_t>(DecoderStatus::Decoded);
    preview.payload = static_cast<std::uint32_t>(DecoderPayload::JpegPreview);
    preview.flags = kReplyCameraPreview;
    preview.orientation = 6;
    preview.bytes = 5000;
    WriteReplySeed(dir / "preview", 8192, preview);
    DecoderReplyHeader undecodable;
    undecodable.status = static_cast<std::uint32_t>(DecoderStatus::Undecodable);
    WriteReplySeed(dir / "undecodable", 0, undecodable);
}

// Thumbnails as programs write them: every colour type, the fields in tEXt, zTXt and iTXt
// chunks, before and after the picture data, and numbers that are not numbers.
void WriteThumbnailPngSeeds(const fs::path& dir) {
    const std::vector<test::PngText> fields{
        {"Thumb::URI", "file:///home/u/a%20b.jpg", test::PngText::Kind::Plain, false},
        {"Thumb::MTime", "1700000000", test::PngText::Kind::Compressed, true},
        {"Thumb::Size", "123456", test::PngText::Kind::International, false},
        {"Thumb::Image::Width", "6000", test::PngText::Kind::Plain, true},
        {"Thumb::Mimetype", "image/jpeg", test::PngText::Kind::Plain, false}};
    test::PngImage rgb = test::PngFromSamples(test::PhotoLike(16, 11, 3));
    rgb.texts = fields;
    test::WritePng(dir / "rgb.png", rgb);
    rgb.interlaced = true;
    rgb.texts.push_back({"Thumb::MTime", "-17e3"});
    test::WritePng(dir / "interlaced.png", rgb);
    test::PngImage rgba;
    rgba.width = 2;
    rgba.height = 2;
    rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.rows.assign(2, {255, 0, 0, 128, 0, 255, 0, 0});
    rgba.texts = fields;
    test::WritePng(dir / "rgba.png", rgba);
}

// JPEGs as cameras write them: an EXIF block with the orientation and a small JPEG thumbnail.
void WriteThumbnailJpegSeeds(const fs::path& dir) {
    test::WriteJpeg(dir / "small", test::PhotoLike(16, 12, 3), false, 50);
    const std::string small = test::ReadBytes(dir / "small");
    fs::remove(dir / "small");
    test::WriteJpeg(dir / "camera.jpg", test::PhotoLike(32, 24, 3), false, 50,
                    test::ExifBlock(6, false, {}, {}, small));
    test::WriteJpeg(dir / "motorola.jpg", test::PhotoLike(24, 16, 3), true, 50,
                    test::ExifBlock(3, true, {}, {}, small));
}

void WriteColourProfileSeeds(const fs::path& dir) {
    test::WriteProfile(dir / "adobe-rgb.icc", test::AdobeRgbProfile());
    test::WriteProfile(dir / "display-p3.icc", test::DisplayP3Profile());
    for (const char* name :
         {"sRGB.icc", "Gray.icc", "colord/ProPhotoRGB.icc", "colord/Crayons.icc"}) {
        fs::copy_file(fs::path("/usr/share/color/icc") / name, dir / fs::path(name).filename());
    }
}

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const fs::path root = argv[1];
    const std::pair<const char*, void (*)(const fs::path&)> targets[]{
        {"bmp_fuzzer", WriteBmpSeeds},   {"jpeg_fuzzer", WriteJpegSeeds},
        {"png_fuzzer", WritePngSeeds},   {"heif_fuzzer", WriteHeifSeeds},
        {"webp_fuzzer", WriteWebpSeeds}, {"tiff_fuzzer", WriteTiffSeeds},
        {"gif_fuzzer", WriteGifSeeds},   {"raw_fuzzer", WriteRawSeeds},
        {"exif_fuzzer", WriteExifSeeds}, {"decoder_reply_fuzzer", WriteDecoderReplySeeds},
        {"date_taken_fuzzer", WriteDateTakenSeeds},
        {"thumbnail_png_fuzzer", WriteThumbnailPngSeeds},
        {"thumbnail_jpeg_fuzzer", WriteThumbnailJpegSeeds},
        {"colour_profile_fuzzer", WriteColourProfileSeeds},
    };
    for (const auto& [name, write] : targets) {
        fs::create_directories(root / name);
        write(root / name);
    }
    return 0;
}
