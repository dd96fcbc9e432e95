#include "xptools/Daemon.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "ConsoleCapture.h"
#include "TempDir.h"

namespace {

std::vector<std::string> ListDir(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* pDir = opendir(path.c_str())) {
        while (dirent* pEntry = readdir(pDir)) {
            const std::string name = pEntry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        closedir(pDir);
    }
    return names;
}

void (*CurrentHandler(int signalNumber))(int) {
    struct sigaction action {};
    sigaction(signalNumber, nullptr, &action);
    return action.sa_handler;
}

TEST(DaemonTest, WritesOnlyThePidFileAndRemovesIt) {
    KestrelTest::TempDir dir;
    const std::string pidFile = dir.Path() + "/kestrel.pid";
    {
        XP::CDaemon daemon(false, pidFile);
        EXPECT_TRUE(daemon.HasPidFile());
        EXPECT_EQ(ListDir(dir.Path()), std::vector<std::string>{"kestrel.pid"});
        EXPECT_EQ(dir.ReadFile("kestrel.pid"), std::to_string(getpid()) + "\n");
        EXPECT_FALSE(daemon.IsStopRequested());
    }
    EXPECT_TRUE(ListDir(dir.Path()).empty());
}

TEST(DaemonTest, SignalBeforeBlockReleasesItAndHandlersAreRestored) {
    KestrelTest::TempDir dir;
    void (*const termBefore)(int) = CurrentHandler(SIGTERM);
    void (*const intBefore)(int) = CurrentHandler(SIGINT);
    {
        XP::CDaemon daemon(false, dir.Path() + "/kestrel.pid");
        EXPECT_NE(CurrentHandler(SIGTERM), termBefore);
        ASSERT_EQ(raise(SIGTERM), 0);  // caught: the test process lives on
        EXPECT_TRUE(daemon.IsStopRequested());
        daemon.Block();
        EXPECT_EQ(daemon.GetStopSignal(), SIGTERM);
    }
    EXPECT_EQ(CurrentHandler(SIGTERM), termBefore);
    EXPECT_EQ(CurrentHandler(SIGINT), intBefore);
}

TEST(DaemonTest, SignalFromAnotherThreadReleasesBlock) {
    KestrelTest::TempDir dir;
    XP::CDaemon daemon(false, dir.Path() + "/kestrel.pid");
    // Sent to the process, as a service manager would; whichever thread takes it, Block wakes.
    std::thread sender([&daemon] {
        kill(getpid(), SIGINT);
        // ThreadSanitizer defers a signal to its receiving thread's next intercepted call; keep
        // this thread alive in such calls until the handler has run, wherever it was delivered.
        for (int i = 0; i < 10000 && !daemon.IsStopRequested(); ++i)
            usleep(1000);
    });
    daemon.Block();
    sender.join();
    EXPECT_EQ(daemon.GetStopSignal(), SIGINT);
}

TEST(DaemonTest, StopReleasesBlockEvenWithoutPidFile) {
    KestrelTest::TempDir dir;
    KestrelTest::ConsoleCapture console;
    const std::string pidFile = dir.Path() + "/no-such-dir/kestrel.pid";
    XP::CDaemon daemon(false, pidFile);
    EXPECT_FALSE(daemon.HasPidFile());
    EXPECT_EQ(console.Take(), std::vector<std::string>{"CDaemon: cannot write pid file " + pidFile +
                                                       ": No such file or directory"});
    std::thread stopper([&daemon] { daemon.Stop(); });
    daemon.Block();
    stopper.join();
    EXPECT_TRUE(daemon.IsStopRequested());
    EXPECT_EQ(daemon.GetStopSignal(), 0);
    EXPECT_TRUE(ListDir(dir.Path()).empty());  // created nothing, not even the directory
}

TEST(DaemonTest, SecondDaemonObjectLeavesSignalsToTheFirst) {
    KestrelTest::TempDir dir;
    XP::CDaemon first(false, dir.Path() + "/first.pid");
    KestrelTest::ConsoleCapture console;
    XP::CDaemon second(false, dir.Path() + "/second.pid");
    EXPECT_EQ(console.Take(), std::vector<std::string>{
                                  "CDaemon: another daemon object exists; this one does not catch "
                                  "signals"});
    second.Stop();
    second.Block();
    EXPECT_TRUE(second.IsStopRequested());
    EXPECT_FALSE(first.IsStopRequested());
}

}  // namespace
