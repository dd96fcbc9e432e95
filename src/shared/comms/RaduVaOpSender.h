#pragma once

#include <string>
#include <type_traits>

#include "xptools/Uncopyable.h"

namespace log4cpp {
class Category;
}

class CommBus;
class COpSsDataMap;
class SsOp;

// Every status report leaves the daemon here: one set operation per call, with one index byte,
// its value written in the form the catalogue gives for the operation id.
//
// Threads: TransmitStatus may be called from any thread (status polling, the video status
// thread, the subsystem's reports); each call builds its own operation, and the channel keeps
// the frames of concurrent calls apart. The channel and the catalogue are not owned, must outlive
// the sender, and the catalogue is no longer changed once senders run.
class RaduVaOpSender : private XP::CUncopyable {
public:
    RaduVaOpSender(CommBus& uartAdapter, const COpSsDataMap& opSsDataMap);
    ~RaduVaOpSender();

    // Sends `value` for `opId` at index `index` (its low 8 bits), as the catalogue's data type
    // for the id. Integers of any width and enumerations (as their integer value) are accepted.
    // Nothing is sent, and an error is logged, when the id is not in the catalogue, the
    // catalogue's type has no integer form, or the send fails. True when the operation went out.
    template <typename T, typename = std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>>>
    bool TransmitStatus(unsigned int opId, unsigned int index, T value) {
        if constexpr (std::is_enum_v<T>) {
            return TransmitStatus(opId, index, static_cast<std::underlying_type_t<T>>(value));
        } else if constexpr (std::is_signed_v<T>) {
            return TransmitInteger(opId, index, static_cast<long long>(value));
        } else {
            return TransmitInteger(opId, index, static_cast<unsigned long long>(value));
        }
    }

    // Sends `text` as VT_STRING without consulting the catalogue.
    bool TransmitStatus(unsigned int opId, unsigned int index, const std::string& text);
    bool TransmitStatus(unsigned int opId, unsigned int index, const char* text) {
        return TransmitStatus(opId, index, std::string(text != nullptr ? text : ""));
    }

private:
    // Widened so that the conversion to the catalogue's type keeps the value's sign.
    template <typename Wide>
    bool TransmitInteger(unsigned int opId, unsigned int index, Wide value);
    bool Send(SsOp& op, unsigned int index);

    log4cpp::Category& m_Log;
    CommBus& m_UartAdapter;
    const COpSsDataMap& m_OpSsDataMap;
};
