#include "kestrelctl/CommandLine.h"

#include "kestrelctl/ValueText.h"
#include "xptools/Str.h"

namespace KestrelCtl {
namespace {

// A week: long enough for anyone, short enough to stay clear of overflow in milliseconds.
constexpr uint64_t kMaxTimeoutMs = 7ull * 24 * 3600 * 1000;

// Seconds with up to three decimals ("10", "0.5") in milliseconds; above zero.
bool ParseSeconds(const std::string& text, uint64_t& ms) {
    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    if (whole.empty() || (point != std::string::npos && fraction.empty()) || fraction.size() > 3)
        return false;
    for (char c : whole + fraction) {
        if (c < '0' || c > '9')
            return false;
    }
    uint64_t seconds = 0;
    if (!ParseNumber(whole, kMaxTimeoutMs / 1000, seconds))
        return false;
    fraction.resize(3, '0');
    ms = seconds * 1000 + std::stoul(fraction);
    return ms > 0 && ms <= kMaxTimeoutMs;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine_t& commandLine,
                      std::string& error) {
    commandLine = CommandLine_t();
    size_t i = 0;
    // The value of the option at `i`, which moves past it.
    auto optionValue = [&](std::string& value) {
        if (i + 1 >= arguments.size()) {
            error = arguments[i] + " needs a value";
            return false;
        }
        value = arguments[++i];
        return true;
    };

    for (; i < arguments.size() && !arguments[i].empty() && arguments[i][0] == '-'; ++i) {
        const std::string& option = arguments[i];
        std::string value;
        if (option == "-h" || option == "--help") {
            commandLine.m_Command = COMMAND_HELP;
            return true;
        } else if (option == "-d" || option == "--device") {
            if (!optionValue(commandLine.m_Device))
                return false;
            if (commandLine.m_Device.empty()) {
                error = "the device path is empty";
                return false;
            }
        } else if (option == "-b" || option == "--baud") {
            uint64_t baud = 0;
            if (!optionValue(value))
                return false;
            if (!ParseNumber(value, UINT32_MAX, baud) || baud == 0) {
                error = "\"" + value + "\" is not a baud rate";
                return false;
            }
            commandLine.m_Baud = static_cast<unsigned int>(baud);
        } else {
            error = "unknown option " + option;
            return false;
        }
    }
    if (i == arguments.size()) {
        error = "no command given (send, watch or list)";
        return false;
    }

    const std::string& command = arguments[i++];
    if (command == "help") {
        commandLine.m_Command = COMMAND_HELP;
    } else if (command == "send") {
        commandLine.m_Command = COMMAND_SEND;
        for (; i < arguments.size(); ++i) {
            if (arguments[i] == "-h" || arguments[i] == "--help") {
                commandLine.m_Command = COMMAND_HELP;
                return true;
            }
            if (!arguments[i].empty() && arguments[i][0] == '-') {
                error = "unknown option " + arguments[i] + " for send";
                return false;
            }
            commandLine.m_Operations.push_back(arguments[i]);
        }
        if (commandLine.m_Operations.empty()) {
            error = "send needs at least one operation";
            return false;
        }
    } else if (command == "watch") {
        commandLine.m_Command = COMMAND_WATCH;
        for (; i < arguments.size(); ++i) {
            const std::string& option = arguments[i];
            std::string value;
            if (option == "-h" || option == "--help") {
                commandLine.m_Command = COMMAND_HELP;
                return true;
            } else if (option == "--json") {
                commandLine.m_Json = true;
            } else if (option == "--count") {
                if (!optionValue(value))
                    return false;
                if (!ParseNumber(value, UINT32_MAX, commandLine.m_Count) ||
                    commandLine.m_Count == 0) {
                    error = "--count needs a positive number, not \"" + value + "\"";
                    return false;
                }
            } else if (option == "--timeout") {
                if (!optionValue(value))
                    return false;
                if (!ParseSeconds(value, commandLine.m_TimeoutMs)) {
                    error =
                        "--timeout needs seconds above 0 (at most three decimals, at most a "
                        "week), not \"" +
                        value + "\"";
                    return false;
                }
            } else {
                error = "unknown argument " + option + " for watch";
                return false;
            }
        }
    } else if (command == "list") {
        commandLine.m_Command = COMMAND_LIST;
        for (; i < arguments.size(); ++i) {
            if (arguments[i] == "--enums") {
                commandLine.m_Enums = true;
            } else if (arguments[i] == "-h" || arguments[i] == "--help") {
                commandLine.m_Command = COMMAND_HELP;
                return true;
            } else {
                error = "unknown argument " + arguments[i] + " for list";
                return false;
            }
        }
    } else {
        error = "unknown command \"" + command + "\" (send, watch or list)";
        return false;
    }
    return true;
}

const char* HelpText() {
    return R"(kestrelctl - the controller's side of kestrel's serial link

Usage:
  kestrelctl [-d DEVICE] [-b BAUD] send OP...
  kestrelctl [-d DEVICE] [-b BAUD] watch [--count N] [--timeout SECONDS] [--json]
  kestrelctl list [--enums]
  kestrelctl --help

Options:
  -d, --device DEVICE  serial device; default: "/dev/ttyS2" under the root ($KESTREL_ROOT,
                       else /tmp/kestrel-root-<uid>)
  -b, --baud BAUD      baud rate; default 115200. The port runs 8N1 with XON/XOFF flow
                       control, as the daemon's does.

send OP...
  Sends each OP as one frame, in the order given. An OP is one of
    NAME[INDEX]=VALUE  a set operation of the catalogue entry NAME ("kestrelctl list")
    ID[INDEX]=VALUE    the same by id, decimal or 0x-hex
    end                a transaction end (type 6, id 0, no index, no data)
    raw:HEX            a payload given as hex digits (an even number), framed as it is
  INDEX: bytes 0..255 separated by commas, outermost first ("[1]", "[1,2]"); "[]" sends no
  index; without brackets the index is the single byte 0.
  VALUE is read by the entry's catalogue type:
    integers   decimal or 0x-hex ("-20", "0x1FF"), within the type's range; for ids whose
               value is an enumeration also the member's name ("VIDEO_TYPE_MPEG4"); any
               number in range is sent, member or not
    VT_BOOL    true, false, 1 or 0
    VT_STRING  the text as given, at most 240 bytes
    VT_IP      a dotted quad, or a number; VT_MAC six hex pairs
  Every OP is checked before the device is opened: on any error nothing is sent.
  Example: kestrelctl send serviceselectionVideoCodecType=VIDEO_TYPE_MPEG4 \
               serviceselectionVideo=0x100 hisisystemProductId[1]=KR-4000 end

watch [--count N] [--timeout SECONDS] [--json]
  Prints every operation received, one line each, until N operations have arrived, the
  time-out passes (default: no time-out, wait until interrupted) or SIGINT/SIGTERM.
    TYPE NAME[INDEX] = VALUE
  TYPE is the operation type without "OP_TYPE_" (SET, TRANSACTION_END, ...; a number when
  unknown). NAME is the catalogue's name, or the id when it is not catalogued. VALUE is read
  by the catalogue type (ids 2, 3, 9 and 11 as text, as the daemon sends them); strings are
  quoted; bytes that do not read as the type are shown in hex as <03 04>. An enumeration
  value is followed by its member's name:
    SET videoFrameRate[0] = 3 (VIDEO_FRAME_RATE_25)
    SET hisisystemSoftwareVersion[0] = "1.2.3"
  An operation other than SET shows what it carries: name and index unless it is empty
  (id 0, no index, no data), and a value only when it has data ("TRANSACTION_END").
  --json prints one JSON object per line instead:
    {"type":"SET","id":280,"name":"videoFrameRate","index":[0],"value":3,"enum":"VIDEO_FRAME_RATE_25"}
  ("name" only for catalogued ids, "enum" only for members, "data" with hex digits in place
  of "value" for bytes that do not read as the type).
  Frames that do not parse are reported on stderr and watching goes on.

list [--enums]
  Prints the catalogue as the daemon resolves it, one "ID NAME TYPE USE" per line in id
  order (USE: set, status or -); with --enums every value enumeration instead, one
  "ENUMERATION MEMBER VALUE" per line.

Exit status:
  0  done: all sent; watch got N operations, or ended by time-out or signal without --count
  1  the device cannot be opened or a write failed; watch ended before N operations
  2  bad command line, unknown name or id, or a value that does not fit its type
Errors are one line on stderr; so are the link's own messages (frames that do not parse).
)";
}

}  // namespace KestrelCtl
