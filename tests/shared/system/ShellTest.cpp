#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ConsoleCapture.h"
#include "TempDir.h"
#include "shared/system/HostProperties.h"
#include "shared/system/RootPrefix.h"
#include "shared/system/Shell.h"

namespace {

using Kestrel::Sys::CHostShell;
using Kestrel::Sys::RootPath;

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

class HostShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_PreviousRoot = Kestrel::Sys::RootDirectory();
        ASSERT_TRUE(Kestrel::Sys::SetRootDirectory(m_Root.Path()));
    }
    void TearDown() override { Kestrel::Sys::SetRootDirectory(m_PreviousRoot); }

    std::string Journal() const { return m_Root.ReadFile("host/shell.journal"); }

    KestrelTest::TempDir m_Root;
    std::string m_PreviousRoot;
    CHostShell m_Shell;
};

TEST(RootPrefix, BoardPathsLandUnderTheRoot) {
    KestrelTest::TempDir root;
    const std::string previous = Kestrel::Sys::RootDirectory();
    ASSERT_TRUE(Kestrel::Sys::SetRootDirectory(root.Path() + "//"));
    EXPECT_EQ(root.Path() + "/data/var/run/kestrel.pid", RootPath("/data/var/run/kestrel.pid"));
    EXPECT_EQ("relative/file", RootPath("relative/file"));
    EXPECT_TRUE(Kestrel::Sys::MakeRootDirectories("/data/var/log/"));
    EXPECT_TRUE(Exists(root.Path() + "/data/var/log"));

    // The machine's own root is never taken on a development build, nor an empty one.
    KestrelTest::ConsoleCapture console;
    EXPECT_FALSE(Kestrel::Sys::SetRootDirectory("/"));
    EXPECT_FALSE(Kestrel::Sys::SetRootDirectory(""));
    EXPECT_EQ(root.Path(), Kestrel::Sys::RootDirectory());
    EXPECT_EQ(2u, console.Lines().size());
    Kestrel::Sys::SetRootDirectory(previous);
}

TEST(RootPrefix, DefaultHostRootIsPrivate) {
    const std::string root = Kestrel::Sys::DefaultHostRoot();
    EXPECT_NE("/", root);
    EXPECT_FALSE(root.empty());
}

TEST_F(HostShellTest, JournalsEveryCommandInOrderAndTouchesNothingOutsideTheRoot) {
    KestrelTest::ConsoleCapture console;
    EXPECT_EQ(0, m_Shell.Run("ifconfig eth0 down"));
    EXPECT_EQ(0, m_Shell.Run("ifconfig eth0 hw ether 02ad3201af12"));
    EXPECT_EQ(0, m_Shell.Run("ifconfig eth0 up"));
    EXPECT_EQ(127, m_Shell.Run("reboot"));
    EXPECT_EQ(127, m_Shell.Run("touch /data/a; rm -rf /"));
    EXPECT_EQ(127, m_Shell.Run("touch relative"));
    EXPECT_EQ(127, m_Shell.Run("rm /data/../../etc/passwd"));
    EXPECT_EQ(
        "ifconfig eth0 down\nifconfig eth0 hw ether 02ad3201af12\nifconfig eth0 up\nreboot\n"
        "touch /data/a; rm -rf /\ntouch relative\nrm /data/../../etc/passwd\n",
        Journal());
    EXPECT_EQ(4u, console.Lines().size());
    EXPECT_FALSE(Exists(m_Root.Path() + "/data/a"));
}

