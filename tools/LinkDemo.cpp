// kestrel-linkdemo: the control link as far as it stands, end to end on this machine.
//
// A private root stands in for the board's file system, a pseudo-terminal for "/dev/ttyS2".
// The controller side (the main thread) writes an embedded configuration transaction as
// operation records into the terminal, in uneven pieces as a serial line delivers them. The
// daemon side reads the port on "UART Rx", cuts the byte stream into operations, queues them,
// and handles the queue on "poller". The run ends when the last transaction has arrived, and the
// program prints what the host shell journalled.
//
//   kestrel-linkdemo [--root DIR]
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#include <log4cpp/Category.hh>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "shared/comms/SsOp.h"
#include "shared/system/Logging.h"
#include "shared/system/RootPrefix.h"
#include "shared/system/Shell.h"
#include "xptools/Daemon.h"
#include "xptools/Functor.h"
#include "xptools/MsgQ.h"
#include "xptools/Print.h"
#include "xptools/Rs232.h"
#include "xptools/Schedule.h"
#include "xptools/SharedPtr.h"
#include "xptools/Slice.h"
#include "xptools/Thread.h"

namespace {

using OpPtr = XP::CSharedPtr<SsOp>;

// The embedded default: what a controller sends when an operator picks a service and its outputs.
std::vector<OpPtr> DefaultTransaction() {
    std::vector<OpPtr> ops;
    auto add = [&ops](OpType_e type, uint32_t id, std::vector<uint8_t> index) -> SsOp& {
        OpPtr op(new SsOp(type, id));
        op->SetIndexList(index);
        ops.push_back(op);
        return *op;
    };
    add(OP_TYPE_SET, 10, {1}).SetSsOpData(std::string("KR-4000"), VT_STRING);  // product id
    add(OP_TYPE_SET, 73, {1}).SetSsOpData(2, VT_INT8);                         // downmix
    add(OP_TYPE_SET, 316, {1}).SetSsOpData(-20, VT_INT16);                     // A/V sync, ms
    add(OP_TYPE_SET, 0x0102, {1, 2}).SetSsOpData(0x0304, VT_UINT16);
    add(OP_TYPE_TRANSACTION_END, 0, {});
    return ops;
}

// The daemon side of the link. "UART Rx" reads the port and parses; "poller" handles the queue.
class LinkReceiver {
public:
    LinkReceiver(XP::CDaemon& daemon, size_t expectedOps)
        : m_Daemon(daemon),
          m_ExpectedOps(expectedOps),
          m_RxThread(XP::MakeFunctor<&LinkReceiver::ReadPort>(this), "UART Rx", 0),
          m_PollerThread(XP::MakeFunctor<&XP::CSchedule::ProcessSchedule>(&m_Schedule), "poller",
                         0),
          m_Log(log4cpp::Category::getInstance("main")) {}

    ~LinkReceiver() { Stop(); }

    void Stop() {
        m_RxThread.Cancel();
        m_PollerThread.Cancel();
        m_Port.Close();
    }

    bool Start(const std::string& device) {
        if (!m_Port.Open(device, 115200, XP::CRs232::FLOW_CONTROL_NONE))
            return false;
        m_Handler =
            m_Schedule.AddEvent(XP::MakeFunctor<&LinkReceiver::HandleQueue>(this), 20, true);
        return m_RxThread.Run() && m_PollerThread.Run();
    }

    const std::vector<std::string>& Handled() const { return m_Handled; }

private:
    bool ReadPort() {
        XP::CBuffer chunk(64);
        const int count = m_Port.Read(chunk, 100);
        if (count > 0)
            m_Pending.insert(m_Pending.end(), chunk.GetBegin(), chunk.GetBegin() + count);
        // The byte form is self-delimiting: parse whole operations off the front; an incomplete
        // one waits for more bytes.
        while (!m_Pending.empty()) {
            OpPtr op(new SsOp());
            const size_t used = op->DeserializeOp(m_Pending.data(), m_Pending.size());
            if (used == 0) {
                if (m_Pending.size() < kLongestOperation)
                    break;
                XP::MyPrintf("linkdemo: dropping unparsable byte 0x%02x", m_Pending.front());
                m_Pending.erase(m_Pending.begin());
                continue;
            }
            m_Pending.erase(m_Pending.begin(), m_Pending.begin() + static_cast<long>(used));
            m_Queue.Enqueue(op);
        }
        return true;
    }

    void HandleQueue() {
        OpPtr op;
        while (m_Queue.Dequeue(0, op)) {
            m_Handled.push_back(op->ToString());
            m_Log.info("received %s", op->ToString().c_str());
            if (op->GetOpType() == OP_TYPE_TRANSACTION_END) {
                m_Log.info("transaction end after %zu operations", m_Handled.size() - 1);
            }
            if (m_Handled.size() == m_ExpectedOps)
                m_Daemon.Stop();
        }
    }

    // type, id (2), index count, 255 indexes, data count, 255 data bytes
    static constexpr size_t kLongestOperation = 4 + 255 + 1 + 255;

