#include "support/ImageFixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include <jpeglib.h>
#include <png.h>

namespace pirela::test {

Samples PhotoLike(int width, int height, int components, unsigned seed) {
    Samples samples{width, height, components, {}};
    samples.data.resize(std::size_t(width) * height * components);
    std::minstd_rand noise(seed);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = samples.Row(y);
        for (int x = 0; x < width; ++x) {
            const int sky = 255 * y / std::max(1, height);
            const int edge = ((x / 97 + y / 61) % 2) * 40;
            for (int c = 0; c < components; ++c) {
                const int value = (sky * (c + 1) / components + x * (3 - c) / std::max(1, width / 64) +
                                   edge + static_cast<int>(noise() % 24)) % 256;
                row[std::size_t(x) * components + c] = static_cast<std::uint8_t>(value);
            }
        }
    }
    return samples;
}

void BreakJpegAfterItsRows(const std::filesystem::path& file) {
    std::string bytes;
    {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::size_t at = bytes.size() * 3 / 4;
    bytes[at - 1] = 0x00;
    bytes[at] = static_cast<char>(0xFF);
    bytes[at + 1] = static_cast<char>(0xC0);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

void WriteJpeg(const std::filesystem::path& file, const Samples& samples, bool progressive,
               int quality) {
    WriteJpeg(file, samples, progressive, quality, {});
}

void WriteJpeg(const std::filesystem::path& file, const Samples& samples, bool progressive,
               int quality, const std::vector<std::uint8_t>& app1) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) {
        std::abort();
    }
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(samples.width);
    info.image_height = static_cast<JDIMENSION>(samples.height);
    info.input_components = samples.components;
    info.in_color_space = samples.components == 1   ? JCS_GRAYSCALE
                          : samples.components == 4 ? JCS_CMYK
                                                    : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    if (!app1.empty()) {
        jpeg_write_marker(&info, JPEG_APP0 + 1, app1.data(), static_cast<unsigned>(app1.size()));
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(samples.data.data()) +
                       std::size_t(info.next_scanline) * samples.width * samples.components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
}

void WritePng(const std::filesystem::path& file, const PngImage& image) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (out == nullptr || png == nullptr || info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        std::abort();
    }
    png_init_io(png, out);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), image.bitDepth, image.colourType,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < image.palette.size(); i += 3) {
        palette.push_back(png_color{image.palette[i], image.palette[i + 1], image.palette[i + 2]});
    }
    if (!palette.empty()) {
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    if (image.gamma) {
        png_set_gAMA(png, info, *image.gamma);
    }
    if (!image.icc.empty()) {
        png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, image.icc.data(),
                     static_cast<png_uint_32>(image.icc.size()));
    }
    if (image.srgb) {
        png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    }
    if (const auto& xy = image.chromaticities) {
        png_set_cHRM(png, info, (*xy)[0], (*xy)[1], (*xy)[2], (*xy)[3], (*xy)[4], (*xy)[5],
                     (*xy)[6], (*xy)[7]);
    }
    if (!image.transparency.empty()) {
        png_set_tRNS(png, info, image.transparency.data(),
                     static_cast<int>(image.transparency.size()), nullptr);
    }
    const auto setTexts = [&](bool afterPicture) {
        std::vector<png_text> texts;
        for (const PngText& text : image.texts) {
            if (text.afterPicture != afterPicture) {
                continue;
            }
            png_text chunk{};
            chunk.compression = text.kind == PngText::Kind::Plain        ? PNG_TEXT_COMPRESSION_NONE
                                : text.kind == PngText::Kind::Compressed ? PNG_TEXT_COMPRESSION_zTXt
                                                                         : PNG_ITXT_COMPRESSION_NONE;
            chunk.key = const_cast<char*>(text.key.c_str());
            chunk.text = const_cast<char*>(text.value.c_str());
            chunk.text_length = text.value.size();
            texts.push_back(chunk);
        }
        if (!texts.empty()) {
            png_set_text(png, info, texts.data(), static_cast<int>(texts.size()));
        }
    };
    setTexts(false);
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const auto& row : image.rows) {
        rows.push_back(const_cast<png_bytep>(row.data()));
    }
    png_write_image(png, rows.data());
    setTexts(true);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
}

PngImage PngFromSamples(const Samples& samples) {
    PngImage image;
    image.width = samples.width;
    image.height = samples.height;
    image.colourType = samples.components == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB;
    const std::size_t rowBytes = std::size_t(samples.width) * samples.components;
    for (int y = 0; y < samples.height; ++y) {
        const auto* row = samples.data.data() + rowBytes * y;
        image.rows.emplace_back(row, row + rowBytes);
    }
    return image;
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(),
                                                                  static_cast<std::streamsize>(bytes.size()));
}

} // namespace pirela::test

namespace pirela::test {

namespace {

void AppendLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

} // namespace

std::string EncodeBmp(const Bitmap& bitmap) {
    const BitmapInfoHeader& h = bitmap.Header();
    std::string block;
    AppendLe(block, 40, 4);
    AppendLe(block, static_cast<std::uint32_t>(h.width), 4);
    AppendLe(block, static_cast<std::uint32_t>(h.height), 4);
    AppendLe(block, 1, 2);
    AppendLe(block, h.bitCount, 2);
    AppendLe(block, h.compression, 4);
    AppendLe(block, static_cast<std::uint32_t>(bitmap.PixelBytes()), 4);
    AppendLe(block, 2835, 4);
    AppendLe(block, 2835, 4);
    AppendLe(block, static_cast<std::uint32_t>(bitmap.ColourTable().size()), 4);
    AppendLe(block, 0, 4);
    if (bitmap.HasColourMasks()) {
        for (std::uint32_t mask : bitmap.Masks()) {
            AppendLe(block, mask, 4);
        }
    }
    for (const RgbQuad& entry : bitmap.ColourTable()) {
        block += {static_cast<char>(entry.blue), static_cast<char>(entry.green),
                  static_cast<char>(entry.red), 0};
    }
    std::string file = "BM";
    const auto offset = static_cast<std::uint32_t>(14 + block.size());
    AppendLe(file, offset + static_cast<std::uint32_t>(bitmap.PixelBytes()), 4);
    AppendLe(file, 0, 4);
    AppendLe(file, offset, 4);
    file += block;
    file.append(reinterpret_cast<const char*>(bitmap.Pixels()), bitmap.PixelBytes());
    return file;
}

} // namespace pirela::test
