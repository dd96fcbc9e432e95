#include "xptools/Fs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ConsoleCapture.h"
#include "TempDir.h"

namespace {

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

TEST(FsTest, DeletesFilesOnly) {
    KestrelTest::TempDir dir;
    const std::string file = dir.WriteFile("ffmpegFlag", "");
    KestrelTest::ConsoleCapture console;

    EXPECT_TRUE(XP::CFs::DelFile(file));
    EXPECT_FALSE(Exists(file));
    // Already gone: false, and nothing to say about it.
    EXPECT_FALSE(XP::CFs::DelFile(file));
    EXPECT_TRUE(console.Lines().empty());

    const std::string subdir = dir.Path() + "/sub";
    ASSERT_EQ(mkdir(subdir.c_str(), 0755), 0);
    EXPECT_FALSE(XP::CFs::DelFile(subdir));
    EXPECT_TRUE(Exists(subdir));
    ASSERT_EQ(console.Lines().size(), 1u);
    EXPECT_EQ(console.Lines()[0].rfind("CFs: cannot delete " + subdir + ": ", 0), 0u);
}

}  // namespace
