// VISA's completion and error codes and their description texts: the status every USB backend
// returns and the VISA-shaped layer hands on to its callers.
#pragma once

#include <cstdint>

using ViInt32 = std::int32_t;
using ViStatus = ViInt32;

namespace visa_codes {
constexpr ViStatus code(std::uint32_t value) {
    return static_cast<ViStatus>(value);
}
} // namespace visa_codes

// Completion codes.
inline constexpr ViStatus VI_SUCCESS = 0;
inline constexpr ViStatus VI_SUCCESS_DEV_NPRESENT = visa_codes::code(0x3FFF007D);
inline constexpr ViStatus VI_WARN_CONFIG_NLOADED = visa_codes::code(0x3FFF0077);
inline constexpr ViStatus VI_WARN_NULL_OBJECT = visa_codes::code(0x3FFF0082);
inline constexpr ViStatus VI_WARN_UNKNOWN_STATUS = visa_codes::code(0x3FFF0085);

// Error codes.
inline constexpr ViStatus VI_ERROR_SYSTEM_ERROR = visa_codes::code(0xBFFF0000);
inline constexpr ViStatus VI_ERROR_INV_OBJECT = visa_codes::code(0xBFFF000E);
inline constexpr ViStatus VI_ERROR_INV_SESSION = VI_ERROR_INV_OBJECT;
inline constexpr ViStatus VI_ERROR_RSRC_LOCKED = visa_codes::code(0xBFFF000F);
inline constexpr ViStatus VI_ERROR_INV_EXPR = visa_codes::code(0xBFFF0010);
inline constexpr ViStatus VI_ERROR_RSRC_NFOUND = visa_codes::code(0xBFFF0011);
inline constexpr ViStatus VI_ERROR_INV_RSRC_NAME = visa_codes::code(0xBFFF0012);
inline constexpr ViStatus VI_ERROR_INV_ACC_MODE = visa_codes::code(0xBFFF0013);
inline constexpr ViStatus VI_ERROR_TMO = visa_codes::code(0xBFFF0015);
inline constexpr ViStatus VI_ERROR_CLOSING_FAILED = visa_codes::code(0xBFFF0016);
inline constexpr ViStatus VI_ERROR_RAW_WR_PROT_VIOL = visa_codes::code(0xBFFF0034);
inline constexpr ViStatus VI_ERROR_RAW_RD_PROT_VIOL = visa_codes::code(0xBFFF0035);
inline constexpr ViStatus VI_ERROR_INV_SETUP = visa_codes::code(0xBFFF003A);
inline constexpr ViStatus VI_ERROR_ALLOC = visa_codes::code(0xBFFF003C);
inline constexpr ViStatus VI_ERROR_IO = visa_codes::code(0xBFFF003E);
inline constexpr ViStatus VI_ERROR_NSUP_OPER = visa_codes::code(0xBFFF0067);
inline constexpr ViStatus VI_ERROR_USER_BUF = visa_codes::code(0xBFFF0071);
inline constexpr ViStatus VI_ERROR_RSRC_BUSY = visa_codes::code(0xBFFF0072);
inline constexpr ViStatus VI_ERROR_INV_PARAMETER = visa_codes::code(0xBFFF0078);
inline constexpr ViStatus VI_ERROR_INV_LENGTH = visa_codes::code(0xBFFF0083);
inline constexpr ViStatus VI_ERROR_LIBRARY_NFOUND = visa_codes::code(0xBFFF009E);
inline constexpr ViStatus VI_ERROR_CONN_LOST = visa_codes::code(0xBFFF00A6);
inline constexpr ViStatus VI_ERROR_NPERMISSION = visa_codes::code(0xBFFF00A8);

namespace protocol {

// The description of `status`, or null for a code VISA does not define here.
const char* statusDescription(ViStatus status);

} // namespace protocol
