// Runs a source through tarn's phases inside the test process, without writing files, and
// leaves the program lists and the user EEPROM image for the test to inspect.
#pragma once

#include "assembler/code_image.h"
#include "assembler/program_lists.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct InProcessAssembly {
    std::string messages;           // everything the phases printed
    bool parsed = false;            // the parser accepted the source
    bool ended_run = false;         // a phase ended the run at once
    std::optional<CodeImage> image; // when parsing and the checks found no error
};

// Parses `source` as "main.asm", then runs check_opcode, check_jump and builds the image,
// each only while no error was counted. `after_parse` may change the parsed lists first.
InProcessAssembly assemble_in_process(const std::string& source,
                                      const std::function<void()>& after_parse = {});

// The statements of the final program list, in order.
std::vector<const OpcodeRecord*> statement_list();

// Puts every piece of the assembler's state back to its start.
void reset_assembler();
