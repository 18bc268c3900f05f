#include "support/CameraFixtures.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <gif_lib.h>
#include <libexif/exif-data.h>
#include <libheif/heif.h>
#include <tiffio.h>
#include <webp/encode.h>
#include <webp/mux.h>

namespace pirela::test {

namespace {

void Require(bool ok) {
    if (!ok) {
        std::abort(); // a fixture that cannot be written makes every check after it moot
    }
}

void RequireHeif(const heif_error& error) {
    Require(error.code == heif_error_Ok);
}

} // namespace

// An ASCII entry of the EXIF directory holding the text and its NUL.
void AddExifText(ExifData* data, ExifTag tag, const std::string& text) {
    ExifEntry* entry = exif_entry_new();
    entry->tag = tag;
    entry->format = EXIF_FORMAT_ASCII;
    entry->components = text.size() + 1;
    entry->size = static_cast<unsigned>(text.size() + 1);
    entry->data = static_cast<unsigned char*>(std::calloc(1, entry->size)); // freed by libexif
    std::memcpy(entry->data, text.data(), text.size());
    exif_content_add_entry(data->ifd[EXIF_IFD_EXIF], entry);
    exif_entry_unref(entry);
}

std::vector<std::uint8_t> ExifBlock(int orientation, bool bigEndian, const std::string& taken,
                                    const std::string& offset, const std::string& thumbnailJpeg) {
    ExifData* data = exif_data_new();
    if (!thumbnailJpeg.empty()) {
        data->size = static_cast<unsigned>(thumbnailJpeg.size());
        data->data = static_cast<unsigned char*>(std::malloc(thumbnailJpeg.size()));
        std::memcpy(data->data, thumbnailJpeg.data(), thumbnailJpeg.size());
    }
    const ExifByteOrder order = bigEndian ? EXIF_BYTE_ORDER_MOTOROLA : EXIF_BYTE_ORDER_INTEL;
    exif_data_set_byte_order(data, order);
    ExifEntry* entry = exif_entry_new();
    exif_content_add_entry(data->ifd[EXIF_IFD_0], entry);
    exif_entry_initialize(entry, EXIF_TAG_ORIENTATION);
    exif_set_short(entry->data, order, static_cast<ExifShort>(orientation));
    exif_entry_unref(entry);
    if (!taken.empty()) {
        AddExifText(data, EXIF_TAG_DATE_TIME_ORIGINAL, taken);
    }
    if (!offset.empty()) {
        AddExifText(data, EXIF_TAG_OFFSET_TIME_ORIGINAL, offset);
    }
    unsigned char* bytes = nullptr;
    unsigned int size = 0;
    exif_data_save_data(data, &bytes, &size);
    Require(bytes != nullptr);
    std::vector<std::uint8_t> block(bytes, bytes + size);
    std::free(bytes);
    exif_data_unref(data);
    return block;
}

namespace {

// An entry of the directory with its value as the bytes give it.
void AddExifEntry(ExifData* data, ExifIfd ifd, ExifTag tag, ExifFormat format,
                  unsigned long components, const void* value, std::size_t bytes) {
    ExifEntry* entry = exif_entry_new();
    entry->tag = tag;
    entry->format = format;
    entry->components = components;
    entry->size = static_cast<unsigned int>(bytes);
    entry->data = static_cast<unsigned char*>(std::malloc(bytes));
    std::memcpy(entry->data, value, bytes);
    exif_content_add_entry(data->ifd[ifd], entry);
    exif_entry_unref(entry);
}

void AddExifText(ExifData* data, ExifIfd ifd, ExifTag tag, const std::string& text) {
    AddExifEntry(data, ifd, tag, EXIF_FORMAT_ASCII, text.size() + 1, text.c_str(), text.size() + 1);
}

void AddExifRationals(ExifData* data, ExifIfd ifd, ExifTag tag,
                      std::initializer_list<std::pair<ExifLong, ExifLong>> values) {
    std::vector<unsigned char> bytes(values.size() * 8);
    std::size_t at = 0;
    for (const auto& [numerator, denominator] : values) {
        exif_set_rational(bytes.data() + at, EXIF_BYTE_ORDER_INTEL, {numerator, denominator});
        at += 8;
    }
    AddExifEntry(data, ifd, tag, EXIF_FORMAT_RATIONAL, values.size(), bytes.data(), bytes.size());
}

void AddExifShort(ExifData* data, ExifIfd ifd, ExifTag tag, int value) {
    unsigned char bytes[2];
    exif_set_short(bytes, EXIF_BYTE_ORDER_INTEL, static_cast<ExifShort>(value));
    AddExifEntry(data, ifd, tag, EXIF_FORMAT_SHORT, 1, bytes, 2);
}

} // namespace

std::vector<std::uint8_t> CameraExifBlock(int orientation) {
    ExifData* data = exif_data_new();
    exif_data_set_byte_order(data, EXIF_BYTE_ORDER_INTEL);
    AddExifText(data, EXIF_IFD_0, EXIF_TAG_MAKE, "Pirela");
    AddExifText(data, EXIF_IFD_0, EXIF_TAG_MODEL, "Test Camera");
    AddExifShort(data, EXIF_IFD_0, EXIF_TAG_ORIENTATION, orientation);
    AddExifText(data, EXIF_IFD_0, EXIF_TAG_DATE_TIME, kCameraDateTime);
    AddExifText(data, EXIF_IFD_0, EXIF_TAG_SOFTWARE, "Firmware 1.0");
    AddExifText(data, EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL, kCameraDateTime);
    AddExifText(data, EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_DIGITIZED, kCameraDateTime);
    AddExifText(data, EXIF_IFD_EXIF, EXIF_TAG_SUB_SEC_TIME_ORIGINAL, "25");
    AddExifRationals(data, EXIF_IFD_EXIF, EXIF_TAG_EXPOSURE_TIME, {{1, 250}});
    AddExifRationals(data, EXIF_IFD_EXIF, EXIF_TAG_FNUMBER, {{28, 10}});
    AddExifShort(data, EXIF_IFD_EXIF, EXIF_TAG_ISO_SPEED_RATINGS, 400);
    AddExifRationals(data, EXIF_IFD_EXIF, EXIF_TAG_FOCAL_LENGTH, {{50, 1}});
    AddExifText(data, EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_LATITUDE_REF), "N");
    AddExifRationals(data, EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_LATITUDE),
                     {{35, 1}, {39, 1}, {2915, 100}});
    AddExifText(data, EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_LONGITUDE_REF), "E");
    AddExifRationals(data, EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_LONGITUDE),
                     {{139, 1}, {44, 1}, {4032, 100}});
    AddExifRationals(data, EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_TIME_STAMP),
                     {{1, 1}, {34, 1}, {56, 1}});
    AddExifText(data, EXIF_IFD_GPS, static_cast<ExifTag>(EXIF_TAG_GPS_DATE_STAMP), "2024:05:03");
    unsigned char* bytes = nullptr;
    unsigned int size = 0;
    exif_data_save_data(data, &bytes, &size);
    Require(bytes != nullptr);
    std::vector<std::uint8_t> block(bytes, bytes + size);
    std::free(bytes);
    exif_data_unref(data);
    return block;
}

