#include "protocol/visa_status.h"

namespace protocol {

namespace {

struct Description {
    ViStatus status;
    const char* text;
};

constexpr Description descriptions[] = {
    {VI_SUCCESS, "Operation completed successfully."},
    {VI_SUCCESS_DEV_NPRESENT,
     "Session opened successfully, but the device at the specified address is not responding."},
    {VI_WARN_CONFIG_NLOADED, "The specified configuration either does not exist or could not be "
                             "loaded; using VISA-specified defaults."},
    {VI_WARN_NULL_OBJECT, "The specified object reference is uninitialized."},
    {VI_WARN_UNKNOWN_STATUS, "The status code passed to the operation could not be interpreted."},
    {VI_ERROR_SYSTEM_ERROR, "Unknown system error (miscellaneous error)."},
    {VI_ERROR_INV_OBJECT, "The given session or object reference is invalid."},
    {VI_ERROR_RSRC_LOCKED, "Specified type of lock cannot be obtained, or specified operation "
                           "cannot be performed, because the resource is locked."},
    {VI_ERROR_INV_EXPR, "Invalid expression specified for search."},
    {VI_ERROR_RSRC_NFOUND, "Insufficient location information or the device or resource is not "
                           "present in the system."},
    {VI_ERROR_INV_RSRC_NAME, "Invalid resource reference specified. Parsing error."},
    {VI_ERROR_INV_ACC_MODE, "Invalid access mode."},
    {VI_ERROR_TMO, "Timeout expired before operation completed."},
    {VI_ERROR_CLOSING_FAILED, "Unable to deallocate the previously allocated data structures "
                              "corresponding to this session or object reference."},
    {VI_ERROR_RAW_WR_PROT_VIOL, "Violation of raw write protocol occurred during transfer."},
    {VI_ERROR_RAW_RD_PROT_VIOL, "Violation of raw read protocol occurred during transfer."},
    {VI_ERROR_INV_SETUP, "Unable to start operation because setup is invalid (due to attributes "
                         "being set to an inconsistent state)."},
    {VI_ERROR_ALLOC, "Insufficient system resources to perform necessary memory allocation."},
    {VI_ERROR_IO, "Could not perform operation because of I/O error."},
    {VI_ERROR_NSUP_OPER, "The given session or object reference does not support this operation."},
    {VI_ERROR_USER_BUF,
     "A specified user buffer is not valid or cannot be accessed for the required size."},
    {VI_ERROR_RSRC_BUSY, "The resource is valid, but VISA cannot currently access it."},
    {VI_ERROR_INV_PARAMETER, "The value of some parameter (which parameter is not known) is "
                             "invalid."},
    {VI_ERROR_INV_LENGTH, "Invalid length specified."},
    {VI_ERROR_LIBRARY_NFOUND, "A code library required by VISA could not be located or loaded."},
    {VI_ERROR_CONN_LOST, "The connection for the given session has been lost."},
    {VI_ERROR_NPERMISSION, "Access to the resource or remote machine is denied. This is due to "
                           "lack of sufficient privileges for the current user or machine."},
};

} // namespace

const char* statusDescription(ViStatus status) {
    for (const Description& d : descriptions)
        if (d.status == status) return d.text;
    return nullptr;
}

} // namespace protocol
