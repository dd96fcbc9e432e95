#pragma once

#include <string>

#include "shared/comms/SsOp.h"
#include "shared/data/ssData/OpSsDataMap.h"

// One received operation as one line of "kestrelctl watch".
//
// Text:  TYPE NAME[INDEX] = VALUE
//   SET videoFrameRate[0] = 3 (VIDEO_FRAME_RATE_25)
//   SET hisisystemSoftwareVersion[0] = "1.2.3"
//   SET 999[1,2] = <03 04>
//   TRANSACTION_END
// TYPE is the operation type's name without "OP_TYPE_" (the number for an unknown type). NAME is
// the catalogue's name, or the id when the catalogue does not hold it. The value is read by the
// catalogue type, except for the ids the daemon always sends as text (2, 3, 9, 11); bytes that
// do not read as the type are shown raw in hex between < >. For an id whose value is an
// enumeration the member's name follows in parentheses ("not a member of X" when none has the
// value). A SET always shows its value; another type shows the name and index unless the
// operation is empty (id 0, no index, no data), and a value only when it carries data.
//
// JSON:  {"type":"SET","id":280,"name":"videoFrameRate","index":[0],"value":3,
//         "enum":"VIDEO_FRAME_RATE_25"}
// with the same rules: "name" only for a catalogued id, "value" for a readable value or "data"
// (hex digits) for one that is not, "enum" only for a member of the id's enumeration.
namespace KestrelCtl {

enum OutputFormat_e { OUTPUT_TEXT, OUTPUT_JSON };

// The line, without a newline.
std::string FormatOperation(const SsOp& op, const COpSsDataMap& catalogue, OutputFormat_e format);

}  // namespace KestrelCtl
