/* The statement grammar: one statement per line, building the program lists. */

%code top {
#define YYINITDEPTH 200
#define YYMAXDEPTH 150000
}

%code requires {
#include "assembler/diagnostics.h"
#include "assembler/program_lists.h"

#include <cstdint>

class Assembly;
class Scanner;

// Both value types are plain data, so the parser stack may grow by copying.
#define YYLTYPE_IS_TRIVIAL 1
#define YYSTYPE_IS_TRIVIAL 1
}

%code provides {
int yylex(YYSTYPE* value, YYLTYPE* location, Scanner& scanner);
void yyerror(YYLTYPE* location, Scanner& scanner, Assembly& assembly, const char* text);
}

%code {
#include "assembler/assembly.h"
#include "assembler/source_reader.h"

#include <cstdarg>
#include <string>

namespace {

// Prints one message in the parser's form at `at` and counts it.
[[gnu::format(printf, 3, 4)]] void lyyerror(Scanner& scanner, const SourceLocation& at,
                                            const char* format, ...) {
    Diagnostics& diag = scanner.assembly.diag;
    if (diag.stopping()) return;
    va_list arguments;
    va_start(arguments, format);
    diag.vreport_parser_error(scanner.curfilename, at.first_line, format, arguments);
    va_end(arguments);
}

struct Operand {
    int32_t value = 0;
    int32_t type = PAR_NONE;
};

Operand accu(int32_t number) {
    return {number, PAR_ACCU};
}
Operand number(int32_t value) {
    return {value, PAR_NUMBER};
}
constexpr Operand label_operand{0, PAR_LABEL};

// Appends a statement record for the mnemonic at `at` (null when memory ran out). False
// when the source already holds the most statements it may: that is reported, and the
// parse ends.
bool make_statement(Scanner& scanner, Assembly& assembly, const SourceLocation& at,
                    OpcodeRecord*& made, int32_t opcode, Operand p1 = {}, Operand p2 = {},
                    Operand p3 = {}, const char* label = nullptr) {
    made = nullptr;
    if (assembly.op_cnt >= max_statements) {
        lyyerror(scanner, at, "too many statements (at most %d)", max_statements);
        return false;
    }
    OpcodeRecord values;
    values.file_name = scanner.curfilename;
    values.line = at.first_line;
    values.opcode = opcode;
    values.par1 = p1.value;
    values.par1_type = p1.type;
    values.par2 = p2.value;
    values.par2_type = p2.type;
    values.par3 = p3.value;
    values.par3_type = p3.type;
    values.op_index = assembly.op_cnt++;
    values.label = label;
    made = assembly.lists.add_opcode(values);
    return true;
}

// A new jump label; false (after reporting) when the name already labels a statement.
bool define_jumplabel(Scanner& scanner, Assembly& assembly, const SourceLocation& at,
                      const char* name, JumpLabelRecord*& made) {
    made = nullptr;
    if (JumpLabelRecord* existing = assembly.symbols.find_jumplabel(name)) {
        lyyerror(scanner, at, "jump label '%s' already exists at line %d, in file '%s'", name,
                 existing->line, existing->file_name);
        return false;
    }
    made = assembly.lists.add_jumplabel(scanner.curfilename, at.first_line, name);
    assembly.symbols.addref(at.first_line, scanner.curfilename, name, made, REF_JUMPLABEL);
    return true;
}

void define_constant(Scanner& scanner, Assembly& assembly, const SourceLocation& at,
                     const char* name, int32_t value) {
    ConstRecord* record = assembly.lists.add_const(scanner.curfilename, at.first_line, name, value);
    assembly.symbols.addref(at.first_line, scanner.curfilename, name, record, REF_CONST);
}

void report_duplicate_constant(Scanner& scanner, Assembly& assembly, const SourceLocation& at) {
    const ConstRecord* first =
        scanner.inst_const != nullptr ? assembly.symbols.find_const(scanner.inst_const) : nullptr;
    if (first != nullptr)
        lyyerror(scanner, at, "CONST '%s' already declared at line %d in file '%s'", first->name,
                 first->line, first->file_name);
    else
        lyyerror(scanner, at, "this error should never happen");
}

// Sums, differences and products wrap around in 32 bits.
int32_t wrap(uint32_t value) {
    return static_cast<int32_t>(value);
}

} // namespace

// A stop requested by the scanner or the symbol table ends the parse at once.
#define STOP_CHECK                                                                             \
    do {                                                                                       \
        if (assembly.diag.stopping()) YYABORT;                                                 \
    } while (false)

// A statement of the rule's mnemonic and operands; the parse ends when there are too many.
#define STATEMENT(...)                                                                         \
    do {                                                                                       \
        if (!make_statement(scanner, assembly, __VA_ARGS__)) YYABORT;                           \
    } while (false)
}

