// Runs a source through tarn's phases inside the test process, without writing files, and
// keeps the assembly's state (program lists, symbols, user EEPROM image) for the test.
#pragma once

#include "assembler/assembly.h"
#include "assembler/code_image.h"
#include "message_capture.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct InProcessAssembly {
    std::unique_ptr<MessageCapture> capture; // the assembly's output and error streams
    std::unique_ptr<Assembly> assembly;      // what the phases left behind
    std::string messages;                    // everything the phases printed
    bool parsed = false;                     // the parser accepted the source
    bool ended_run = false;                  // a phase ended the run at once
    std::optional<CodeImage> image;          // when parsing and the checks found no error

    // The statements of the final program list, in order.
    std::vector<const OpcodeRecord*> statements() const;
    // The comment text of every byte of the image, in order.
    std::vector<std::string> comments() const;
};

// Parses `source` as "main.asm", then runs check_opcode, check_jump and builds the image,
// each only while no error was counted. `after_parse` may change the parsed lists first.
InProcessAssembly assemble_in_process(const std::string& source,
                                      const std::function<void(Assembly&)>& after_parse = {});

// The statements of `lists`, in order.
std::vector<const OpcodeRecord*> statement_list(const ProgramLists& lists);