void WriteOrientedJpeg(const std::filesystem::path& file, const Samples& samples, int orientation,
                       int quality) {
    WriteJpeg(file, samples, false, quality, ExifBlock(orientation));
}

// --- HEIF ---

void WriteHeif(const std::filesystem::path& file, const Samples& samples,
               const HeifOptions& options) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    RequireHeif(heif_context_get_encoder_for_format(
        context, options.av1 ? heif_compression_AV1 : heif_compression_HEVC, &encoder));
    if (options.lossless) {
        heif_encoder_set_lossless(encoder, 1);
    } else {
        heif_encoder_set_lossy_quality(encoder, options.quality);
    }
    // The fastest settings: fixtures are written for every test run.
    if (options.av1) {
        heif_encoder_set_parameter_integer(encoder, "speed", 9);
    } else {
        heif_encoder_set_parameter_string(encoder, "preset", "ultrafast");
    }
    const bool alpha = samples.components == 4;
    const bool deep = options.bitDepth > 8;
    heif_chroma chroma = alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB;
    if (deep) {
        chroma = alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE;
    }
    heif_image* image = nullptr;
    RequireHeif(
        heif_image_create(samples.width, samples.height, heif_colorspace_RGB, chroma, &image));
    RequireHeif(heif_image_add_plane(image, heif_channel_interleaved, samples.width, samples.height,
                                     options.bitDepth));
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    const std::size_t values = std::size_t(samples.width) * samples.components;
    for (int y = 0; y < samples.height; ++y) {
        const std::uint8_t* from = samples.data.data() + values * y;
        std::uint8_t* to = plane + std::size_t(stride) * y;
        for (std::size_t i = 0; i < values; ++i) {
            if (deep) {
                // The 8-bit value in the top bits of the deeper one: reduced back, it is itself.
                const int value = from[i] << (options.bitDepth - 8);
                to[2 * i] = static_cast<std::uint8_t>(value & 0xFF);
                to[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
            } else {
                to[i] = from[i];
            }
        }
    }
    if (!options.icc.empty()) {
        RequireHeif(heif_image_set_raw_color_profile(image, "prof", options.icc.data(),
                                                     options.icc.size()));
    }
    if (options.nclxPrimaries != 0) {
        heif_color_profile_nclx* nclx = heif_nclx_color_profile_alloc();
        RequireHeif(heif_nclx_color_profile_set_color_primaries(
            nclx, static_cast<std::uint16_t>(options.nclxPrimaries)));
        nclx->transfer_characteristics = heif_transfer_characteristic_IEC_61966_2_1;
        nclx->matrix_coefficients = heif_matrix_coefficients_ITU_R_BT_601_6;
        nclx->full_range_flag = 1;
        RequireHeif(heif_image_set_nclx_color_profile(image, nclx));
        heif_nclx_color_profile_free(nclx);
    }
    heif_encoding_options* encoding = heif_encoding_options_alloc();
    encoding->image_orientation = static_cast<heif_orientation>(options.orientation);
    heif_image_handle* handle = nullptr;
    RequireHeif(heif_context_encode_image(context, image, encoder, encoding, &handle));
    if (options.exifOrientation != 0 || options.cameraExif || !options.taken.empty()) {
        const std::vector<std::uint8_t> exif =
            options.cameraExif ? CameraExifBlock(std::max(options.exifOrientation, 1))
                               : ExifBlock(std::max(1, options.exifOrientation), false, options.taken);
        RequireHeif(heif_context_add_exif_metadata(context, handle, exif.data(), int(exif.size())));
    }
    RequireHeif(heif_context_write_to_file(context, file.c_str()));
    heif_image_handle_release(handle);
    heif_encoding_options_free(encoding);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
}

