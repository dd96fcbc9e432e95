// The kestrelctl program over pseudo-terminals: what send puts on the wire, what watch makes of
// what arrives, and the two talking to each other through a bridged pair of terminals.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "ProgramCommand.h"
#include "TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Bounds every wait on the other process: reaching it fails the test, it never measures speed.
constexpr auto kHangGuard = std::chrono::seconds(20);

std::string CtlBinary() {
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    const std::string path(self, n > 0 ? static_cast<size_t>(n) : 0);
    return path.substr(0, path.rfind('/') + 1) + "kestrelctl";
}

// A pseudo-terminal pair. The test keeps the slave open as well, so the master side never sees a
// hang-up when kestrelctl closes the device.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;
    Pty() {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            path = name;
            fcntl(master, F_SETFD, FD_CLOEXEC);
            fcntl(slave, F_SETFD, FD_CLOEXEC);
        }
    }
    ~Pty() {
        close(master);
        close(slave);
    }
    void Write(const Bytes& bytes) const {
        ASSERT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // `count` bytes from the master (fewer at the hang guard), and whatever else is there then.
    Bytes Read(size_t count) const {
        Bytes received;
        uint8_t chunk[512];
        pollfd fd = {master, POLLIN, 0};
        for (const auto deadline = std::chrono::steady_clock::now() + kHangGuard;;) {
            const bool enough = received.size() >= count;
            if (poll(&fd, 1, enough ? 0 : 20) <= 0) {
                if (enough || std::chrono::steady_clock::now() > deadline)
                    return received;
                continue;
            }
            const ssize_t n = read(master, chunk, sizeof(chunk));
            if (n <= 0)
                return received;
            received.insert(received.end(), chunk, chunk + n);
        }
    }
};

