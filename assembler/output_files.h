// The three files tarn leaves beside the source: the code image (.hex), the user EEPROM
// image (.epr) and the statement addresses with their source lines (.dbg). All are text
// with CR LF line ends and the same five-line header.
#pragma once

#include "assembler/code_image.h"

#include <ctime>
#include <string>

// Path of an output file: the source's directory, its file name up to the last dot (the
// whole name when it has none), and `extension`.
std::string output_path(const char* extension);

// The date and time in the form "Mon Jan  3 09:05:07 2011" (local time).
std::string calendar_text(const std::tm& time);

// The file bodies, each ending with its two trailing line ends.
std::string hex_body(const CodeImage& image);
std::string epr_body();
std::string dbg_body();
