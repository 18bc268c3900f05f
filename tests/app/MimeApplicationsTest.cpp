#include "app/MimeApplications.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace pirela {
namespace {

// A desktop of its own: a user's and a system's configuration and data folders.
class MimeApplicationsTest : public ::testing::Test {
protected:
    MimeApplicationsTest() {
        for (const char* folder : {"config", "etc", "home/applications", "usr/applications"}) {
            std::filesystem::create_directories(dir / folder);
        }
    }

    MimeApplications Desktop() const {
        return MimeApplications({(dir / "config").string(), (dir / "etc").string()},
                                {(dir / "home").string(), (dir / "usr").string()});
    }

    // A launcher whose program is an executable of the test's own.
    void Launcher(const std::string& id, const std::string& categories, const std::string& args,
                  const std::string& extra = "") {
        const std::string program = (dir / ("bin-" + id)).string();
        test::WriteFile(program, "#!/bin/sh\n");
        ::chmod(program.c_str(), 0755);
        test::WriteFile(dir / "usr/applications" / id,
                        "[Desktop Entry]\nType=Application\nName=" + id + "\nExec=" + program +
                            args + "\nCategories=" + categories + "\n" + extra);
    }

    std::string Program(const std::string& id) const { return (dir / ("bin-" + id)).string(); }

    test::TempDir dir;
};

TEST_F(MimeApplicationsTest, TheDesktopsOrderWithoutTheRemovedOrMissing) {
    for (const char* id : {"viewer.desktop", "editor.desktop", "paint.desktop", "other.desktop"}) {
        Launcher(id, "Graphics;", " %F");
    }
    test::WriteFile(dir / "usr/applications/mimeinfo.cache",
                    "[MIME Cache]\nimage/png=other.desktop;\n"
                    "image/jpeg=viewer.desktop;gone.desktop;editor.desktop;paint.desktop;\n");
    test::WriteFile(dir / "config/mimeapps.list",
                    "[Default Applications]\nimage/jpeg=paint.desktop\n"
                    "[Removed Associations]\nimage/jpeg=viewer.desktop;\n");
    test::WriteFile(dir / "etc/mimeapps.list", "[Added Associations]\nimage/jpeg=other.desktop;\n");
    EXPECT_EQ(Desktop().ApplicationsFor("image/jpeg"),
              (std::vector<std::string>{"paint.desktop", "other.desktop", "editor.desktop"}));
    EXPECT_TRUE(Desktop().ApplicationsFor("text/html").empty());
}

TEST_F(MimeApplicationsTest, TheImageEditorIsAnInstalledRasterEditorNotAViewer) {
    Launcher("eog.desktop", "Graphics;RasterGraphics;Viewer;", " %U");
    Launcher("wrapped.desktop", "Graphics;RasterGraphics;", " --new-window %U");
    Launcher("hidden.desktop", "Graphics;RasterGraphics;", " %U", "Hidden=true\n");
    Launcher("gimp.desktop", "Graphics;2DGraphics;RasterGraphics;GTK;", " %U",
             "Name[ja]=GIMP 画像エディター\n");
    test::WriteFile(dir / "usr/applications/mimeinfo.cache",
                    "[MIME Cache]\nimage/jpeg=eog.desktop;wrapped.desktop;hidden.desktop;"
                    "gimp.desktop;\n");
    const auto editor = Desktop().ImageEditor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->name, "GIMP 画像エディター");
    EXPECT_EQ(editor->program, Program("gimp.desktop"));

    std::filesystem::remove(Program("gimp.desktop")); // uninstalled, its launcher left behind
    EXPECT_FALSE(Desktop().ImageEditor());
}

TEST_F(MimeApplicationsTest, OnlyACommandOfOneProgramTakingFilesIsAProgramEntry) {
    EXPECT_EQ(SoleProgramOf("gimp-2.10 %U"), "gimp-2.10");
    EXPECT_EQ(SoleProgramOf("\"/opt/my editor/run\" %f"), "/opt/my editor/run");
    EXPECT_EQ(SoleProgramOf("kolourpaint"), "kolourpaint");
    EXPECT_EQ(SoleProgramOf("flatpak run org.gimp.GIMP @@u %U @@"), std::nullopt);
    EXPECT_EQ(SoleProgramOf(""), std::nullopt);
    EXPECT_TRUE(ProgramInstalled("sh"));
    EXPECT_FALSE(ProgramInstalled("no-such-program-anywhere"));
}

} // namespace
} // namespace pirela
