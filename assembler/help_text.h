// The texts of tarn's options.
#pragma once

// Prints the online help (options "--help" and "/?").
void showHelp();

// Prints the version and writes it to "verInfoTARN.txt" in the working directory (option
// "-v"); a file that cannot be written is reported and counted.
void showVersion();
