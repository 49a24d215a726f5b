#include "assembler/front_end.h"

#include "assembler/diagnostics.h"
#include "assembler/program_lists.h"
#include "assembler/source_reader.h"
#include "assembler/symtab.h"
#include "assembler/text_store.h"
#include "grammar.hpp"

void reset_front_end() {
    reset_scanner();
    reset_parser();
    reset_program_lists();
    reset_symtab();
    clear_text_store(); // last: everything above may point into it
    reset_diagnostics();
}

int parse_source(const char* path, FILE* input) {
    scanner_start(path, input);
    return yyparse();
}
