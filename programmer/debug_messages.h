// The debugger's popups: each code with its text, exactly as the user sees them. Texts with a
// "%s" take VISA's description of a status or a path.
#pragma once

#include <string_view>

namespace programmer::debug_message {

// Reading the .dbg and .hex files.
inline constexpr int file_access_code = 204;
inline constexpr std::string_view debug_file_access =
    "Cannot access debug file.\nMake sure the file exists.";
inline constexpr std::string_view hex_file_access =
    "Cannot access hex file.\nMake sure the file exists.";
inline constexpr int table_timeout_code = 205;
inline constexpr std::string_view table_timeout =
    "Creating address assignment table timed out.\nPlease run again.";
inline constexpr int hex_check_access_code = 206;
inline constexpr const char* hex_check_access = "Cannot access hexfile at:\n%s";
inline constexpr int hex_check_timeout_code = 207;
inline constexpr std::string_view hex_check_timeout =
    "Reading hexfile timed out.\nPlease run again.";

// Debug mode and the run commands.
inline constexpr int power_reset_code = 211;
inline constexpr const char* power_reset = "Performing power reset failed!\n%s";
inline constexpr int enable_debug_code = 213;
inline constexpr const char* enable_debug = "Enable debug mode failed\n%s";
inline constexpr int step_read_code = 216;
inline constexpr const char* step_read = "Reading debug information failed\n%s";
inline constexpr int run_timeout_code = 217;
inline constexpr std::string_view run_timeout = "Debugging process timed out.\nPlease run again";
inline constexpr int end_of_program_code = 218;
inline constexpr std::string_view end_of_program =
    "Reached end of file (EOF)\nDebugging pass completed";
inline constexpr int run_aborted_code = 219;
inline constexpr std::string_view run_aborted_no_usb =
    "Aborted debugging process. Possible reasons are:\n- no USB communication is possible\n- "
    "switching to debug mode of KZ71 failed";
inline constexpr std::string_view run_aborted_wrong_file =
    "Aborted debugging process. Possible reasons are:\n- the downloaded hexfile is not the same "
    "you are trying to debug\n- switching to debug mode of KZ71 failed";
inline constexpr int init_reset_code = 220;
inline constexpr const char* init_reset = "Performing init reset failed!\n%s";
inline constexpr int step_aborted_code = 221;
inline constexpr std::string_view step_aborted =
    "Aborted debugging process. Possible reasons are:\n- no USB communication is possible\n- the "
    "downloaded hexfile is not the same you are trying to debug\n- switching to debug mode of "
    "KZ71 failed";

// Hold points and the clk10khz check.
inline constexpr int invalid_hold_point_code = 224;
inline constexpr std::string_view invalid_hold_point =
    "Selected line is not valid as a debug hold point.\nInvalid lines can be for example:\n- "
    "empty lines\n- lines with an include directive\n- comment lines\n\nPlease select another "
    "line!\nSwitch off this message: Tools -> Settings -> Environment";
inline constexpr int clk10khz_code = 227;
inline constexpr std::string_view clk10khz =
    "Opcode 'clk10khz' was detected. This opcode is not debugable!\n\nPlease remove or comment "
    "out this opcode, compile and download again.\nThen start another debug process.\n";

// The RAM window (226 and 22 are the page's own: its panel could not be loaded or localized).
inline constexpr int ram_panel_code = 226;
inline constexpr std::string_view ram_panel = "Loading RAM content panel failed!";
inline constexpr int ram_localization_code = 22;
inline constexpr std::string_view ram_localization = "Loading chinese coding failed!";
inline constexpr int ram_inactive_code = 228;
inline constexpr std::string_view ram_inactive =
    "RAM content can only be shown\nif debug mode is active";

// A source file changed after the build that wrote the .dbg file: the lines shown may be wrong.
inline constexpr int stale_build_code = 229;
inline constexpr const char* stale_build =
    "The source file\n%s\nis newer than the debug file\n%s\n\nThe highlighted lines may not match "
    "the program. Please compile and download again.";

} // namespace programmer::debug_message
