#pragma once

#include "shared/comms/SsOp.h"
#include "shared/comms/iCommOpHandler.h"
#include "xptools/SharedPtr.h"

namespace log4cpp {
class Category;
}

class CUartAdapter;
class iConfigurationQueue;

// The daemon's handler of received operations. Set operations are queued for the configuration
// manager; a transaction end schedules one configuration run; every other known type is logged
// and ignored.
//
// Threads: Start/StopHandlingOperations come from the thread that builds and tears down the
// subsystem; HandleCommOp runs on the serial processing thread. The receiver keeps no state of
// its own. The adapter and the configuration queue are not owned and must outlive it.
class RaduVaOpReceiver : public iCommOpHandler {
public:
    RaduVaOpReceiver(CUartAdapter& uartAdapter, iConfigurationQueue& configManager);
    ~RaduVaOpReceiver() override;

    // Registers with the adapter, then starts its receiving; false when that cannot start.
    bool StartHandlingOperations();
    // Stops the adapter's receiving, then unregisters.
    void StopHandlingOperations();

    void HandleCommOp(XP::CSharedPtr<SsOp> op) override;

private:
    log4cpp::Category& m_Log;
    CUartAdapter& m_UartAdapter;
    iConfigurationQueue& m_ConfigManager;
};
