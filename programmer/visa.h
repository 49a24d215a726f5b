// A VISA-shaped API for USB RAW devices: the resource manager, resource search, sessions and
// vendor control transfers, with VISA's types, status codes and status descriptions.
//
// Two backends stand behind it, chosen when a resource manager is opened by the environment
// variable KZ71_PROGRAMMER: "usb" (the default) talks to real devices through libusb-1.0, "sim"
// to the in-process simulator of the KZ71 programmer.
#pragma once

#include <cstdint>

using ViUInt32 = std::uint32_t;
using ViInt32 = std::int32_t;
using ViUInt16 = std::uint16_t;
using ViInt16 = std::int16_t;
using ViUInt8 = std::uint8_t;
using ViChar = char;
using ViByte = unsigned char;
using ViStatus = ViInt32;
using ViObject = ViUInt32;
using ViSession = ViObject;
using ViFindList = ViObject;
using ViAccessMode = ViUInt32;
using ViAttr = ViUInt32;
using ViPSession = ViSession*;
using ViPFindList = ViFindList*;
using ViPUInt32 = ViUInt32*;
using ViPUInt16 = ViUInt16*;
using ViConstString = const ViChar*;
using ViConstRsrc = ViConstString;
using ViPBuf = ViByte*;
using ViConstBuf = const ViByte*;

inline constexpr ViObject VI_NULL = 0;
inline constexpr int VI_FIND_BUFLEN = 256; // size of a resource name or description buffer

// Access modes of viOpen.
inline constexpr ViAccessMode VI_NO_LOCK = 0;
inline constexpr ViAccessMode VI_EXCLUSIVE_LOCK = 1;
inline constexpr ViAccessMode VI_SHARED_LOCK = 2;
inline constexpr ViAccessMode VI_LOAD_CONFIG = 4;

// Time-out of a control transfer (VISA's default for a new session), in milliseconds.
inline constexpr ViUInt32 VI_DEFAULT_TMO_MS = 2000;

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

// Opens a session to the default resource manager. The backend is chosen here (KZ71_PROGRAMMER);
// an unknown value fails with VI_ERROR_LIBRARY_NFOUND.
ViStatus viOpenDefaultRM(ViPSession vi);

// Finds the resources matching `expr` (a VISA regular expression over resource names, optionally
// followed by an attribute expression in braces). `desc` (VI_FIND_BUFLEN characters) receives the
// first match, `retCnt` the number of matches; `vi`, when given, receives a find list for
// viFindNext. No match: VI_ERROR_RSRC_NFOUND.
ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                    ViChar desc[]);
ViStatus viFindNext(ViFindList vi, ViChar desc[]);

// Opens a session to a USB RAW resource ("USB0::0x194E::0x100F::serial::RAW"). A device held by
// another program fails with VI_ERROR_RSRC_BUSY; an exclusive lock held by another session of
// this process with VI_ERROR_RSRC_LOCKED once `timeout` milliseconds have passed.
ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViPSession vi);

// Closes a session, find list or resource manager (and everything opened through it).
// Closing VI_NULL returns the warning VI_WARN_NULL_OBJECT.
ViStatus viClose(ViObject vi);

// The description of a status code, into `desc` (VI_FIND_BUFLEN characters). Works for any `vi`,
// also VI_NULL. An unknown code gives VI_WARN_UNKNOWN_STATUS.
ViStatus viStatusDesc(ViObject vi, ViStatus status, ViChar desc[]);

// Vendor control transfers on a USB RAW session. bmRequestType bit 7 must be 0 for OUT and 1 for
// IN; wLength bytes are sent from / received into `buf`. `retCnt` (may be null) receives the
// number of bytes actually received, which can be less than wLength.
ViStatus viUsbControlOut(ViSession vi, ViInt16 bmRequestType, ViInt16 bRequest, ViUInt16 wValue,
                         ViUInt16 wIndex, ViUInt16 wLength, ViConstBuf buf);
ViStatus viUsbControlIn(ViSession vi, ViInt16 bmRequestType, ViInt16 bRequest, ViUInt16 wValue,
                        ViUInt16 wIndex, ViUInt16 wLength, ViPBuf buf, ViPUInt16 retCnt);
