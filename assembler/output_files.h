// The three files tarn leaves beside the source (written by write_hexfile and
// write_dbgfile): the code image (.hex), the user EEPROM image (.epr) and the statement
// addresses with their source lines (.dbg). All are text with CR LF line ends and the same
// five-line header, whose third line tells when the file was written.
#pragma once

#include <ctime>
#include <string>

// A date and time in the classic C calendar form, "Mon Jan  3 09:05:07 2011".
std::string calendar_text(const std::tm& time);
