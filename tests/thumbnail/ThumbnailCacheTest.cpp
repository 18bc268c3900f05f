// The desktop's thumbnail cache: names, the PNG's fields (against PNGs that libpng writes here
// directly, as another program would), freshness, failure records and the atomic writes.
#include "thumbnail/ThumbnailCache.h"

#include "support/ImageFixtures.h"
#include "support/TempDir.h"
#include "thumbnail/FileUri.h"
#include "thumbnail/Md5.h"

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <png.h>
#include <sys/stat.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using test::PngImage;
using test::PngText;

TEST(ThumbnailNameTest, FollowsTheStandardsExampleAndEscapesAsTheDesktopDoes) {
    const ThumbnailCache cache("/home/jens/.cache/thumbnails", "pirela-test");
    EXPECT_EQ(cache.PathOf(ThumbnailSize::Normal, FileUri("/home/jens/photos/me.png")),
              "/home/jens/.cache/thumbnails/normal/c6ee772d9e49320e97ec29a7eb5b1697.png");
    EXPECT_EQ(cache.PathOf(ThumbnailSize::XLarge, "x").parent_path().filename(), "x-large");
    // As GLib's g_filename_to_uri spells it: the file managers' thumbnails are then ours.
    EXPECT_EQ(FileUri("/tmp/a b#c%d?e+f&g[h]@i,j;k=l$m!~*'()\xe5\x86\x99\x7f\x01\"<>\\^`{|}"),
              "file:///tmp/a%20b%23c%25d%3Fe+f&g%5Bh%5D@i,j%3Bk=l$m!~*'()%E5%86%99%7F%01%22%3C%3E"
              "%5C%5E%60%7B%7C%7D");
    EXPECT_EQ(RelativeFileUri("a b.jpg"), "./a%20b.jpg");
    EXPECT_EQ(CanonicalAbsolutePath("a/./b//../c.jpg", "/home/u"), "/home/u/a/c.jpg");
    EXPECT_EQ(CanonicalAbsolutePath("/../x/..", "/"), "/");
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(ThumbnailNameTest, SizeFolderFollowsTheBox) {
    EXPECT_EQ(SizeForBox(100), ThumbnailSize::Normal);
    EXPECT_EQ(SizeForBox(128), ThumbnailSize::Normal);
    EXPECT_EQ(SizeForBox(129), ThumbnailSize::Large);
    EXPECT_EQ(SizeForBox(512), ThumbnailSize::XLarge);
    EXPECT_EQ(SizeForBox(5000), ThumbnailSize::XXLarge);
}

TEST(ThumbnailNameTest, DefaultRootTakesOnlyAnAbsoluteCacheFolder) {
    const char* saved = std::getenv("XDG_CACHE_HOME");
    const std::string keep = saved != nullptr ? saved : "";
    ::setenv("XDG_CACHE_HOME", "/c", 1);
    EXPECT_EQ(ThumbnailCache::DefaultRoot(), "/c/thumbnails");
    ::setenv("XDG_CACHE_HOME", "relative", 1);
    EXPECT_EQ(ThumbnailCache::DefaultRoot(),
              fs::path(std::getenv("HOME")) / ".cache" / "thumbnails");
    saved != nullptr ? ::setenv("XDG_CACHE_HOME", keep.c_str(), 1) : ::unsetenv("XDG_CACHE_HOME");
}

// A 3 x 2 picture in each layout another program may write, with the fields in every kind of
// text chunk, before and after the picture data.
PngImage ForeignThumbnail(int colourType, int bitDepth, bool interlaced) {
    PngImage image;
    image.width = 3;
    image.height = 2;
    image.colourType = colourType;
    image.bitDepth = bitDepth;
    image.interlaced = interlaced;
    const int channels = colourType == PNG_COLOR_TYPE_RGB          ? 3
                         : colourType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                         : colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                   : 1;
    // Row 0: red-ish, row 1: grey-ish; palette and grey pictures use the index/level.
    for (int y = 0; y < 2; ++y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < 3; ++x) {
            for (int c = 0; c < channels; ++c) {
                const std::uint8_t value =
                    colourType == PNG_COLOR_TYPE_PALETTE ? std::uint8_t(y)
                    : c == channels - 1 && (colourType & PNG_COLOR_MASK_ALPHA)
                        ? std::uint8_t(255 - 100 * x)
                        : std::uint8_t(y == 0 && c == 0 ? 200 : 50 + 10 * x);
                row.push_back(value);
                if (bitDepth == 16) {
                    row.push_back(value);
                }
            }
        }
        image.rows.push_back(row);
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        image.palette = {200, 10, 20, 30, 40, 50};
        // packed 8-bit indices only
    }
    image.texts = {{"Thumb::URI", "file:///p/a.jpg", PngText::Kind::Plain, false},
                   {"Thumb::MTime", "1700000000", PngText::Kind::Compressed, true},
                   {"Thumb::Size", "12345", PngText::Kind::International, false},
                   {"Thumb::Image::Width", "6000", PngText::Kind::Plain, true},
                   {"Thumb::Image::Height", "4000", PngText::Kind::Plain, true},
                   {"Software", "KDE Thumbnail Generator", PngText::Kind::Plain, false}};
    return image;
}