TEST_F(HostShellTest, SetpropWritesTheRootsPropertyFile) {
    EXPECT_EQ(0, m_Shell.Run("setprop vendor.palomar.oem.headerModel HD 4000"));
    EXPECT_EQ(0, m_Shell.Run("setprop vendor.media.dtv.passthrough.latencyms -20"));
    EXPECT_EQ(0, m_Shell.Run("setprop vendor.media.dtv.passthrough.latencyms 35"));
    EXPECT_EQ("HD 4000", Kestrel::Sys::GetHostProperty("vendor.palomar.oem.headerModel", ""));
    EXPECT_EQ("35", Kestrel::Sys::GetHostProperty("vendor.media.dtv.passthrough.latencyms", ""));
    EXPECT_EQ("0", Kestrel::Sys::GetHostProperty("sys.boot_completed", "0"));
    EXPECT_EQ("vendor.palomar.oem.headerModel=HD 4000\nvendor.media.dtv.passthrough.latencyms=35\n",
              m_Root.ReadFile("host/properties"));
    EXPECT_EQ(1, m_Shell.Run("setprop"));
}

TEST_F(HostShellTest, FileCommandsActInsideTheRoot) {
    EXPECT_EQ(0, m_Shell.Run("mkdir -p /data/var/run/"));
    EXPECT_TRUE(Exists(m_Root.Path() + "/data/var/run"));
    EXPECT_EQ(0, m_Shell.Run("touch /data/ffmpegFlag"));
    EXPECT_TRUE(Exists(m_Root.Path() + "/data/ffmpegFlag"));
    EXPECT_EQ(0, m_Shell.Run("touch /data/ffmpegFlag"));
    EXPECT_EQ(0, m_Shell.Run("rm /data/ffmpegFlag"));
    EXPECT_FALSE(Exists(m_Root.Path() + "/data/ffmpegFlag"));
    EXPECT_EQ(1, m_Shell.Run("rm /data/ffmpegFlag"));
    EXPECT_EQ(0, m_Shell.Run("rm -f /data/ffmpegFlag"));
    EXPECT_EQ(1, m_Shell.Run("touch /no/such/dir/file"));
}

TEST_F(HostShellTest, LsListsVolumesAndExpandsArchivePatternsAsGiven) {
    m_Root.WriteFile("mnt/media_rw/usb2/p9/p9_b.tar", "");
    m_Root.WriteFile("mnt/media_rw/usb2/p9/p9_a.tar", "");
    m_Root.WriteFile("mnt/media_rw/usb2/p9/other.tar", "");
    m_Root.WriteFile("mnt/media_rw/usb1/readme", "");

    std::vector<std::string> lines;
    ASSERT_TRUE(m_Shell.Read("ls /mnt/media_rw", lines));
    EXPECT_EQ((std::vector<std::string>{"usb1", "usb2"}), lines);

    // The caller's pattern keeps its double slash, and so do the paths ls prints.
    ASSERT_TRUE(m_Shell.Read("ls /mnt/media_rw/usb2/p9//p9_*.tar", lines));
    EXPECT_EQ((std::vector<std::string>{"/mnt/media_rw/usb2/p9//p9_a.tar",
                                        "/mnt/media_rw/usb2/p9//p9_b.tar"}),
              lines);

    EXPECT_EQ(2, m_Shell.Run("ls /mnt/media_rw/usb1/p9/p9_*.tar"));
    ASSERT_TRUE(m_Shell.Read("ls /mnt/media_rw/usb1/p9/p9_*.tar", lines));
    EXPECT_TRUE(lines.empty());
}

TEST_F(HostShellTest, TheShellInForceCanBeReplaced) {
    struct Recorder : Kestrel::Sys::IShell {
        int Run(const std::string& command) override {
            commands.push_back(command);
            return 3;
        }
        bool Read(const std::string&, std::vector<std::string>&) override { return false; }
        std::vector<std::string> commands;
    } recorder;
    Kestrel::Sys::IShell* previous = Kestrel::Sys::SetShell(&recorder);
    EXPECT_EQ(3, Kestrel::Sys::Shell().Run("mkdir -p /data/var/log/"));
    Kestrel::Sys::SetShell(previous);
    EXPECT_EQ((std::vector<std::string>{"mkdir -p /data/var/log/"}), recorder.commands);
    EXPECT_NE(&recorder, &Kestrel::Sys::Shell());
}

}  // namespace
