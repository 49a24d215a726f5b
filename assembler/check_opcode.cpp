// check_opcode: one pass over the statement list that checks every statement's operands
// against its mnemonic's rules, resolves jump labels, fills the user EEPROM image from the
// usrEprInit statements (which then leave the list), and gives each statement its first
// size and address.
#include "assembler/check_opcode.h"

#include "assembler/assembly.h"
#include "assembler/statements.h"
#include "isa/instruction_table.h"

#include <array>
#include <string>

namespace {

constexpr std::array<const char*, 3> position_names{"first", "second", "third"};

std::string message_name(const OpcodeRecord& statement) {
    return std::string(isa::get_opcode_name(statement.opcode));
}

void report_operand_count(Diagnostics& diag, const OpcodeRecord& statement, const char* how) {
    diag.report_backend_error(statement.file_name, statement.line,
                              "too %s parameters for opcode '%s'", how,
                              message_name(statement).c_str());
}

void report_operand(Diagnostics& diag, const OpcodeRecord& statement, const char* what,
                    int position) {
    diag.report_backend_error(statement.file_name, statement.line,
                              "wrong %s for %s parameter in opcode '%s'", what,
                              position_names[position], message_name(statement).c_str());
}

void report_wrong_type(Diagnostics& diag, const OpcodeRecord& statement, int position) {
    report_operand(diag, statement, "type", position);
}

void report_wrong_range(Diagnostics& diag, const OpcodeRecord& statement, int position) {
    report_operand(diag, statement, "range", position);
}

bool above(int32_t value, uint32_t max) {
    return static_cast<uint32_t>(value) > max; // negative values are always above
}

// The check the mnemonic's rules name; "opcode not found!!!" for a mnemonic without rules.
bool check_by_rules(Diagnostics& diag, const OpcodeRecord& statement, const isa::Rules& rules) {
    const auto& s = rules.positions;
    switch (rules.check) {
    case isa::Check::general:
        return check_parameter(diag, statement, s[0].max, par_type_of(s[0].expected_kind()),
                               s[1].max, par_type_of(s[1].expected_kind()), s[2].max,
                               par_type_of(s[2].expected_kind()));
    case isa::Check::two_operand:
        return check_parameter2(diag, statement);
    case isa::Check::shift_rotate:
        return check_parameter3(diag, statement);
    case isa::Check::not_found:
        break;
    }
    diag.report_backend_error(statement.file_name, statement.line, "opcode not found!!!");
    return false;
}

// Counts (skip and shift counts) may not be 0, whatever the check above found.
void check_counts(Diagnostics& diag, const OpcodeRecord& statement, const isa::Rules& rules) {
    for (int i = 0; i < 3; ++i) {
        if (rules.positions[i].min != 1 || operand_type(statement, i) != PAR_NUMBER ||
            operand_value(statement, i) != 0)
            continue;
        diag.report_backend_error(statement.file_name, statement.line,
                                  i == 2 ? "third parameter can not be zero"
                                         : "parameter can not be zero");
    }
}

void check_swap(Diagnostics& diag, const OpcodeRecord& statement) {
    if (statement.opcode == isa::op_swap &&
        isa::is_unsupported_swap(statement.par1, statement.par2))
        diag.report_backend_error(statement.file_name, statement.line,
                                  "swap between registers 'r' and 'z' not supported");
}

// A label stands in front of a usrEprInit statement, which leaves the list and has no code.
bool labels_no_code(const JumpLabelRecord& label) {
    return label.opcode != nullptr && label.opcode->opcode == isa::op_usrEprInit;
}

// Resolves the label operand of a jump to the statement its label stands in front of
// (null when the label ends the source; check_jump reports that).
void look_up_label(Assembly& assembly, OpcodeRecord& statement) {
    const int position = isa::label_operand(statement.opcode);
    if (position < 0) return;
    Diagnostics& diag = assembly.diag;
    if (operand_type(statement, position) != PAR_LABEL) {
        if (operand_value(statement, position) == 0)
            diag.report_backend_error(statement.file_name, statement.line, "missing jump label");
        return;
    }
    const char* name = statement.label != nullptr ? statement.label : "";
    const JumpLabelRecord* label = assembly.symbols.find_jumplabel(name);
    if (label == nullptr)
        diag.report_backend_error(statement.file_name, statement.line,
                                  "jump label '%s' does not exist", name);
    else if (labels_no_code(*label))
        diag.report_backend_error(statement.file_name, statement.line,
                                  "jump label '%s' stands in front of usrEprInit, which has no "
                                  "code",
                                  name);
    else
        statement.target = label->opcode;
}

// usrEprInit cell, value: the first definition of a cell holds.
void define_eeprom_cell(Assembly& assembly, const OpcodeRecord& statement) {
    const int32_t cell = statement.par1;
    UserEeprom& eeprom = assembly.eeprom;
    if (eeprom.eeprom_used_cells[cell]) {
        assembly.diag.report_backend_error(statement.file_name, statement.line,
                                           "eeprom user cell %d already defined", cell);
        return;
    }
    eeprom.eeprom_cells[cell] = static_cast<uint8_t>(statement.par2);
    eeprom.eeprom_used_cells[cell] = true;
}

// The common shape of check_parameter2 and check_parameter3: an accumulator, then a number
// within the mnemonic's range or the other kind the second position accepts (an accumulator,
// or nothing at all), and no third operand.
bool check_accumulator_then(Diagnostics& diag, const OpcodeRecord& statement,
                            int32_t other_second_type) {
    if (statement.par3_type != PAR_NONE) {
        report_operand_count(diag, statement, "many");
        return false;
    }
    const bool second_required = other_second_type != PAR_NONE;
    if (statement.par1_type == PAR_NONE || (second_required && statement.par2_type == PAR_NONE)) {
        report_operand_count(diag, statement, "few");
        return false;
    }
    const bool second_wrong =
        statement.par2_type != PAR_NUMBER && statement.par2_type != other_second_type;
    if (second_wrong) report_wrong_type(diag, statement, 1);
    if (statement.par1_type != PAR_ACCU) {
        report_wrong_type(diag, statement, 0);
        return false;
    }
    if (second_wrong) return false;
    if (statement.par2_type == PAR_NUMBER &&
        above(statement.par2, isa::operand_rules(statement.opcode).positions[1].max)) {
        report_wrong_range(diag, statement, 1);
        return false;
    }
    return true;
}

// Checks one statement, resolves its label and sets its size; true when its operands fit.
bool check_statement(Assembly& assembly, OpcodeRecord& statement) {
    Diagnostics& diag = assembly.diag;
    const isa::Rules& rules = isa::operand_rules(statement.opcode);
    const bool fits = check_by_rules(diag, statement, rules);
    if (rules.check != isa::Check::not_found) {
        check_counts(diag, statement, rules);
        check_swap(diag, statement);
        look_up_label(assembly, statement);
    }
    statement.size = isa::initial_size(statement.opcode, operands_of(assembly.lists, statement));
    return fits;
}

} // namespace