TEST(ThumbnailPngTest, ReadsAnotherProgramsThumbnailsInEveryLayout) {
    test::TempDir dir;
    struct Layout {
        int colourType;
        int bitDepth;
        bool interlaced;
    };
    for (const Layout layout :
         {Layout{PNG_COLOR_TYPE_RGB, 8, false}, Layout{PNG_COLOR_TYPE_RGB, 16, true},
          Layout{PNG_COLOR_TYPE_PALETTE, 8, false}, Layout{PNG_COLOR_TYPE_GRAY, 8, true},
          Layout{PNG_COLOR_TYPE_RGB_ALPHA, 8, false}}) {
        SCOPED_TRACE(layout.colourType * 100 + layout.bitDepth);
        test::WritePng(dir / "t.png",
                       ForeignThumbnail(layout.colourType, layout.bitDepth, layout.interlaced));
        const auto read = ReadThumbnailPngFile(dir / "t.png");
        ASSERT_TRUE(read);
        EXPECT_EQ(read->fields.uri, "file:///p/a.jpg");
        EXPECT_EQ(read->fields.mtime, 1700000000);
        EXPECT_EQ(read->fields.size, 12345);
        EXPECT_EQ(read->fields.imageWidth, 6000);
        EXPECT_EQ(read->fields.imageHeight, 4000);
        EXPECT_EQ(read->fields.software, "KDE Thumbnail Generator");
        ASSERT_EQ(read->picture.width, 3);
        ASSERT_EQ(read->picture.height, 2);
        const std::uint32_t first = read->picture.pixels[0];
        const std::uint32_t grey = read->picture.pixels[4];
        switch (layout.colourType) {
        case PNG_COLOR_TYPE_GRAY:
            EXPECT_EQ(first, 0xFFC8C8C8u); // 200 grey
            EXPECT_EQ(grey, 0xFF3C3C3Cu);  // 60 grey
            break;
        case PNG_COLOR_TYPE_PALETTE:
            EXPECT_EQ(first, 0xFFC80A14u);
            EXPECT_EQ(grey, 0xFF1E2832u);
            break;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            EXPECT_TRUE(read->picture.hasAlpha);
            EXPECT_EQ(first, 0xFFC83232u);
            EXPECT_EQ(read->picture.pixels[2], 0x372B0F0Fu); // alpha 55, colours premultiplied
            break;
        default:
            EXPECT_FALSE(read->picture.hasAlpha);
            EXPECT_EQ(first, 0xFFC83232u);
            EXPECT_EQ(grey, 0xFF3C3C3Cu);
        }
    }
}

