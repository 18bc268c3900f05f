#include "support/ColourFixtures.h"

#include "support/ImageFixtures.h"

#include <algorithm>
#include <cstdlib>
#include <lcms2.h>
#include <string>
#include <webp/mux.h>

namespace pirela::test {

namespace {

void Require(bool ok) {
    if (!ok) {
        std::abort(); // a fixture that cannot be written makes every check after it moot
    }
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

} // namespace

std::vector<std::uint8_t> AdobeRgbProfile() {
    auto icc = Bytes(ReadBytes("/usr/share/color/icc/colord/AdobeRGB1998.icc"));
    Require(!icc.empty());
    return icc;
}

std::vector<std::uint8_t> DisplayP3Profile() {
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
    const cmsFloat64Number srgb[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgb);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    Require(profile != nullptr);
    cmsMLU* description = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(description, "en", "US", "Display P3");
    cmsWriteTag(profile, cmsSigProfileDescriptionTag, description);
    cmsMLUfree(description);
    cmsUInt32Number bytes = 0;
    Require(cmsSaveProfileToMem(profile, nullptr, &bytes) != 0);
    std::vector<std::uint8_t> icc(bytes);
    Require(cmsSaveProfileToMem(profile, icc.data(), &bytes) != 0);
    cmsCloseProfile(profile);
    return icc;
}

void WriteProfile(const std::filesystem::path& file, const std::vector<std::uint8_t>& icc) {
    WriteBytes(file, std::string(icc.begin(), icc.end()));
}

void EmbedIccInJpeg(const std::filesystem::path& file, const std::vector<std::uint8_t>& icc,
                    std::size_t pieceBytes) {
    const std::string jpeg = ReadBytes(file);
    Require(jpeg.size() > 2);
    const std::size_t pieces = (icc.size() + pieceBytes - 1) / pieceBytes;
    Require(pieces > 0 && pieces < 256);
    std::string segments;
    for (std::size_t piece = 0; piece < pieces; ++piece) {
        const std::size_t from = piece * pieceBytes;
        const std::size_t size = std::min(pieceBytes, icc.size() - from);
        const std::size_t length = 2 + 12 + 2 + size; // length field, signature, numbers
        segments += "\xFF\xE2";
        segments += static_cast<char>(length >> 8);
        segments += static_cast<char>(length & 0xFF);
        segments += std::string("ICC_PROFILE\0", 12);
        segments += static_cast<char>(piece + 1);
        segments += static_cast<char>(pieces);
        segments.append(reinterpret_cast<const char*>(icc.data()) + from, size);
    }
    // After the JFIF segment, where encoders put it.
    std::size_t at = 2;
    if (jpeg.size() > 6 && jpeg.compare(2, 2, "\xFF\xE0") == 0) {
        at += 2 + (std::size_t(std::uint8_t(jpeg[4])) << 8 | std::uint8_t(jpeg[5]));
    }
    WriteBytes(file, jpeg.substr(0, at) + segments + jpeg.substr(at));
}

void EmbedIccInWebp(const std::filesystem::path& file, const std::vector<std::uint8_t>& icc) {
    const std::string webp = ReadBytes(file);
    const WebPData input{reinterpret_cast<const std::uint8_t*>(webp.data()), webp.size()};
    WebPMux* mux = WebPMuxCreate(&input, 1);
    Require(mux != nullptr);
    const WebPData profile{icc.data(), icc.size()};
    Require(WebPMuxSetChunk(mux, "ICCP", &profile, 1) == WEBP_MUX_OK);
    WebPData output;
    WebPDataInit(&output);
    Require(WebPMuxAssemble(mux, &output) == WEBP_MUX_OK);
    WriteBytes(file, std::string(reinterpret_cast<const char*>(output.bytes), output.size));
    WebPDataClear(&output);
    WebPMuxDelete(mux);
}

} // namespace pirela::test
