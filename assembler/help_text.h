// The texts of tarn's options.
#pragma once

#include "assembler/diagnostics.h"

// The vendor's notice that ends the help text and heads every output file.
inline constexpr const char* vendor_notice = "(c) 2011 ivra, all rights reserved";

// Prints the online help (options "--help" and "/?") on `diag`'s output.
void showHelp(Diagnostics& diag);

// Prints the version and writes it to "verInfoTARN.txt" in the working directory (option
// "-v"); a file that cannot be written is reported and counted.
void showVersion(Diagnostics& diag);
