#include "xptools/Fs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ConsoleCapture.h"
#include "TempDir.h"

namespace {

TEST(FsTest, DeletesFilesOnly) {
    KestrelTest::TempDir dir;
    const std::string file = dir.WriteFile("ffmpegFlag", "");
    KestrelTest::ConsoleCapture console;

    EXPECT_TRUE(XP::CFs::DelFile(file));
    EXPECT_FALSE(std::filesystem::exists(file));
    // Already gone: false, and nothing to say about it.
    EXPECT_FALSE(XP::CFs::DelFile(file));
    EXPECT_TRUE(console.Lines().empty());

    const std::string subdir = dir.Path() + "/sub";
    ASSERT_EQ(mkdir(subdir.c_str(), 0755), 0);
    EXPECT_FALSE(XP::CFs::DelFile(subdir));
    EXPECT_TRUE(std::filesystem::exists(subdir));
    ASSERT_EQ(console.Lines().size(), 1u);
    EXPECT_EQ(console.Lines()[0].rfind("CFs: cannot delete " + subdir + ": ", 0), 0u);
}

}  // namespace