    XP::CDaemon& m_Daemon;
    const size_t m_ExpectedOps;
    XP::CRs232 m_Port;
    XP::CMsgQ<OpPtr> m_Queue;
    XP::CSchedule m_Schedule;
    XP::CSchedule::CEvent m_Handler;
    std::vector<uint8_t> m_Pending;      // "UART Rx" only
    std::vector<std::string> m_Handled;  // "poller" only until the threads end
    XP::CThread m_RxThread;
    XP::CThread m_PollerThread;
    log4cpp::Category& m_Log;
};

// A pseudo-terminal whose slave end is linked at the board's serial device under the root.
int OpenTerminal(const std::string& linkPath) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return -1;
    unlink(linkPath.c_str());
    if (symlink(ptsname(master), linkPath.c_str()) != 0) {
        close(master);
        return -1;
    }
    return master;
}

class Timeout {
public:
    explicit Timeout(XP::CDaemon& daemon) : m_Daemon(daemon) {}
    void Expire() {
        m_Expired = true;
        m_Daemon.Stop();
    }
    bool m_Expired = false;

private:
    XP::CDaemon& m_Daemon;
};

}  // namespace

int main(int argc, char** argv) {
    std::string root = Kestrel::Sys::DefaultHostRoot();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--root") == 0 && i + 1 < argc) {
            root = argv[++i];
        } else {
            std::fprintf(stderr, "usage: kestrel-linkdemo [--root DIR]\n");
            return 2;
        }
    }
    if (!Kestrel::Sys::SetRootDirectory(root))
        return 2;
    Kestrel::Sys::MakeRootDirectories("/");
    std::printf("root: %s\n", Kestrel::Sys::RootDirectory().c_str());

    const std::string journalPath = Kestrel::Sys::RootPath("/host/shell.journal");
    std::streamoff journalStart = 0;
    {
        std::ifstream earlier(journalPath, std::ios::ate);
        if (earlier)
            journalStart = earlier.tellg();
    }
    Kestrel::Sys::IShell& shell = Kestrel::Sys::Shell();
    shell.Run("mkdir -p /data/var/run/");
    shell.Run("mkdir -p /data/var/log/");
    shell.Run("mkdir -p /dev/");
    XP::CDaemon daemon(false, Kestrel::Sys::RootPath("/data/var/run/kestrel.pid"));
    Kestrel::Sys::ConfigureLogging();
    log4cpp::Category::getInstance("main").info("Starting kestrel-linkdemo...");

    const std::string device = Kestrel::Sys::RootPath("/dev/ttyS2");
    const int controller = OpenTerminal(device);
    if (controller < 0) {
        std::fprintf(stderr, "cannot make a pseudo-terminal at %s: %s\n", device.c_str(),
                     std::strerror(errno));
        return 1;
    }

    const std::vector<OpPtr> ops = DefaultTransaction();
    LinkReceiver receiver(daemon, ops.size());
    if (!receiver.Start(device)) {
        std::fprintf(stderr, "cannot open %s\n", device.c_str());
        close(controller);
        return 1;
    }

    // The controller's side: all operations back to back, written in 3-byte pieces.
    std::vector<uint8_t> wire;
    for (const OpPtr& op : ops)
        op->GetSerializedOp(wire);
    for (size_t at = 0; at < wire.size(); at += 3) {
        const size_t piece = std::min<size_t>(3, wire.size() - at);
        if (write(controller, wire.data() + at, piece) != static_cast<ssize_t>(piece))
            break;
    }
    std::printf("controller sent %zu operations in %zu bytes\n", ops.size(), wire.size());

    // Give up after ten seconds rather than hang when something is wrong.
    Timeout timeout(daemon);
    XP::CSchedule watchdog;
    XP::CThread watchdogThread(XP::MakeFunctor<&XP::CSchedule::ProcessSchedule>(&watchdog),
                               "watchdog", 0);
    watchdog.AddEvent(XP::MakeFunctor<&Timeout::Expire>(&timeout), 10000, false);
    watchdogThread.Run();

    daemon.Block();
    watchdogThread.Cancel();
    receiver.Stop();

    bool ok = !timeout.m_Expired;
    const std::vector<std::string>& handled = receiver.Handled();
    for (size_t i = 0; i < handled.size(); ++i) {
        std::printf("received: %s\n", handled[i].c_str());
        ok = ok && i < ops.size() && handled[i] == ops[i]->ToString();
    }
    ok = ok && handled.size() == ops.size();

    std::printf("host shell journal, this run (%s):\n", journalPath.c_str());
    std::ifstream journal(journalPath);
    journal.seekg(journalStart);
    for (std::string line; std::getline(journal, line);)
        std::printf("  %s\n", line.c_str());

    close(controller);
    unlink(device.c_str());
    std::printf("%s\n", ok ? "all operations arrived intact and in order"
                           : "FAILED: operations lost, changed or reordered");
    return ok ? 0 : 1;
}