bool check_parameter(Diagnostics& diag, const OpcodeRecord& statement, uint32_t max1, int32_t type1,
                     uint32_t max2, int32_t type2, uint32_t max3, int32_t type3) {
    const std::array<uint32_t, 3> max{max1, max2, max3};
    const std::array<int32_t, 3> expected{type1, type2, type3};
    for (int i = 0; i < 3; ++i) {
        if (expected[i] == PAR_NONE && operand_type(statement, i) != PAR_NONE) {
            report_operand_count(diag, statement, "many");
            return false;
        }
    }
    for (int i = 0; i < 3; ++i) {
        if (expected[i] != PAR_NONE && operand_type(statement, i) == PAR_NONE) {
            report_operand_count(diag, statement, "few");
            return false;
        }
    }
    bool fits = true;
    for (int i = 2; i >= 0; --i) {
        if (operand_type(statement, i) != expected[i]) {
            report_wrong_type(diag, statement, i);
            fits = false;
        }
    }
    if (!fits) return false;
    for (int i = 2; i >= 0; --i) {
        if (operand_type(statement, i) == PAR_NUMBER &&
            above(operand_value(statement, i), max[i])) {
            report_wrong_range(diag, statement, i);
            fits = false;
        }
    }
    return fits;
}

bool check_parameter2(Diagnostics& diag, const OpcodeRecord& statement) {
    if (!check_accumulator_then(diag, statement, PAR_ACCU)) return false;
    if (statement.par2_type == PAR_ACCU && statement.par1 == statement.par2) {
        diag.report_backend_error(statement.file_name, statement.line,
                                  "same accumulator for first and second parameter in opcode '%s'",
                                  message_name(statement).c_str());
        return false;
    }
    return true;
}

bool check_parameter3(Diagnostics& diag, const OpcodeRecord& statement) {
    return check_accumulator_then(diag, statement, PAR_NONE);
}

void Assembly::check_opcode() {
    int32_t address = 0;
    OpcodeRecord* statement = lists.first_statement();
    while (statement != nullptr) {
        const bool fits = check_statement(*this, *statement);
        if (statement->opcode == isa::op_usrEprInit) {
            if (fits) define_eeprom_cell(*this, *statement);
            statement = lists.remove_opcode(statement);
            continue;
        }
        statement->address = address;
        address += statement->size;
        statement = lists.next_statement(statement);
    }
}
