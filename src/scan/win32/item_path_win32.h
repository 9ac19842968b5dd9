// The ItemPathContext of the machine and user this program runs as.
#pragma once

#include "scan/item_path.h"

namespace scan {

ItemPathContext currentItemPathContext();

}  // namespace scan