TEST(ThumbnailPngTest, WritesWhatOtherProgramsExpect) {
    test::TempDir dir;
    // One opaque and one translucent pixel, as the picture keeps them (premultiplied).
    const ScaledPicture picture{2, 1, true, {0xFF102030u, 0x80204060u}};
    ThumbnailFields fields;
    fields.uri = "file:///p/a%20b.jpg";
    fields.mtime = -5;
    fields.size = 0;
    fields.mimeType = "image/jpeg";
    std::FILE* out = std::fopen((dir / "t.png").c_str(), "wb");
    ASSERT_TRUE(WriteThumbnailPng(out, picture, fields));
    std::fclose(out);

    // Read back by libpng itself: 8-bit RGBA, not interlaced, straight colours, the fields as
    // text.
    std::FILE* in = std::fopen((dir / "t.png").c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    ASSERT_EQ(setjmp(png_jmpbuf(png)), 0);
    png_init_io(png, in);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    EXPECT_EQ(png_get_color_type(png, info), PNG_COLOR_TYPE_RGB_ALPHA);
    EXPECT_EQ(png_get_bit_depth(png, info), 8);
    EXPECT_EQ(png_get_interlace_type(png, info), PNG_INTERLACE_NONE);
    const png_bytepp rows = png_get_rows(png, info);
    EXPECT_EQ(std::vector<int>(rows[0], rows[0] + 8),
              (std::vector<int>{0x10, 0x20, 0x30, 0xFF, 0x3F, 0x7F, 0xBF, 0x80}));
    png_textp texts = nullptr;
    const int count = png_get_text(png, info, &texts, nullptr);
    std::map<std::string, std::string> found;
    for (int i = 0; i < count; ++i) {
        found[texts[i].key] = texts[i].text;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(in);
    EXPECT_EQ(found, (std::map<std::string, std::string>{{"Thumb::URI", "file:///p/a%20b.jpg"},
                                                         {"Thumb::MTime", "-5"},
                                                         {"Thumb::Size", "0"},
                                                         {"Thumb::Mimetype", "image/jpeg"}}));
    const auto back = ReadThumbnailPngFile(dir / "t.png");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->fields, fields);
}

TEST(ThumbnailPngTest, RefusesWhatIsNoThumbnail) {
    test::TempDir dir;
    PngImage image = ForeignThumbnail(PNG_COLOR_TYPE_RGB, 8, false);
    image.texts = {{"Thumb::MTime", "17e8"}, {"Thumb::Size", "-3"}, {"Thumb::Image::Width", "x"}};
    test::WritePng(dir / "odd.png", image);
    const auto odd = ReadThumbnailPngFile(dir / "odd.png");
    ASSERT_TRUE(odd); // numbers that are not numbers are absent, not zero
    EXPECT_EQ(odd->fields, ThumbnailFields{});

    std::string bytes = test::ReadBytes(dir / "odd.png");
    test::WriteBytes(dir / "cut.png", bytes.substr(0, bytes.size() - 20));
    EXPECT_FALSE(ReadThumbnailPngFile(dir / "cut.png"));
    PngImage wide = test::PngFromSamples(test::PhotoLike(3000, 1, 1));
    test::WritePng(dir / "wide.png", wide);
    EXPECT_FALSE(ReadThumbnailPngFile(dir / "wide.png"));
}

class ThumbnailCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteBytes(dir_ / "a.jpg", "not even a picture");
        ::utimensat(AT_FDCWD, (dir_ / "a.jpg").c_str(), Times(1700000000).data(), 0);
    }
    static std::array<timespec, 2> Times(std::time_t seconds) {
        return {timespec{seconds, 0}, timespec{seconds, 0}};
    }
    ThumbnailOriginal Original() const {
        struct stat status {};
        ::stat((dir_ / "a.jpg").c_str(), &status);
        return ThumbnailOriginal((dir_ / "a.jpg").string(), status.st_mtim.tv_sec, status.st_size);
    }
    static ScaledPicture Picture(int width) {
        return ScaledPicture{width, 1, false, std::vector<std::uint32_t>(width, 0xFF336699u)};
    }
    static mode_t Mode(const fs::path& path) {
        struct stat status {};
        ::stat(path.c_str(), &status);
        return status.st_mode & 0777;
    }

    test::TempDir dir_;
    ThumbnailCache cache_{dir_ / "cache" / "thumbnails", "pirela-test"};
};

TEST_F(ThumbnailCacheTest, StoresPrivatelyAndFindsWhileTheFileStaysAsItWas) {
    ASSERT_TRUE(cache_.Store(Original(), ThumbnailSize::Large, Picture(256), {}));
    const fs::path stored = cache_.PathOf(ThumbnailSize::Large, Original().uri);
    EXPECT_EQ(Mode(stored), 0600u);
    EXPECT_EQ(Mode(stored.parent_path()), 0700u);
    EXPECT_EQ(Mode(dir_ / "cache"), 0700u);
    EXPECT_EQ(std::distance(fs::directory_iterator(stored.parent_path()), {}), 1); // no temporary

    auto found = cache_.FindFresh(Original(), ThumbnailSize::Large);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->fields.software, "pirela-test");
    EXPECT_TRUE(cache_.FindFresh(Original(), ThumbnailSize::Normal)); // a larger one serves
    EXPECT_FALSE(cache_.FindFresh(Original(), ThumbnailSize::XLarge));

    ::utimensat(AT_FDCWD, (dir_ / "a.jpg").c_str(), Times(1700000001).data(), 0);
    EXPECT_FALSE(cache_.FindFresh(Original(), ThumbnailSize::Large)); // a new time
    ::utimensat(AT_FDCWD, (dir_ / "a.jpg").c_str(), Times(1700000000).data(), 0);
    test::WriteBytes(dir_ / "a.jpg", "not even a picture!");
    ::utimensat(AT_FDCWD, (dir_ / "a.jpg").c_str(), Times(1700000000).data(), 0);
    EXPECT_FALSE(cache_.FindFresh(Original(), ThumbnailSize::Large)); // a new size
}