// --- WebP ---

void WriteWebp(const std::filesystem::path& file, const Samples& samples, bool lossless,
               int quality) {
    const bool alpha = samples.components == 4;
    const int stride = samples.width * samples.components;
    std::uint8_t* out = nullptr;
    std::size_t size = 0;
    if (lossless) {
        size = alpha ? WebPEncodeLosslessRGBA(samples.data.data(), samples.width, samples.height,
                                              stride, &out)
                     : WebPEncodeLosslessRGB(samples.data.data(), samples.width, samples.height,
                                             stride, &out);
    } else {
        size = alpha ? WebPEncodeRGBA(samples.data.data(), samples.width, samples.height, stride,
                                      float(quality), &out)
                     : WebPEncodeRGB(samples.data.data(), samples.width, samples.height, stride,
                                     float(quality), &out);
    }
    Require(size > 0);
    WriteBytes(file, std::string(reinterpret_cast<const char*>(out), size));
    WebPFree(out);
}

void AddWebpExif(const std::filesystem::path& file, const std::vector<std::uint8_t>& exif) {
    const std::string bytes = ReadBytes(file);
    const WebPData image{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
    WebPMux* mux = WebPMuxCreate(&image, 1);
    Require(mux != nullptr);
    // The chunk holds the TIFF header on, without the JPEG segment's "Exif\0\0".
    const WebPData chunk{exif.data() + 6, exif.size() - 6};
    Require(WebPMuxSetChunk(mux, "EXIF", &chunk, 1) == WEBP_MUX_OK);
    WebPData assembled;
    WebPDataInit(&assembled);
    Require(WebPMuxAssemble(mux, &assembled) == WEBP_MUX_OK);
    WriteBytes(file, std::string(reinterpret_cast<const char*>(assembled.bytes), assembled.size));
    WebPDataClear(&assembled);
    WebPMuxDelete(mux);
}

void WriteWebpFrameOnCanvas(const std::filesystem::path& file, const Samples& frame, int width,
                            int height, int left, int top) {
    std::uint8_t* still = nullptr;
    const std::size_t size = WebPEncodeLosslessRGBA(frame.data.data(), frame.width, frame.height,
                                                    frame.width * 4, &still);
    Require(size > 0);
    WebPMux* mux = WebPMuxNew();
    WebPMuxFrameInfo info{};
    info.bitstream = {still, size};
    info.x_offset = left;
    info.y_offset = top;
    info.duration = 100;
    info.id = WEBP_CHUNK_ANMF;
    info.dispose_method = WEBP_MUX_DISPOSE_NONE;
    info.blend_method = WEBP_MUX_BLEND;
    Require(WebPMuxPushFrame(mux, &info, 1) == WEBP_MUX_OK);
    Require(WebPMuxPushFrame(mux, &info, 1) == WEBP_MUX_OK); // a second frame: an animation
    Require(WebPMuxSetCanvasSize(mux, width, height) == WEBP_MUX_OK);
    const WebPMuxAnimParams animation{0, 0};
    Require(WebPMuxSetAnimationParams(mux, &animation) == WEBP_MUX_OK);
    WebPData assembled;
    WebPDataInit(&assembled);
    Require(WebPMuxAssemble(mux, &assembled) == WEBP_MUX_OK);
    WriteBytes(file, std::string(reinterpret_cast<const char*>(assembled.bytes), assembled.size));
    WebPDataClear(&assembled);
    WebPMuxDelete(mux);
    WebPFree(still);
}

void WriteAnimatedWebp(const std::filesystem::path& file, const std::vector<Samples>& frames) {
    WebPAnimEncoderOptions options;
    Require(WebPAnimEncoderOptionsInit(&options) != 0);
    const int width = frames.front().width;
    const int height = frames.front().height;
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(width, height, &options);
    Require(encoder != nullptr);
    int timestamp = 0;
    for (const Samples& frame : frames) {
        WebPConfig config;
        Require(WebPConfigInit(&config) != 0);
        config.lossless = 1;
        WebPPicture picture;
        Require(WebPPictureInit(&picture) != 0);
        picture.use_argb = 1;
        picture.width = width;
        picture.height = height;
        Require(WebPPictureImportRGBA(&picture, frame.data.data(), width * 4) != 0);
        Require(WebPAnimEncoderAdd(encoder, &picture, timestamp, &config) != 0);
        WebPPictureFree(&picture);
        timestamp += 100;
    }
    Require(WebPAnimEncoderAdd(encoder, nullptr, timestamp, nullptr) != 0);
    WebPData data;
    WebPDataInit(&data);
    Require(WebPAnimEncoderAssemble(encoder, &data) != 0);
    WriteBytes(file, std::string(reinterpret_cast<const char*>(data.bytes), data.size));
    WebPDataClear(&data);
    WebPAnimEncoderDelete(encoder);
}

// --- TIFF ---

namespace {

// The samples as the page stores them: at the page's depth, inverted on later pages.
std::vector<std::uint8_t> PageSamples(const Samples& samples, const TiffOptions& options,
                                      int page) {
    const std::size_t count = samples.data.size();
    std::vector<std::uint8_t> bytes(count * std::size_t(options.bits / 8));
    for (std::size_t i = 0; i < count; ++i) {
        const int value = page == 0 ? samples.data[i] : 255 - samples.data[i];
        if (options.bits == 8) {
            bytes[i] = static_cast<std::uint8_t>(value);
        } else if (options.bits == 16) {
            const auto wide = static_cast<std::uint16_t>(value * 257);
            std::memcpy(bytes.data() + 2 * i, &wide, 2);
        } else {
            const float real = float(value) / 255.0f;
            std::memcpy(bytes.data() + 4 * i, &real, 4);
        }
    }
    return bytes;
}

// A page; the camera's tags with it when it is given the place of an EXIF directory.
void WriteTiffPage(TIFF* tiff, const Samples& samples, const TiffOptions& options, int page,
                   toff_t exifDirectory) {
    const int n = samples.components;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, samples.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, samples.height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, options.bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, n);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT,
                 options.bits == 32 ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, options.compression);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, options.orientation);
    if (!options.icc.empty()) {
        TIFFSetField(tiff, TIFFTAG_ICCPROFILE, static_cast<std::uint32_t>(options.icc.size()),
                     options.icc.data());
    }
    if (n == 1) {
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    } else if (n == 4 && options.cmyk) {
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED);
        TIFFSetField(tiff, TIFFTAG_INKSET, INKSET_CMYK);
    } else {
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        if (n == 4) {
            const std::uint16_t kinds[] = {EXTRASAMPLE_UNASSALPHA};
            TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, kinds);
        }
    }
    if (exifDirectory != 0) {
        TIFFSetField(tiff, TIFFTAG_MAKE, "Pirela");
        TIFFSetField(tiff, TIFFTAG_MODEL, "Test Camera");
        TIFFSetField(tiff, TIFFTAG_DATETIME, kCameraDateTime);
        TIFFSetField(tiff, TIFFTAG_EXIFIFD, exifDirectory);
    }
    if (options.pages > 1) {
        TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tiff, TIFFTAG_PAGENUMBER, page, options.pages);
    }
    const std::vector<std::uint8_t> bytes = PageSamples(samples, options, page);
    const std::size_t row = std::size_t(samples.width) * n * (options.bits / 8);
    if (!options.tiled) {
        constexpr int kRows = 8;
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, kRows);
        for (int y = 0, strip = 0; y < samples.height; y += kRows, ++strip) {
            const int rows = std::min(kRows, samples.height - y);
            Require(TIFFWriteEncodedStrip(tiff, strip,
                                          const_cast<std::uint8_t*>(bytes.data()) + row * y,
                                          tmsize_t(row * rows)) >= 0);
        }
        return;
    }
    constexpr int kTile = 16;
    TIFFSetField(tiff, TIFFTAG_TILEWIDTH, kTile);
    TIFFSetField(tiff, TIFFTAG_TILELENGTH, kTile);
    const std::size_t pixel = std::size_t(n) * (options.bits / 8);
    std::vector<std::uint8_t> tile(kTile * kTile * pixel);
    for (int ty = 0; ty < samples.height; ty += kTile) {
        for (int tx = 0; tx < samples.width; tx += kTile) {
            std::fill(tile.begin(), tile.end(), 0);
            for (int y = ty; y < std::min(ty + kTile, samples.height); ++y) {
                const int columns = std::min(kTile, samples.width - tx);
                std::memcpy(tile.data() + (y - ty) * kTile * pixel,
                            bytes.data() + row * y + tx * pixel, columns * pixel);
            }
            Require(TIFFWriteTile(tiff, tile.data(), std::uint32_t(tx), std::uint32_t(ty), 0, 0) >=
                    0);
        }
    }
}

