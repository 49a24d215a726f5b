// The back-end phases of tarn, called by the driver in this order while err_cnt stays 0:
// check_opcode, check_jump, write_hexfile, write_dbgfile. Each works on the program lists
// and the symbol table, reports through err_cnt, and may end the run at once with
// request_stop(Stop::end_run).
#pragma once

// Puts the back end's process-wide state (user EEPROM image, used cells, code image) back
// to its start.
void reset_backend();

void check_opcode();
void check_jump();
void write_hexfile();
void write_dbgfile();
