#include "xptools/EnvBlock.h"

#include <gtest/gtest.h>

#include <string>

#include "ConsoleCapture.h"
#include "TempDir.h"

namespace {

TEST(EnvBlockTest, ReadsKeysValuesAndComments) {
    KestrelTest::TempDir dir;
    const std::string file = dir.WriteFile("version",
                                           "# build information\n"
                                           "version=2.4.1-r7\n"
                                           "   model   =   DR-6000 HD  \r\n"
                                           "\n"
                                           "   # indented comment=not a key\n"
                                           "no equals sign here\n"
                                           "  = orphan\n"
                                           "url=http://host/a=b#frag\n"
                                           "empty=\n"
                                           "model=DR-7000\n"
                                           "last=no newline at end");
    KestrelTest::ConsoleCapture console;
    XP::CEnvBlock block(file);
    EXPECT_TRUE(block.IsLoaded());
    EXPECT_EQ(block.GetValue("version", "unknown"), "2.4.1-r7");
    // The later line wins.
    EXPECT_EQ(block.GetValue("model", "?"), "DR-7000");
    // Only the first '=' separates; '#' inside a value is part of it.
    EXPECT_EQ(block.GetValue("url", "?"), "http://host/a=b#frag");
    EXPECT_EQ(block.GetValue("empty", "default"), "");
    EXPECT_EQ(block.GetValue("last", "?"), "no newline at end");
    EXPECT_FALSE(block.HasKey("# indented comment"));
    EXPECT_FALSE(block.HasKey("no equals sign here"));
    EXPECT_FALSE(block.HasKey(""));
    EXPECT_EQ(block.GetValue("missing", "fallback"), "fallback");
    EXPECT_EQ(console.Lines(),
              std::vector<std::string>{"CEnvBlock: " + file + " line 7 has no key, ignored"});

    XP::CEnvBlock absent(dir.Path() + "/absent");
    EXPECT_FALSE(absent.IsLoaded());
    EXPECT_EQ(absent.GetValue("version", "unknown"), "unknown");
}

TEST(EnvBlockTest, OversizedFileIsCut) {
    KestrelTest::TempDir dir;
    std::string content = "first=1\n";
    while (content.size() < 70 * 1024) {
        content += "filler=xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n";
    }
    content += "beyond=1\n";
    const std::string file = dir.WriteFile("big", content);
    KestrelTest::ConsoleCapture console;
    XP::CEnvBlock block(file);
    EXPECT_EQ(block.GetValue("first", ""), "1");
    EXPECT_FALSE(block.HasKey("beyond"));
    EXPECT_EQ(console.Lines(), std::vector<std::string>{"CEnvBlock: " + file +
                                                        " is larger than 65536 bytes; the rest "
                                                        "is ignored"});
}

}  // namespace