// The EXIF directory a camera writes beside the first one: when the shot was taken and how.
// Written before any other, so that the first directory can point to it.
toff_t WriteExifDirectory(TIFF* tiff) {
    Require(TIFFCreateEXIFDirectory(tiff) == 0);
    TIFFSetField(tiff, EXIFTAG_DATETIMEORIGINAL, kCameraDateTime);
    TIFFSetField(tiff, EXIFTAG_DATETIMEDIGITIZED, kCameraDateTime);
    TIFFSetField(tiff, EXIFTAG_EXPOSURETIME, 1.0 / 250);
    TIFFSetField(tiff, EXIFTAG_FNUMBER, 2.8);
    const std::uint16_t iso[] = {400};
    TIFFSetField(tiff, EXIFTAG_ISOSPEEDRATINGS, 1, iso);
    toff_t offset = 0;
    Require(TIFFWriteCustomDirectory(tiff, &offset) == 1);
    TIFFFreeDirectory(tiff); // its values: a new directory would forget them unfreed
    Require(TIFFCreateDirectory(tiff) == 0);
    return offset;
}

} // namespace

void WriteTiff(const std::filesystem::path& file, const Samples& samples,
               const TiffOptions& options) {
    TIFF* tiff = TIFFOpen(file.c_str(), "w");
    Require(tiff != nullptr);
    const toff_t exif = options.cameraExif ? WriteExifDirectory(tiff) : 0;
    for (int page = 0; page < options.pages; ++page) {
        WriteTiffPage(tiff, samples, options, page, page == 0 ? exif : 0);
        Require(TIFFWriteDirectory(tiff) == 1);
    }
    TIFFClose(tiff);
}

