/* The statement grammar: one statement per line, building the program lists. */

%code top {
#define YYINITDEPTH 200
#define YYMAXDEPTH 150000
}

%code requires {
#include "assembler/diagnostics.h"
#include "assembler/program_lists.h"

#include <cstdint>

// Both value types are plain data, so the parser stack may grow by copying.
#define YYLTYPE_IS_TRIVIAL 1
#define YYSTYPE_IS_TRIVIAL 1
}

%code provides {
int yylex();
int yyparse();
void yyerror(const char* text);

// Running statement counter of the run.
extern int32_t op_cnt;

// Statement counter and token location back to their start.
void reset_parser();
}

%code {
#include "assembler/source_reader.h"
#include "assembler/symtab.h"

#include <cstdarg>
#include <string>

int32_t op_cnt = 0;

namespace {

// Prints one message in the parser's form at `at` and counts it.
[[gnu::format(printf, 2, 3)]] void lyyerror(const SourceLocation& at, const char* format, ...) {
    if (stopping()) return;
    va_list arguments;
    va_start(arguments, format);
    vreport_parser_error(curfilename, at.first_line, format, arguments);
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

// Appends a statement record for the mnemonic at `at`.
OpcodeRecord* make_statement(const SourceLocation& at, int32_t opcode, Operand p1 = {},
                             Operand p2 = {}, Operand p3 = {}, const char* label = nullptr) {
    OpcodeRecord values;
    values.file_name = curfilename;
    values.line = at.first_line;
    values.opcode = opcode;
    values.par1 = p1.value;
    values.par1_type = p1.type;
    values.par2 = p2.value;
    values.par2_type = p2.type;
    values.par3 = p3.value;
    values.par3_type = p3.type;
    values.op_index = op_cnt++;
    values.label = label;
    return add_opcode(values);
}

// A new jump label; null (after reporting) when the name already labels a statement.
bool define_jumplabel(const SourceLocation& at, const char* name, JumpLabelRecord*& made) {
    made = nullptr;
    if (JumpLabelRecord* existing = find_jumplabel(name)) {
        lyyerror(at, "jump label '%s' already exists at line %d, in file '%s'", name,
                 existing->line, existing->file_name);
        return false;
    }
    made = add_jumplabel(curfilename, at.first_line, name);
    addref(at.first_line, curfilename, name, made, REF_JUMPLABEL);
    return true;
}

void report_duplicate_constant(const SourceLocation& at) {
    const ConstRecord* first = inst_const != nullptr ? find_const(inst_const) : nullptr;
    if (first != nullptr)
        lyyerror(at, "CONST '%s' already declared at line %d in file '%s'", first->name,
                 first->line, first->file_name);
    else
        lyyerror(at, "this error should never happen");
}

// Sums, differences and products wrap around in 32 bits.
int32_t wrap(uint32_t value) {
    return static_cast<int32_t>(value);
}

} // namespace

// A stop requested by the scanner or the symbol table ends the parse at once.
#define STOP_CHECK                                                                             \
    do {                                                                                       \
        if (stopping()) YYABORT;                                                               \
    } while (false)
}

%define api.location.type {SourceLocation}
%define parse.error custom
%locations

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
    : OPCODE                                { $$ = make_statement(@1, $1); }
    | OPCODE par                            { $$ = make_statement(@1, $1, accu($2)); }
    | OPCODE expr                           { $$ = make_statement(@1, $1, number($2)); }
    | OPCODE par ',' par                    { $$ = make_statement(@1, $1, accu($2), accu($4)); }
    | OPCODE expr ',' expr                  { $$ = make_statement(@1, $1, number($2), number($4)); }
    | OPCODE par ',' expr                   { $$ = make_statement(@1, $1, accu($2), number($4)); }
    | OPCODE identifier                     { $$ = make_statement(@1, $1, label_operand, {}, {}, $2); }
    | OPCODE par ',' expr ',' identifier    {
        $$ = make_statement(@1, $1, accu($2), number($4), label_operand, $6);
    }
    | OPCODE par ',' expr ',' expr          {
        $$ = make_statement(@1, $1, accu($2), number($4), number($6));
    }
    | OPCODE par par                        { lyyerror(@3, "missing comma"); YYERROR; }
    | OPCODE par expr                       { lyyerror(@3, "missing comma"); YYERROR; }
    | OPCODE expr expr                      { lyyerror(@3, "missing comma"); YYERROR; }
    | OPCODE par ',' expr identifier        { lyyerror(@5, "missing comma"); YYERROR; }
    | OPCODE par ',' expr expr              { lyyerror(@5, "missing comma"); YYERROR; }
    | OPCODE ','                            { lyyerror(@2, "misplaced comma"); YYERROR; }
    | OPCODE par ','                        { lyyerror(@3, "misplaced comma"); YYERROR; }
    | OPCODE expr ','                       { lyyerror(@3, "misplaced comma"); YYERROR; }
    | OPCODE par ',' par ','                { lyyerror(@5, "misplaced comma"); YYERROR; }
    | OPCODE expr ',' expr ','              { lyyerror(@5, "misplaced comma"); YYERROR; }
    | OPCODE par ',' expr ','               { lyyerror(@5, "misplaced comma"); YYERROR; }
    | OPCODE identifier ','                 { lyyerror(@3, "misplaced comma"); YYERROR; }
    | OPCODE par ',' expr ',' identifier ',' { lyyerror(@7, "misplaced comma"); YYERROR; }
    | OPCODE par ',' expr ',' expr ','      { lyyerror(@7, "misplaced comma"); YYERROR; }
    ;

par
    : ACCU_X    { $$ = 0; }
    | ACCU_Y    { $$ = 1; }
    | ACCU_Z    { $$ = 2; }
    | ACCU_R    { $$ = 3; }
    ;

jumplabel
    : identifier ':' {
        if (!define_jumplabel(@1, $1, $$)) YYERROR;
        STOP_CHECK;
    }
    | identifier {
        lyyerror(@1, "missing ':' after jump label '%s'", $1);
        YYERROR;
    }
    | jumplabel NEWLINE { $$ = $1; }
    | jumplabel identifier ':' {
        lyyerror(@2, "double jump label not supported, please use only one jump label per opcode");
        YYERROR;
    }
    ;

constant
    : CONST identifier expr {
        ConstRecord* record = add_const(curfilename, @2.first_line, $2, $3);
        addref(@2.first_line, curfilename, $2, record, REF_CONST);
        STOP_CHECK;
    }
    | CONST CINT        { report_duplicate_constant(@2); YYERROR; }
    | CONST INT         {
        lyyerror(@2, "CONST declaration must begin with a character from A to Z");
        YYERROR;
    }
    | CONST identifier  { lyyerror(@2, "CONST declaration '%s' has no value", $2); YYERROR; }
    ;

expr
    : INT               { $$ = $1; }
    | CINT              { $$ = $1; }
    | expr '+' expr     { $$ = wrap(static_cast<uint32_t>($1) + static_cast<uint32_t>($3)); }
    | expr '-' expr     { $$ = wrap(static_cast<uint32_t>($1) - static_cast<uint32_t>($3)); }
    | expr '*' expr     { $$ = wrap(static_cast<uint32_t>($1) * static_cast<uint32_t>($3)); }
    | expr '/' expr     {
        if ($3 == 0) {
            lyyerror(@3, "division by zero in constant expression");
            YYERROR;
        }
        if ($1 == INT32_MIN && $3 == -1) {
            lyyerror(@3, "division overflow in constant expression");
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

// "syntax error", then the unexpected token, then the accepted ones when fewer than five.
int yyreport_syntax_error(const yypcontext_t* context) {
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
    yyerror(text.c_str());
    return 0;
}

void yyerror(const char* text) {
    if (stopping()) return;
    print_parser_error_prefix(curfilename, yylloc.first_line);
    if (yylloc.first_line != 0) std::fprintf(diag_out(), "%s\n", text);
    ++err_cnt;
}

void reset_parser() {
    op_cnt = 0;
    yylloc = SourceLocation{1, 1, 1, 1};
}
