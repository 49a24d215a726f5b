// VISA's description texts of its status codes.
#pragma once

#include "programmer/visa.h"

namespace visa_detail {

// The description of `status`, or null for a code VISA does not define here.
const char* statusDescription(ViStatus status);

} // namespace visa_detail
