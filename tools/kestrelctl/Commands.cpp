#include "kestrelctl/Commands.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "kestrelctl/Catalogue.h"
#include "kestrelctl/OpArgument.h"
#include "kestrelctl/OpPrinter.h"
#include "shared/comms/FrameUnframer.h"
#include "shared/comms/UartAdapter.h"
#include "shared/system/RootPrefix.h"
#include "xptools/Clock.h"
#include "xptools/Print.h"
#include "xptools/Rs232.h"
#include "xptools/Slice.h"

namespace KestrelCtl {
namespace {

constexpr char kBoardSerialDevice[] = "/dev/ttyS2";
// Longest wait in one read, so that a stop request is seen soon.
constexpr uint64_t kReadSliceMs = 200;
constexpr size_t kReadBufferSize = 4096;

// Collects the console lines printed while it lives (the reasons an open fails) instead of
// passing them on.
class ConsoleCollector {
public:
    ConsoleCollector()
        : m_Previous(XP::SetConsoleSink([this](const std::string& line) {
              if (m_Lines.size() < kMaxLines)
                  m_Lines.push_back(line);
          })) {}
    ~ConsoleCollector() { XP::SetConsoleSink(std::move(m_Previous)); }
    ConsoleCollector(const ConsoleCollector&) = delete;
    ConsoleCollector& operator=(const ConsoleCollector&) = delete;

    std::string First() const { return m_Lines.empty() ? "no reason given" : m_Lines.front(); }

private:
    static constexpr size_t kMaxLines = 8;
    std::vector<std::string> m_Lines;
    XP::ConsoleSink m_Previous;
};

std::string DeviceOf(const CommandLine_t& commandLine) {
    return commandLine.m_Device.empty() ? DefaultDevice() : commandLine.m_Device;
}

}  // namespace

std::string DefaultDevice() {
    return Kestrel::Sys::RootPath(kBoardSerialDevice);
}

int RunSend(const CommandLine_t& commandLine, std::ostream& err) {
    const COpSsDataMap& catalogue = DaemonCatalogue();
    std::vector<std::vector<uint8_t>> payloads(commandLine.m_Operations.size());
    for (size_t i = 0; i < payloads.size(); ++i) {
        std::string error;
        if (!ParseOpArgument(commandLine.m_Operations[i], catalogue, payloads[i], error)) {
            err << "kestrelctl: " << commandLine.m_Operations[i] << ": " << error << std::endl;
            return kExitUsage;
        }
    }

    const std::string device = DeviceOf(commandLine);
    std::unique_ptr<CUartAdapter> adapter;
    {
        ConsoleCollector collector;
        adapter.reset(new CUartAdapter(device, commandLine.m_Baud));
        // Already open when construction managed it; otherwise a second try, which fails too.
        if (!adapter->OpenUartPort()) {
            err << "kestrelctl: cannot open " << device << " (" << collector.First() << ")"
                << std::endl;
            return kExitFailure;
        }
    }
    for (size_t i = 0; i < payloads.size(); ++i) {
        const XP::CSlice<const unsigned char> payload(payloads[i].data(), payloads[i].size());
        if (!adapter->WriteData(payload)) {
            err << "kestrelctl: sending " << commandLine.m_Operations[i] << " to " << device
                << " failed; " << i << " of " << payloads.size() << " operations sent" << std::endl;
            return kExitFailure;
        }
    }
    return kExitOk;
}

int RunWatch(const CommandLine_t& commandLine, std::ostream& out, std::ostream& err,
             const std::atomic<bool>& stop) {
    const std::string device = DeviceOf(commandLine);
    XP::CRs232 port;
    {
        ConsoleCollector collector;
        if (!port.Open(device, commandLine.m_Baud, XP::CRs232::FLOW_CONTROL_SW_XONXOFF)) {
            err << "kestrelctl: cannot open " << device << " (" << collector.First() << ")"
                << std::endl;
            return kExitFailure;
        }
    }
    err << "kestrelctl: watching " << device << std::endl;

    const COpSsDataMap& catalogue = DaemonCatalogue();
    const OutputFormat_e format = commandLine.m_Json ? OUTPUT_JSON : OUTPUT_TEXT;
    uint64_t received = 0;
    // A frame that does not parse is reported by the unframer on the console.
    CFrameUnframer unframer([&](XP::CSharedPtr<SsOp> op) {
        out << FormatOperation(*op, catalogue, format) << std::endl;
        ++received;
    });
    auto done = [&] { return commandLine.m_Count != 0 && received >= commandLine.m_Count; };

    const uint64_t deadline = commandLine.m_TimeoutMs != 0
                                  ? XP::Clock::DeadlineAfterMs(commandLine.m_TimeoutMs)
                                  : XP::Clock::NO_DEADLINE;
    std::vector<unsigned char> buffer(kReadBufferSize);
    while (!done() && !stop.load()) {
        const uint64_t now = XP::Clock::NowNs();
        if (now >= deadline)
            break;
        const uint64_t leftMs = (deadline - now + 999999) / 1000000;
        const int count = port.Read(buffer.data(), buffer.size(),
                                    static_cast<unsigned int>(std::min(leftMs, kReadSliceMs)));
        for (int i = 0; i < count && !done(); ++i)
            unframer.Push(buffer[static_cast<size_t>(i)]);
    }
    port.Close();
    return commandLine.m_Count != 0 && received < commandLine.m_Count ? kExitFailure : kExitOk;
}

int RunList(const CommandLine_t& commandLine, std::ostream& out) {
    if (commandLine.m_Enums) {
        ListEnumerations(out);
    } else {
        ListCatalogue(DaemonCatalogue(), out);
    }
    out.flush();
    return kExitOk;
}

}  // namespace KestrelCtl
