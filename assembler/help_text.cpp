#include "assembler/help_text.h"

#include "assembler/text_file_writer.h"

#include <array>

namespace {

// Printed verbatim one after the other; the vendor's notice follows them.
constexpr std::array help_pieces{
    "\n----------------------------------------------------",
    "\n--- KZ71 Assembler,     ivra ---",
    "\n--- ONLINE HELP                                  ---",
    "\n----------------------------------------------------\n\n",
    "Call: tarn.exe <Options> <File...>",
    "\n1st-path-assembler, processes user assembler code to KZ71 instruction code",
    "\n\nFiles:",
    "\n\tAny ASCII-file which meets KZ71 user assembler constraints, like:",
    "\n\t<OPCODE> [ <PARAMETER> , <PARAMETER>, ... ]",
    "\n\tBy default, the file extension *.asm is assigned to TARN",
    "\n\nOptions:",
    "\n\t/?\t\tshow help",
    "\n\t--help\t\tshow help",
    "\n\t-v\t\tshow version",
    "\n\nExamples:",
    "\n\ttarn.exe  -->  call without arguments, stdin is used as source",
    "\n\ttarn.exe mycode.asm   --> call the assembler with the file 'mycode.asm'",
    "\n\nExit-Codes:",
    "\n\tEXIT 0\t\t Programm executed successfully",
    "\n\tall others:\t Program execution had errors.",
    "\n\t           \t Please see 'Exit Codes' list",
    "\n\tThe exit code equals the return value of the application",
    "\n\nSyntax help:",
    "\n\tSingle line comment:\t;",
    "\n\tMultiple line comment:\t<COMMENT> ... <ENDCOMMENT>",
    "\n\tIncluding files:\t#include \"filename.h\"",
    "\n\tConstant declaration:\tCONST myConstant 20",
    "\n\tNumber formatting:\tdecimal or hexadecimal, e.g.:  20  or 0x16",
    "\n\tCall subroutines:\t'jsub <label>'  and 'jsubret' to jump back",
    "\n\tAssembler opcodes:\tplease see table 'User Assembler Opcodes'",
};

constexpr const char* version = "2.0";

} // namespace

void showHelp(Diagnostics& diag) {
    for (const char* piece : help_pieces)
        std::fputs(piece, diag.out());
    std::fprintf(diag.out(), "\n\n%s\n", vendor_notice);
}

void showVersion(Diagnostics& diag) {
    std::fprintf(diag.out(), "\nTARN, KZ71 Assembler\nVersion: %s\n\n", version);
    TextFileWriter file("verInfoTARN.txt");
    file << version;
    if (!file.finish()) {
        std::fprintf(diag.out(), "\n%-8s%s\n", "ERROR:", "Cannot write file 'verInfoTARN.txt'");
        ++diag.err_cnt;
    }
}
