#include "in_process_assembly.h"

#include "assembler/backend.h"
#include "assembler/diagnostics.h"
#include "assembler/front_end.h"
#include "message_capture.h"

#include <cstdio>

namespace {

bool go_on() {
    return err_cnt == 0 && !stopping();
}

} // namespace

void reset_assembler() {
    reset_front_end();
    reset_backend();
}

InProcessAssembly assemble_in_process(const std::string& source,
                                      const std::function<void()>& after_parse) {
    reset_assembler();
    InProcessAssembly result;
    MessageCapture capture;
    std::string text = source; // fmemopen needs a writable buffer
    FILE* input = fmemopen(text.data(), text.size(), "r");
    if (input == nullptr) return result;
    result.parsed = parse_source("main.asm", input) == 0 && go_on();
    std::fclose(input);
    if (result.parsed && after_parse) after_parse();
    if (result.parsed) check_opcode();
    if (result.parsed && go_on()) check_jump();
    if (result.parsed && go_on()) result.image = build_code_image();
    result.ended_run = stop_requested() == Stop::end_run;
    result.messages = capture.text();
    return result;
}

std::vector<const OpcodeRecord*> statement_list() {
    std::vector<const OpcodeRecord*> list;
    for (const OpcodeRecord* s = first_statement(); s != nullptr; s = next_statement(s))
        list.push_back(s);
    return list;
}