// --- GIF ---

void WriteGif(const std::filesystem::path& file, const GifFrame& frame) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(file.c_str(), false, &error);
    Require(gif != nullptr);
    EGifSetGifVersion(gif, true);
    const int colours = int(frame.palette.size() / 3);
    ColorMapObject* map =
        GifMakeMapObject(colours, reinterpret_cast<const GifColorType*>(frame.palette.data()));
    Require(map != nullptr);
    int depth = 1;
    while ((1 << depth) < colours) {
        ++depth;
    }
    Require(EGifPutScreenDesc(gif, frame.screenWidth, frame.screenHeight, depth, 0, map) == GIF_OK);
    for (int f = 0; f < frame.frames; ++f) {
        if (frame.transparent >= 0) {
            GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 10, frame.transparent};
            GifByteType extension[4];
            const std::size_t length = EGifGCBToExtension(&control, extension);
            Require(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) ==
                    GIF_OK);
        }
        Require(EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height,
                                 frame.interlaced, nullptr) == GIF_OK);
        std::vector<int> order;
        if (frame.interlaced) {
            for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
                for (int y = start; y < frame.height; y += step) {
                    order.push_back(y);
                }
            }
        } else {
            for (int y = 0; y < frame.height; ++y) {
                order.push_back(y);
            }
        }
        std::vector<GifPixelType> line(std::size_t(frame.width));
        for (const int y : order) {
            for (int x = 0; x < frame.width; ++x) {
                line[std::size_t(x)] = static_cast<GifPixelType>(
                    (frame.indices[std::size_t(y) * frame.width + x] + f) % colours);
            }
            Require(EGifPutLine(gif, line.data(), frame.width) == GIF_OK);
        }
    }
    GifFreeMapObject(map);
    Require(EGifCloseFile(gif, &error) == GIF_OK);
}

