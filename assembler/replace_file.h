// Replacing a file tarn writes (.hex, .epr, .dbg, verInfoTARN.txt) so that no reader ever sees
// half of it: the text goes to a temporary file beside it, which is renamed over the old file
// once it is complete and on the disk. What is in the way and is not a regular file (a folder,
// a FIFO, whose opening would wait for a reader for ever, a device) is left alone, and so is a
// read-only file; a symbolic link keeps pointing where it points and the file it leads to is
// replaced. The new file keeps the permissions of the one it replaces.
#pragma once

#include <string>
#include <string_view>

// False, with the reason in `reason` ("not a regular file", or the system's words such as "No
// space left on device"), when the file could not be replaced; nothing is left behind then.
bool replace_file(const std::string& path, std::string_view text, std::string& reason);

// Removes a regular file (or a link to one) of that name, if there is one: an output of an
// earlier run that must not be taken for this run's. False when it is there and stays.
bool remove_regular_file(const std::string& path);