%define api.pure full
%define api.location.type {SourceLocation}
%define parse.error custom
%locations
%lex-param {Scanner& scanner}
%parse-param {Scanner& scanner} {Assembly& assembly}

%union {
    int32_t number;
    const char* name;
    OpcodeRecord* statement;
    JumpLabelRecord* label;
}

%token CONST
%token <number> OPCODE
%token USREPR ACCU_X ACCU_Y ACCU_Z ACCU_R
%token <number> INT CINT
%token FLOATNUMBER
%token <name> IDENTIFIER
%token NEWLINE

%left '-' '+'
%left '*' '/'

%type <number> par expr
%type <name> identifier
%type <statement> opcode
%type <label> jumplabel

%start start

%%

start
    : line
    | start line
    ;

line
    : constant NEWLINE
    | opcode NEWLINE
    | jumplabel opcode NEWLINE {
        if ($1 != nullptr && $2 != nullptr) {
            $2->jumplabel = $1;
            $1->opcode = $2;
        }
    }
    | NEWLINE
    | error NEWLINE
    ;

opcode
    : OPCODE                                { STATEMENT(@1, $$, $1); }
    | OPCODE par                            { STATEMENT(@1, $$, $1, accu($2)); }
    | OPCODE expr                           { STATEMENT(@1, $$, $1, number($2)); }
    | OPCODE par ',' par                    { STATEMENT(@1, $$, $1, accu($2), accu($4)); }
    | OPCODE expr ',' expr                  { STATEMENT(@1, $$, $1, number($2), number($4)); }
    | OPCODE par ',' expr                   { STATEMENT(@1, $$, $1, accu($2), number($4)); }
    | OPCODE identifier                     { STATEMENT(@1, $$, $1, label_operand, {}, {}, $2); }
    | OPCODE par ',' expr ',' identifier    {
        STATEMENT(@1, $$, $1, accu($2), number($4), label_operand, $6);
    }
    | OPCODE par ',' expr ',' expr          {
        STATEMENT(@1, $$, $1, accu($2), number($4), number($6));
    }
    | OPCODE par par                        { lyyerror(scanner, @3, "missing comma"); YYERROR; }
    | OPCODE par expr                       { lyyerror(scanner, @3, "missing comma"); YYERROR; }
    | OPCODE expr expr                      { lyyerror(scanner, @3, "missing comma"); YYERROR; }
    | OPCODE par ',' expr identifier        { lyyerror(scanner, @5, "missing comma"); YYERROR; }
    | OPCODE par ',' expr expr              { lyyerror(scanner, @5, "missing comma"); YYERROR; }
    | OPCODE ','                            { lyyerror(scanner, @2, "misplaced comma"); YYERROR; }
    | OPCODE par ','                        { lyyerror(scanner, @3, "misplaced comma"); YYERROR; }
    | OPCODE expr ','                       { lyyerror(scanner, @3, "misplaced comma"); YYERROR; }
    | OPCODE par ',' par ','                { lyyerror(scanner, @5, "misplaced comma"); YYERROR; }
    | OPCODE expr ',' expr ','              { lyyerror(scanner, @5, "misplaced comma"); YYERROR; }
    | OPCODE par ',' expr ','               { lyyerror(scanner, @5, "misplaced comma"); YYERROR; }
    | OPCODE identifier ','                 { lyyerror(scanner, @3, "misplaced comma"); YYERROR; }
    | OPCODE par ',' expr ',' identifier ',' { lyyerror(scanner, @7, "misplaced comma"); YYERROR; }
    | OPCODE par ',' expr ',' expr ','      { lyyerror(scanner, @7, "misplaced comma"); YYERROR; }
    ;

