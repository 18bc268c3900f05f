#include "app/ShellOpener.h"

#include "res/MenuResource.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace pirela {
namespace {

class ShellOpenerTest : public ::testing::Test {
protected:
    test::RecordingHost host;
    ShellOpener opener{host, host};
    test::TempDir dir;
};

TEST_F(ShellOpenerTest, HelpPageIsCheckedBeforeTheOpenerIsAsked) {
    const std::string help = (dir / "pirela.html").string();
    EXPECT_FALSE(opener.OpenHelp(help));
    EXPECT_EQ(host.calls, std::vector<std::string>{"message"}); // the opener was never called
    EXPECT_EQ(host.messages.back(), "ヘルプ ファイル " + help + " が開けません。");
    EXPECT_EQ(host.icons.back(), MessageIcon::Warning);

    test::WriteFile(help, "<html></html>");
    host.Clear();
    EXPECT_TRUE(opener.OpenHelp(help));
    EXPECT_EQ(host.calls, std::vector<std::string>{"open file " + help});

    host.Clear();
    host.desktopSucceeds = false; // no browser could be started
    EXPECT_FALSE(opener.OpenHelp(help));
    EXPECT_EQ(host.messages, std::vector<std::string>{"ヘルプ ファイル " + help + " が開けません。"});

    // No program for web pages: the opener would say nothing at all; the page is named.
    host.Clear();
    host.hasOpener = false;
    EXPECT_FALSE(opener.OpenHelp(help));
    EXPECT_EQ(host.calls, std::vector<std::string>{"message"});
    EXPECT_EQ(host.messages.back(),
              "ヘルプ ファイル " + help +
                  " を開くプログラムが見つかりません。HTML ファイルを開くプログラム (Web ブラウザ) "
                  "をインストールするか、このファイルをブラウザで直接開いてください。");
}

TEST_F(ShellOpenerTest, VanishedFolderOrAFileIsReportedNotOpened) {
    const std::string folder = dir.Path().string();
    EXPECT_TRUE(opener.OpenFolder(folder));
    EXPECT_EQ(host.calls, std::vector<std::string>{"open folder " + folder});

    for (const std::string& target : {(dir / "gone").string(), (dir / "file").string()}) {
        test::WriteFile(dir / "file", "x");
        host.Clear();
        EXPECT_FALSE(opener.OpenFolder(target));
        EXPECT_EQ(host.calls, std::vector<std::string>{"message"});
        EXPECT_EQ(host.messages.back(), target + " が開けません。");
    }
}

// The menu item's text as the user reads it: no "(&X)" mnemonic, no key hint, no "&" marks.
std::string ShownText(std::string text) {
    text = text.substr(0, text.find('\t'));
    if (const auto open = text.find("(&"); open != std::string::npos && text[open + 3] == ')') {
        text.erase(open, 4);
    }
    std::string shown;
    for (const char c : text) {
        if (c != '&') {
            shown += c;
        }
    }
    return shown;
}

void CollectCommandTexts(const std::vector<res::MenuEntry>& entries, std::vector<std::string>& texts) {
    for (const res::MenuEntry& entry : entries) {
        if (entry.kind == res::MenuEntry::Kind::Popup) {
            CollectCommandTexts(entry.children, texts);
        } else if (entry.kind == res::MenuEntry::Kind::Command && entry.text[0] != '\0') {
            texts.push_back(ShownText(entry.text));
        }
    }
}

TEST(HelpPageTest, MentionsEveryCommandOfTheMainMenu) {
    std::ifstream file(PIRELA_HELP_PAGE);
    ASSERT_TRUE(file) << PIRELA_HELP_PAGE;
    std::stringstream page;
    page << file.rdbuf();
    std::vector<std::string> texts;
    CollectCommandTexts(res::MainMenu(), texts);
    ASSERT_GT(texts.size(), 30u);
    for (const std::string& text : texts) {
        EXPECT_NE(page.str().find(text), std::string::npos) << "not in the help page: " << text;
    }
}

} // namespace
} // namespace pirela