// One run of kestrelctl, its standard output and error going to files of its own.
class CtlProcess {
public:
    explicit CtlProcess(const std::vector<std::string>& args) {
        std::vector<std::string> words = KestrelTest::ProgramCommand(CtlBinary());
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        const std::string out = m_Dir.Path() + "/out";
        const std::string err = m_Dir.Path() + "/err";
        m_Pid = fork();
        if (m_Pid == 0) {
            dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
            dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~CtlProcess() {
        if (!m_Reaped) {
            kill(m_Pid, SIGKILL);
            waitpid(m_Pid, nullptr, 0);
        }
    }

    // Waits until standard error holds `text`; false when the process ends first.
    bool WaitForError(const std::string& text) {
        for (auto deadline = Guard(); std::chrono::steady_clock::now() < deadline;) {
            if (Err().find(text) != std::string::npos)
                return true;
            siginfo_t info{};  // ended, left to Finish to reap
            if (waitid(P_PID, static_cast<id_t>(m_Pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
                info.si_pid == m_Pid)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    // The exit status; -1 when it did not end by itself before the guard.
    int Finish() {
        int status = 0;
        for (auto deadline = Guard(); waitpid(m_Pid, &status, WNOHANG) == 0;) {
            if (std::chrono::steady_clock::now() > deadline)
                kill(m_Pid, SIGKILL);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        m_Reaped = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Out() const { return m_Dir.ReadFile("out"); }
    std::string Err() const { return m_Dir.ReadFile("err"); }

private:
    static std::chrono::steady_clock::time_point Guard() {
        return std::chrono::steady_clock::now() + kHangGuard;
    }

    KestrelTest::TempDir m_Dir;
    pid_t m_Pid = -1;
    bool m_Reaped = false;
};

TEST(KestrelctlLinkTest, SendFramesEachOperationInOrder) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    CtlProcess send({"-d", pty.path, "send", "serviceselectionVideoCodecType=VIDEO_TYPE_MPEG4",
                     "serviceselectionVideo[1]=0x1011", "hisisystemProductId=KR-4000", "end",
                     "raw:0f"});
    ASSERT_EQ(send.Finish(), 0) << send.Err();
    EXPECT_EQ(send.Out(), "");
    const Bytes expected = {
        0x0F, 0x00, 0xF8, 0x00, 0x01, 0x00, 0x01, 0x02, 0x10,                                    //
        0x0F, 0x00, 0xFC, 0x00, 0x01, 0x01, 0x02, 0x12, 0x30, 0x12, 0x31, 0x10,                  //
        0x0F, 0x00, 0x0A, 0x00, 0x01, 0x00, 0x07, 'K',  'R',  '-',  '4',  '0',  '0', '0', 0x10,  //
        0x0F, 0x06, 0x00, 0x00, 0x00, 0x00, 0x10,                                                //
        0x0F, 0x12, 0x2F, 0x10,
    };
    EXPECT_EQ(pty.Read(expected.size()), expected);
}

TEST(KestrelctlLinkTest, SendRefusesBadInputWithOneLineAndSendsNothing) {
    Pty pty;
    KestrelTest::TempDir dir;
    const std::string missing = dir.Path() + "/ttyS2";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"-d", pty.path, "send", "end", "serviceselectionVideo=70000"},
         "kestrelctl: serviceselectionVideo=70000: 70000 does not fit VT_UINT16 (0 to 65535)\n"},
        {{"-d", missing, "send", "end"},
         "kestrelctl: cannot open " + missing + " (CRs232: cannot open " + missing +
             ": No such file or directory)\n"},
    };
    for (const auto& c : cases) {
        CtlProcess send(c.first);
        EXPECT_NE(send.Finish(), 0) << c.second;
        EXPECT_EQ(send.Err(), c.second);
    }
    // Had any of them sent its first operation, it would come before this one.
    CtlProcess good({"-d", pty.path, "send", "end"});
    ASSERT_EQ(good.Finish(), 0) << good.Err();
    EXPECT_EQ(pty.Read(7), (Bytes{0x0F, 0x06, 0x00, 0x00, 0x00, 0x00, 0x10}));
}

TEST(KestrelctlLinkTest, WatchPrintsJsonLinesAndGoesOnAfterABadFrame) {
    Pty pty;
    CtlProcess watch({"-d", pty.path, "watch", "--count", "4", "--json"});
    ASSERT_TRUE(watch.WaitForError("kestrelctl: watching " + pty.path + "\n")) << watch.Err();
    // Noise and a lone end byte; 280 = 3; a frame whose data runs past its end; the version as
    // text; index 0x12 and data 10 11 escaped; a transaction end.
    pty.Write({0x41, 0x10, 0x42,                                                              //
               0x0F, 0x00, 0x18, 0x01, 0x01, 0x00, 0x02, 0x00, 0x03, 0x10,                    //
               0x0F, 0x00, 0x18, 0x01, 0x01, 0x00, 0x05, 0x00, 0x10,                          //
               0x0F, 0x00, 0x02, 0x00, 0x01, 0x00, 0x05, '1',  '.',  '2',  '.',  '3',  0x10,  //
               0x0F, 0x00, 0xFD, 0x00, 0x01, 0x12, 0x32, 0x02, 0x12, 0x30, 0x12, 0x31, 0x10,  //
               0x0F, 0x06, 0x00, 0x00, 0x00, 0x00, 0x10});
    EXPECT_EQ(watch.Finish(), 0) << watch.Err();
    EXPECT_EQ(
        watch.Out(),
        R"({"type":"SET","id":280,"name":"videoFrameRate","index":[0],"value":3,"enum":"VIDEO_FRAME_RATE_25"}
{"type":"SET","id":2,"name":"hisisystemSoftwareVersion","index":[0],"value":"1.2.3"}
{"type":"SET","id":253,"name":"serviceselectionAudio1","index":[18],"value":4113}
{"type":"TRANSACTION_END","id":0,"index":[]}
)");
    EXPECT_NE(watch.Err().find("kestrelctl: UartRecv: Deserialize Failed\n"), std::string::npos)
        << watch.Err();
}

TEST(KestrelctlLinkTest, WatchExitStatusSaysWhetherTheCountWasReached) {
    Pty pty;
    CtlProcess counted({"-d", pty.path, "watch", "--count", "1", "--timeout", "0.2"});
    EXPECT_EQ(counted.Finish(), 1) << counted.Err();
    CtlProcess uncounted({"-d", pty.path, "watch", "--timeout", "0.2"});
    EXPECT_EQ(uncounted.Finish(), 0) << uncounted.Err();
    EXPECT_EQ(counted.Out() + uncounted.Out(), "");
}

TEST(KestrelctlLinkTest, SendAndWatchTalkThroughBridgedTerminals) {
    Pty controller;
    Pty daemon;
    // The null-modem cable: whatever one master reads goes out of the other.
    std::atomic<bool> stop(false);
    std::thread bridge([&] {
        pollfd fds[2] = {{controller.master, POLLIN, 0}, {daemon.master, POLLIN, 0}};
        while (!stop) {
            if (poll(fds, 2, 20) <= 0)
                continue;
            for (int i = 0; i < 2; ++i) {
                uint8_t chunk[512];
                const ssize_t n = fds[i].revents != 0 ? read(fds[i].fd, chunk, sizeof(chunk)) : 0;
                if (n > 0 && write(fds[1 - i].fd, chunk, static_cast<size_t>(n)) != n)
                    ADD_FAILURE() << "bridge write failed";
            }
        }
    });
    CtlProcess watch({"-d", daemon.path, "watch", "--count", "5"});
    EXPECT_TRUE(watch.WaitForError("watching")) << watch.Err();
    CtlProcess send({"-d", controller.path, "send",
                     "serviceselectionVideoCodecType=VIDEO_TYPE_MPEG4",
                     "serviceselectionAudio1[1]=0x1013", "hisisystemProductId=KR 4000",
                     "avssconfigAvSyncSetting=-20", "end"});
    EXPECT_EQ(send.Finish(), 0) << send.Err();
    EXPECT_EQ(watch.Finish(), 0) << watch.Err();
    EXPECT_EQ(watch.Out(),
              "SET serviceselectionVideoCodecType[0] = 2 (VIDEO_TYPE_MPEG4)\n"
              "SET serviceselectionAudio1[1] = 4115\n"
              "SET hisisystemProductId[0] = \"KR 4000\"\n"
              "SET avssconfigAvSyncSetting[0] = -20\n"
              "TRANSACTION_END\n");
    stop = true;
    bridge.join();
}

}  // namespace