GifAnimationFrame FilledGifFrame(int left, int top, int width, int height, std::uint8_t index,
                                 int delayCs, int disposal) {
    return {left,
            top,
            width,
            height,
            std::vector<std::uint8_t>(std::size_t(width) * height, index),
            delayCs,
            disposal};
}

void WriteAnimatedGif(const std::filesystem::path& file, int screenWidth, int screenHeight,
                      const std::vector<std::uint8_t>& palette,
                      const std::vector<GifAnimationFrame>& frames, int loops) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(file.c_str(), false, &error);
    Require(gif != nullptr);
    EGifSetGifVersion(gif, true);
    const int colours = int(palette.size() / 3);
    ColorMapObject* map =
        GifMakeMapObject(colours, reinterpret_cast<const GifColorType*>(palette.data()));
    Require(map != nullptr);
    Require(EGifPutScreenDesc(gif, screenWidth, screenHeight, 8, 0, map) == GIF_OK);
    if (loops >= 0) {
        const GifByteType netscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        const GifByteType count[] = {1, GifByteType(loops & 0xFF), GifByteType(loops >> 8)};
        Require(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK);
        Require(EGifPutExtensionBlock(gif, sizeof netscape, netscape) == GIF_OK);
        Require(EGifPutExtensionBlock(gif, sizeof count, count) == GIF_OK);
        Require(EGifPutExtensionTrailer(gif) == GIF_OK);
    }
    for (const GifAnimationFrame& frame : frames) {
        GraphicsControlBlock control{frame.disposal, false, frame.delayCs, frame.transparent};
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&control, extension);
        Require(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) == GIF_OK);
        Require(EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, false,
                                 nullptr) == GIF_OK);
        for (int y = 0; y < frame.height; ++y) {
            auto* row =
                const_cast<GifPixelType*>(frame.indices.data()) + std::size_t(y) * frame.width;
            Require(EGifPutLine(gif, row, frame.width) == GIF_OK);
        }
    }
    GifFreeMapObject(map);
    Require(EGifCloseFile(gif, &error) == GIF_OK);
}

