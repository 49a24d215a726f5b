// A VISA-shaped API for USB RAW devices: the resource manager, resource search, sessions and
// vendor control transfers, with VISA's types, status codes and status descriptions.
//
// A USB backend carries the transfers. The program registers the backends it links in the
// backend table (programmer/backend_table.h): "usb" talks to real devices through libusb-1.0,
// "sim" to the in-process simulator of the KZ71 programmer.
#pragma once

#include "protocol/visa_status.h"

#include <cstdint>

using ViUInt32 = std::uint32_t;
using ViUInt16 = std::uint16_t;
using ViInt16 = std::int16_t;
using ViUInt8 = std::uint8_t;
using ViChar = char;
using ViByte = unsigned char;
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

// Opens a session to the default resource manager, on the backend chosen by selectBackend (when
// nothing was selected: KZ71_PROGRAMMER, else "usb"). A backend that is not registered fails
// with VI_ERROR_LIBRARY_NFOUND.
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

// Closes a session, find list or resource manager (and everything opened through it). The object
// is gone afterwards whatever the result; an error says the backend could not close the device
// cleanly. Closing VI_NULL returns the warning VI_WARN_NULL_OBJECT.
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
