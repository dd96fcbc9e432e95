#include "xptools/Daemon.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ConsoleCapture.h"
#include "TempDir.h"

namespace {

std::vector<std::string> ListDir(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        names.push_back(entry.path().filename());
    }
    return names;
}

void (*CurrentHandler(int signalNumber))(int) {
    struct sigaction action {};
    sigaction(signalNumber, nullptr, &action);
    return action.sa_handler;
}

// The daemon writes only its pid file and removes it, catches a signal raised before Block (Block
// then returns at once) and puts the handlers back when it goes.
TEST(DaemonTest, PidFileAndSignalBeforeBlock) {
    KestrelTest::TempDir dir;
    void (*const termBefore)(int) = CurrentHandler(SIGTERM);
    void (*const intBefore)(int) = CurrentHandler(SIGINT);
    {
        XP::CDaemon daemon(false, dir.Path() + "/kestrel.pid");
        EXPECT_TRUE(daemon.HasPidFile());
        EXPECT_EQ(ListDir(dir.Path()), std::vector<std::string>{"kestrel.pid"});
        EXPECT_EQ(dir.ReadFile("kestrel.pid"), std::to_string(getpid()) + "\n");
        EXPECT_NE(CurrentHandler(SIGTERM), termBefore);
        EXPECT_FALSE(daemon.IsStopRequested());
        ASSERT_EQ(raise(SIGTERM), 0);  // caught: the test process lives on
        EXPECT_TRUE(daemon.IsStopRequested());
        daemon.Block();
        EXPECT_EQ(daemon.GetStopSignal(), SIGTERM);
    }
    EXPECT_TRUE(ListDir(dir.Path()).empty());
    EXPECT_EQ(CurrentHandler(SIGTERM), termBefore);
    EXPECT_EQ(CurrentHandler(SIGINT), intBefore);
}

TEST(DaemonTest, SignalFromAnotherThreadReleasesBlock) {
    KestrelTest::TempDir dir;
    XP::CDaemon daemon(false, dir.Path() + "/kestrel.pid");
    // The handler runs on a thread other than the one in Block (the kernel hands a process-wide
    // signal to any thread), and Block still wakes. The signal is aimed at the sending thread:
    // ThreadSanitizer holds a signal until its receiving thread makes an intercepted call, and a
    // process-wide one may land on its own background thread, which never does.
    std::thread sender([&daemon] {
        pthread_kill(pthread_self(), SIGINT);
        for (int i = 0; i < 10000 && !daemon.IsStopRequested(); ++i)
            usleep(1000);
    });
    daemon.Block();
    sender.join();
    EXPECT_EQ(daemon.GetStopSignal(), SIGINT);
}

// Stop releases Block, also for a daemon without its pid file; a second daemon object leaves the
// signals to the first and stops on its own.
TEST(DaemonTest, StopReleasesBlockAndSecondObjectLeavesSignalsToTheFirst) {
    KestrelTest::TempDir dir;
    KestrelTest::ConsoleCapture console;
    const std::string pidFile = dir.Path() + "/no-such-dir/kestrel.pid";
    XP::CDaemon first(false, pidFile);
    XP::CDaemon second(false, dir.Path() + "/second.pid");
    EXPECT_FALSE(first.HasPidFile());
    EXPECT_EQ(console.Take(),
              (std::vector<std::string>{
                  "CDaemon: cannot write pid file " + pidFile + ": No such file or directory",
                  "CDaemon: another daemon object exists; this one does not catch signals"}));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/no-such-dir"));
    second.Stop();
    second.Block();
    EXPECT_FALSE(first.IsStopRequested());

    std::thread stopper([&first] { first.Stop(); });
    first.Block();
    stopper.join();
    EXPECT_TRUE(first.IsStopRequested());
    EXPECT_EQ(first.GetStopSignal(), 0);
}

}  // namespace
