#include "app/EarlyDecode.h"
#include "support/ImageFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace pirela {
namespace {

class EarlyDecodeTest : public ::testing::Test {
protected:
    void SetUp() override { test::WriteJpeg(photo_, test::PhotoLike(1600, 1200, 3), false); }
    void WriteSettings(const std::string& text) { std::ofstream(ini_) << text; }

    test::TempDir dir_;
    const std::filesystem::path photo_ = dir_ / "photo.jpg";
    const std::filesystem::path ini_ = dir_ / "pirela.ini";
};

TEST_F(EarlyDecodeTest, TheSavedWindowAndZoomChooseThePreviewBeforeAnythingElseExists) {
    WriteSettings("[WINDOW]\nLEFT=0\nTOP=0\nRIGHT=400\nBOTTOM=300\n[OPTIONS]\nRATE=0\n");
    const auto fitted = StartEarlyDecode({photo_.string()}, ini_);
    ASSERT_NE(fitted, nullptr);
    ASSERT_NE(fitted->WaitForPreview(), nullptr);
    EXPECT_EQ(fitted->WaitForPreview()->Width(), 400); // a quarter of 1600, fitting 400 x 300

    WriteSettings("[WINDOW]\nRIGHT=400\nBOTTOM=300\n[OPTIONS]\nRATE=100\n");
    EXPECT_EQ(StartEarlyDecode({photo_.string()}, ini_)->WaitForPreview(), nullptr);

    // A maximised window's size comes later, with the screen's.
    WriteSettings("[WINDOW]\nRIGHT=400\nBOTTOM=300\nMAX=1\n[OPTIONS]\nRATE=0\n");
    const auto maximised = StartEarlyDecode({photo_.string()}, ini_);
    maximised->SetPlan(ViewPlan{0, 0, {800, 600}});
    EXPECT_EQ(maximised->WaitForPreview()->Width(), 800);

    // Made under the saved options, so that the document can take it as it is.
    WriteSettings("[OPTIONS]\nAPPLYORIENTATION=0\n");
    EXPECT_FALSE(StartEarlyDecode({photo_.string()}, ini_)->Settings().applyOrientation);

    EXPECT_EQ(StartEarlyDecode({dir_.Path().string()}, ini_), nullptr); // a folder
    EXPECT_EQ(StartEarlyDecode({(dir_ / "missing.jpg").string()}, ini_), nullptr);
    EXPECT_EQ(StartEarlyDecode({}, ini_), nullptr);
}

TEST_F(EarlyDecodeTest, WithoutAPathThePhotoOfTheLastExitDecodesUnlessTheUserSaidNo) {
    WriteSettings("[LASTVIEW]\nFOLDER=" + dir_.Path().string() + "\nIMAGE=" + photo_.string() +
                  "\n");
    const auto last = StartEarlyDecode({}, ini_);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->Path(), photo_.string());
    WriteSettings("[OPTIONS]\nOPENLAST=0\n[LASTVIEW]\nIMAGE=" + photo_.string() + "\n");
    EXPECT_EQ(StartEarlyDecode({}, ini_), nullptr);
}

} // namespace
} // namespace pirela