// --- DNG ---

void WriteDng(const std::filesystem::path& file, const std::string& previewJpeg, int orientation) {
    TIFF* tiff = TIFFOpen(file.c_str(), "w");
    Require(tiff != nullptr);
    const toff_t exif = WriteExifDirectory(tiff);
    const auto common = [tiff](int width, int height, int bits, int samples, int photometric,
                               int compression) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, compression);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, height);
    };
    // The first directory: a small thumbnail, the camera and the orientation.
    const int subIfds = previewJpeg.empty() ? 1 : 2;
    TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
    common(64, 48, 8, 3, PHOTOMETRIC_RGB, COMPRESSION_NONE);
    TIFFSetField(tiff, TIFFTAG_MAKE, "Pirela");
    TIFFSetField(tiff, TIFFTAG_MODEL, "Test Camera");
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, orientation);
    TIFFSetField(tiff, TIFFTAG_DATETIME, kCameraDateTime);
    TIFFSetField(tiff, TIFFTAG_EXIFIFD, exif);
    static const std::uint8_t kVersion[4] = {1, 4, 0, 0};
    TIFFSetField(tiff, TIFFTAG_DNGVERSION, kVersion);
    TIFFSetField(tiff, TIFFTAG_UNIQUECAMERAMODEL, "Pirela Test Camera");
    toff_t offsets[2] = {0, 0};
    TIFFSetField(tiff, TIFFTAG_SUBIFD, subIfds, offsets);
    std::vector<std::uint8_t> thumbnail(64 * 48 * 3, 128);
    Require(TIFFWriteEncodedStrip(tiff, 0, thumbnail.data(), tmsize_t(thumbnail.size())) >= 0);
    Require(TIFFWriteDirectory(tiff) == 1);
    // The raw data: a flat mosaic behind a red-green-green-blue pattern.
    constexpr int kRawWidth = 128;
    constexpr int kRawHeight = 96;
    TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, 0);
    common(kRawWidth, kRawHeight, 16, 1, PHOTOMETRIC_CFA, COMPRESSION_NONE);
    static const std::uint16_t kDimensions[2] = {2, 2};
    TIFFSetField(tiff, TIFFTAG_CFAREPEATPATTERNDIM, kDimensions);
    static const std::uint8_t kPattern[4] = {0, 1, 1, 2};
    TIFFSetField(tiff, TIFFTAG_CFAPATTERN, 4, kPattern);
    std::vector<std::uint16_t> mosaic(kRawWidth * kRawHeight, 1000);
    Require(TIFFWriteEncodedStrip(tiff, 0, mosaic.data(), tmsize_t(mosaic.size() * 2)) >= 0);
    Require(TIFFWriteDirectory(tiff) == 1);
    // The preview, its JPEG stream as the one strip.
    if (!previewJpeg.empty()) {
        TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
        common(kRawWidth, kRawHeight, 8, 3, PHOTOMETRIC_YCBCR, COMPRESSION_JPEG);
        Require(TIFFWriteRawStrip(tiff, 0, const_cast<char*>(previewJpeg.data()),
                                  tmsize_t(previewJpeg.size())) >= 0);
        Require(TIFFWriteDirectory(tiff) == 1);
    }
    TIFFClose(tiff);
}

} // namespace pirela::test
