#include "colour/ColourProfile.h"
#include "colour/ColourTransform.h"
#include "colour/DisplayProfile.h"
#include "image/ImageDecoder.h"
#include "load/DecodeJob.h"
#include "sandbox/DecoderPool.h"
#include "support/CameraFixtures.h"
#include "support/ColourFixtures.h"
#include "support/ImageFixtures.h"
#include "support/TempDir.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using Rgb = std::array<int, 3>;

// Flat patches of colours a photo holds: saturated ones, which the gamuts move most, greys and
// the ends of the scale.
const std::vector<Rgb> kPatchColours{{90, 160, 90},   {200, 30, 40},   {20, 60, 220},
                                     {250, 220, 30},  {128, 128, 128}, {5, 5, 5},
                                     {255, 255, 255}, {60, 20, 90}};
constexpr int kPatch = 16;

test::Samples Patches() {
    test::Samples samples{kPatch * static_cast<int>(kPatchColours.size()), kPatch, 3, {}};
    samples.data.resize(std::size_t(samples.width) * samples.height * 3);
    for (int y = 0; y < samples.height; ++y) {
        for (int x = 0; x < samples.width; ++x) {
            const Rgb& colour = kPatchColours[std::size_t(x / kPatch)];
            for (int c = 0; c < 3; ++c) {
                samples.Row(y)[x * 3 + c] = static_cast<std::uint8_t>(colour[std::size_t(c)]);
            }
        }
    }
    return samples;
}

// The colour at the middle of each patch, as red, green, blue.
std::vector<Rgb> PatchCentres(const Bitmap& bitmap) {
    std::vector<Rgb> centres;
    const int bytes = bitmap.BitCount() / 8;
    for (std::size_t i = 0; i < kPatchColours.size(); ++i) {
        const std::uint8_t* pixel =
            bitmap.PictureRow(kPatch / 2) + (int(i) * kPatch + kPatch / 2) * bytes;
        centres.push_back({pixel[2], pixel[1], pixel[0]});
    }
    return centres;
}

// What LittleCMS's own command-line calculator makes of the colours, from the profile to sRGB
// with the perceptual intent and black-point compensation, rounded and held to 0..255.
std::vector<Rgb> Transicc(const fs::path& profile, const std::vector<Rgb>& colours,
                          const fs::path& work) {
    const fs::path input = work / "transicc-in.txt";
    {
        std::ofstream out(input);
        for (const Rgb& colour : colours) {
            out << colour[0] << ' ' << colour[1] << ' ' << colour[2] << '\n';
        }
    }
    const std::string command = "transicc -i '" + profile.string() + "' -o '*sRGB' -t0 -b -n < '" +
                                input.string() + "' 2>/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::vector<Rgb> results;
    double red = 0, green = 0, blue = 0;
    while (pipe != nullptr && std::fscanf(pipe, "%lf %lf %lf", &red, &green, &blue) == 3) {
        const auto channel = [](double value) {
            return static_cast<int>(std::clamp(value, 0.0, 255.0) + 0.5);
        };
        results.push_back({channel(red), channel(green), channel(blue)});
    }
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    return results;
}

struct TaggedFile {
    const char* format;
    ImageFormat decoder;
    void (*write)(const fs::path& file, const std::vector<std::uint8_t>& icc);
};

const TaggedFile kFiles[]{
    {"jpg", ImageFormat::Jpeg,
     [](const fs::path& file, const std::vector<std::uint8_t>& icc) {
         test::WriteJpeg(file, Patches(), false, 100);
         test::EmbedIccInJpeg(file, icc, 200); // a small profile across several segments
     }},
    {"png", ImageFormat::Png,
     [](const fs::path& file, const std::vector<std::uint8_t>& icc) {
         test::PngImage png = test::PngFromSamples(Patches());
         png.icc = icc;
         png.gamma = 1.0; // beside a profile, a gamma must not change the samples
         test::WritePng(file, png);
     }},
    {"heic", ImageFormat::Heif,
     [](const fs::path& file, const std::vector<std::uint8_t>& icc) {
         test::HeifOptions options;
         options.icc = icc;
         test::WriteHeif(file, Patches(), options);
     }},
    {"webp", ImageFormat::WebP,
     [](const fs::path& file, const std::vector<std::uint8_t>& icc) {
         test::WriteWebp(file, Patches(), true);
         test::EmbedIccInWebp(file, icc);
     }},
    {"tif", ImageFormat::Tiff,
     [](const fs::path& file, const std::vector<std::uint8_t>& icc) {
         test::TiffOptions options;
         options.icc = icc;
         test::WriteTiff(file, Patches(), options);
     }},
};

class TaggedPhotoTest : public ::testing::TestWithParam<TaggedFile> {
protected:
    static void SetUpTestSuite() { DecoderPool::Shared().SetProgram(PIRELA_DECODER_PROGRAM); }
    test::TempDir dir_;
};