TEST_F(ThumbnailCacheTest, UsesTheFileManagersThumbnailsButNotAnotherFiles) {
    const fs::path normal = cache_.PathOf(ThumbnailSize::Normal, Original().uri);
    fs::create_directories(normal.parent_path());
    PngImage theirs = ForeignThumbnail(PNG_COLOR_TYPE_RGB, 8, false);
    theirs.texts = {{"Thumb::URI", Original().uri}, {"Thumb::MTime", "1700000000"}};
    test::WritePng(normal, theirs);
    EXPECT_TRUE(cache_.FindFresh(Original(), ThumbnailSize::Normal));
    theirs.texts[0].value = "file:///elsewhere/a.jpg"; // the same name for another URI
    test::WritePng(normal, theirs);
    EXPECT_FALSE(cache_.FindFresh(Original(), ThumbnailSize::Normal));
    theirs.texts = {{"Thumb::URI", Original().uri}}; // no time: cannot be checked
    test::WritePng(normal, theirs);
    EXPECT_FALSE(cache_.FindFresh(Original(), ThumbnailSize::Normal));
}

TEST_F(ThumbnailCacheTest, ReadsASharedRepositoryBesideThePhotos) {
    const fs::path shared = dir_ / ".sh_thumbnails" / "large" / (Md5Hex("./a.jpg") + ".png");
    fs::create_directories(shared.parent_path());
    PngImage theirs = ForeignThumbnail(PNG_COLOR_TYPE_RGB, 8, false);
    theirs.texts = {{"Thumb::URI", "./a.jpg"}};
    test::WritePng(shared, theirs);
    EXPECT_TRUE(cache_.FindFresh(Original(), ThumbnailSize::Large));
    EXPECT_TRUE(cache_.Holds(shared.string()));

    const ThumbnailCache other(dir_ / "other", "pirela-test"); // asks the folder afresh
    theirs.texts.push_back({"Thumb::MTime", "5"});
    test::WritePng(shared, theirs);
    EXPECT_FALSE(other.FindFresh(Original(), ThumbnailSize::Large));
}

TEST_F(ThumbnailCacheTest, RecordsFailuresUntilTheFileChanges) {
    EXPECT_FALSE(cache_.HasFreshFailure(Original()));
    ASSERT_TRUE(cache_.RecordFailure(Original()));
    EXPECT_TRUE(fs::exists(dir_ / "cache" / "thumbnails" / "fail" / "pirela-test" /
                           (Md5Hex(Original().uri) + ".png")));
    EXPECT_TRUE(cache_.HasFreshFailure(Original()));
    EXPECT_FALSE(ThumbnailCache(dir_ / "cache" / "thumbnails", "pirela-next")
                     .HasFreshFailure(Original())); // another version tries again
    ::utimensat(AT_FDCWD, (dir_ / "a.jpg").c_str(), Times(1700000002).data(), 0);
    EXPECT_FALSE(cache_.HasFreshFailure(Original()));
}

TEST_F(ThumbnailCacheTest, KnowsItsOwnFiles) {
    const std::string root = (dir_ / "cache" / "thumbnails").string();
    EXPECT_TRUE(cache_.Holds(root + "/normal/x.png"));
    EXPECT_FALSE(cache_.Holds(root + "2/x.png"));
    EXPECT_FALSE(cache_.Holds((dir_ / "a.jpg").string()));
}

TEST_F(ThumbnailCacheTest, LeavesNothingBehindWhenItCannotWrite) {
    const fs::path folder = cache_.PathOf(ThumbnailSize::Large, Original().uri).parent_path();
    fs::create_directories(folder.parent_path());
    test::WriteBytes(folder, "a file where the folder should be");
    EXPECT_FALSE(cache_.Store(Original(), ThumbnailSize::Large, Picture(4), {}));
    EXPECT_FALSE(cache_.Store(Original(), ThumbnailSize::Normal, ScaledPicture{}, {}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "cache" / "thumbnails" / "normal"), {}),
              0);
}

} // namespace
} // namespace pirela
