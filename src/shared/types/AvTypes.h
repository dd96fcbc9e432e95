#pragma once

// Every value enumeration shared with the controller and the device layer.
#include "shared/types/AudioTypes.h"
#include "shared/types/CodecTypes.h"
#include "shared/types/DemuxTypes.h"
#include "shared/types/OutputTypes.h"
#include "shared/types/StatusTypes.h"
#include "shared/types/VideoFormatTypes.h"