// Each format's profile comes with its bitmap (HEIC, WebP and TIFF from the decoder helper),
// and the picture shown at 100 % has the colours LittleCMS's calculator gives for the stored
// ones, within two steps.
TEST_P(TaggedPhotoTest, ShowsTheColoursTheProfileDescribes) {
    const TaggedFile& kind = GetParam();
    for (const auto& [name, icc] :
         {std::pair{"adobe", test::AdobeRgbProfile()}, std::pair{"p3", test::DisplayP3Profile()}}) {
        SCOPED_TRACE(name);
        const fs::path file = dir_ / (std::string(name) + "." + kind.format);
        const fs::path profile = dir_ / (std::string(name) + ".icc");
        kind.write(file, icc);
        test::WriteProfile(profile, icc);

        const auto stored = PatchCentres(*DecodeImageFile(file, kind.decoder));
        const DecodeJob job(file, kind.decoder, false, ViewPlan{100, 0, {400, 300}});
        const Bitmap* bitmap = job.WaitForShownBitmap();
        ASSERT_TRUE(bitmap);
        ASSERT_TRUE(bitmap->Colour());
        EXPECT_EQ(bitmap->Colour()->icc, icc);
        const std::vector<Rgb> shown = PatchCentres(*bitmap);
        const std::vector<Rgb> expected = Transicc(profile, stored, dir_.Path());
        ASSERT_EQ(expected.size(), stored.size()) << "transicc (liblcms2-utils) gave no answer";
        for (std::size_t i = 0; i < shown.size(); ++i) {
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(shown[i][c], expected[i][c], 2)
                    << "patch " << i << " channel " << c << " stored " << stored[i][c];
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, TaggedPhotoTest, ::testing::ValuesIn(kFiles),
                         [](const auto& info) { return std::string(info.param.format); });

TEST(ColourTransformTest, NothingToConvertForSrgbUnreadableOrOtherColours) {
    ColourDescription srgb;
    srgb.srgb = true;
    ColourDescription garbage;
    garbage.icc.assign(500, 0x5A);
    ColourDescription lab; // a profile of other colours than the picture's RGB
    const std::string itu = test::ReadBytes("/usr/share/color/icc/ITULab.icc");
    lab.icc.assign(itu.begin(), itu.end());
    const auto display = ColourProfile::Srgb();
    EXPECT_EQ(ColourTransform::ToDisplay(srgb, display), nullptr);
    EXPECT_EQ(ColourTransform::ToDisplay(garbage, display), nullptr);
    EXPECT_EQ(ColourTransform::ToDisplay(lab, display), nullptr);
    EXPECT_EQ(ColourTransform::ToDisplay(ColourDescription{}, display), nullptr);
    // Built once per pair: the second request gives the very same transform.
    ColourDescription adobe;
    adobe.icc = test::AdobeRgbProfile();
    const auto first = ColourTransform::ToDisplay(adobe, display);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ColourTransform::ToDisplay(adobe, display), first);
}

TEST(ColourProfileTest, NamesTheColourSpacesUsersKnow) {
    ColourDescription adobe;
    adobe.icc = test::AdobeRgbProfile();
    ColourDescription p3;
    p3.icc = test::DisplayP3Profile();
    ColourDescription srgb;
    srgb.srgb = true;
    ColourDescription nclxP3; // a phone's HEIC naming its primaries
    nclxP3.primaries = Chromaticities{0.3127, 0.3290, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060};
    ColourDescription compatible; // another maker's Adobe RGB under another name
    const std::string bytes =
        test::ReadBytes("/usr/share/color/icc/compatibleWithAdobeRGB1998.icc");
    compatible.icc.assign(bytes.begin(), bytes.end());
    ColourDescription proPhoto;
    const std::string wide = test::ReadBytes("/usr/share/color/icc/colord/ProPhotoRGB.icc");
    proPhoto.icc.assign(wide.begin(), wide.end());
    ColourDescription garbage;
    garbage.icc.assign(300, 1);

    EXPECT_EQ(ColourProfileName(&adobe), "Adobe RGB (1998)");
    EXPECT_EQ(ColourProfileName(&compatible), "Adobe RGB (1998)");
    EXPECT_EQ(ColourProfileName(&p3), "Display P3");
    EXPECT_EQ(ColourProfileName(&nclxP3), "Display P3");
    EXPECT_EQ(ColourProfileName(&srgb), "sRGB");
    EXPECT_EQ(ColourProfileName(&proPhoto), "ProPhoto RGB");
    EXPECT_EQ(ColourProfileName(&garbage), "");
    EXPECT_EQ(ColourProfileName(nullptr), "");
}

} // namespace
} // namespace pirela