par
    : ACCU_X    { $$ = 0; }
    | ACCU_Y    { $$ = 1; }
    | ACCU_Z    { $$ = 2; }
    | ACCU_R    { $$ = 3; }
    ;

jumplabel
    : identifier ':' {
        if (!define_jumplabel(scanner, assembly, @1, $1, $$)) YYERROR;
        STOP_CHECK;
    }
    | identifier {
        lyyerror(scanner, @1, "missing ':' after jump label '%s'", $1);
        YYERROR;
    }
    | jumplabel NEWLINE { $$ = $1; }
    | jumplabel identifier ':' {
        lyyerror(scanner, @2, "double jump label not supported, please use only one jump label per opcode");
        YYERROR;
    }
    ;

constant
    : CONST identifier expr {
        define_constant(scanner, assembly, @2, $2, $3);
        STOP_CHECK;
    }
    | CONST CINT        { report_duplicate_constant(scanner, assembly, @2); YYERROR; }
    | CONST INT         {
        lyyerror(scanner, @2, "CONST declaration must begin with a character from A to Z");
        YYERROR;
    }
    | CONST identifier  { lyyerror(scanner, @2, "CONST declaration '%s' has no value", $2); YYERROR; }
    ;

expr
    : INT               { $$ = $1; }
    | CINT              { $$ = $1; }
    | expr '+' expr     { $$ = wrap(static_cast<uint32_t>($1) + static_cast<uint32_t>($3)); }
    | expr '-' expr     { $$ = wrap(static_cast<uint32_t>($1) - static_cast<uint32_t>($3)); }
    | expr '*' expr     { $$ = wrap(static_cast<uint32_t>($1) * static_cast<uint32_t>($3)); }
    | expr '/' expr     {
        if ($3 == 0) {
            lyyerror(scanner, @3, "division by zero in constant expression");
            YYERROR;
        }
        if ($1 == INT32_MIN && $3 == -1) {
            lyyerror(scanner, @3, "division overflow in constant expression");
            YYERROR;
        }
        $$ = $1 / $3;
    }
    | '(' expr ')'      { $$ = $2; }
    ;

identifier
    : IDENTIFIER        { $$ = $1; }
    ;

%%

namespace {

// Names of the tokens in syntax error texts.
const char* display_name(yysymbol_kind_t kind) {
    switch (kind) {
    case YYSYMBOL_YYEOF:
        return "$end";
    case YYSYMBOL_YYUNDEF:
        return "$undefined";
    default:
        return yysymbol_name(kind);
    }
}

} // namespace

int yylex(YYSTYPE* value, YYLTYPE* location, Scanner& scanner) {
    return scanner.next_token(*value, *location);
}

// "syntax error", then the unexpected token, then the accepted ones when fewer than five.
int yyreport_syntax_error(const yypcontext_t* context, Scanner& scanner, Assembly& assembly) {
    constexpr int max_listed = 4;
    std::string text = "syntax error";
    yysymbol_kind_t unexpected = yypcontext_token(context);
    yysymbol_kind_t expected[YYNTOKENS];
    int count = yypcontext_expected_tokens(context, expected, YYNTOKENS);
    if (unexpected != YYSYMBOL_YYEMPTY && count > 0) {
        text += ", unexpected ";
        text += display_name(unexpected);
        for (int i = 0; count <= max_listed && i < count; ++i) {
            text += i == 0 ? ", expecting " : " or ";
            text += display_name(expected[i]);
        }
    }
    yyerror(yypcontext_location(context), scanner, assembly, text.c_str());
    return 0;
}

// The location is the lookahead token's (bison passes its own for "memory exhausted").
void yyerror(YYLTYPE* location, Scanner& scanner, Assembly& assembly, const char* text) {
    Diagnostics& diag = assembly.diag;
    if (diag.stopping()) return;
    diag.print_parser_error_prefix(scanner.curfilename, location->first_line);
    if (location->first_line != 0) std::fprintf(diag.out(), "%s\n", text);
    ++diag.err_cnt;
}

int Assembly::parse_source(const std::string& path, SourceText text) {
    Scanner scanner(*this, path.c_str(), std::move(text));
    if (diag.stopping()) return 1;
    return yyparse(scanner, *this);
}
