// Builds small KZ71 programs with the assembler's own encoder, so that tests can check that the
// CPU lands where the encoding says. Labels are resolved after sizes are known.
#pragma once

#include "isa/encode.h"
#include "isa/mnemonics.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace sim_test {

struct Arg {
    isa::OperandKind kind = isa::OperandKind::none;
    int value = 0;
    std::string label;
};
inline Arg A(int accumulator) {
    return {isa::OperandKind::accumulator, accumulator, {}};
}
inline Arg N(int number) {
    return {isa::OperandKind::number, number, {}};
}
inline Arg L(std::string name) {
    return {isa::OperandKind::label, 0, std::move(name)};
}

class ProgramBuilder {
public:
    ProgramBuilder& label(std::string name) {
        pending_label_ = std::move(name);
        return *this;
    }
    // A statement; size 0 takes the size the assembler first gives it (short jumps).
    ProgramBuilder& op(int opcode, std::vector<Arg> args = {}, int size = 0) {
        Statement s{opcode, std::move(args), size, std::move(pending_label_)};
        pending_label_.clear();
        if (s.size == 0) s.size = isa::initial_size(opcode, operands(s, {}));
        statements_.push_back(std::move(s));
        return *this;
    }

    std::vector<std::uint8_t> bytes() {
        std::map<std::string, int> labels;
        int address = 0;
        for (const Statement& s : statements_) {
            if (!s.label.empty()) labels[s.label] = address;
            address += s.size;
        }
        if (!pending_label_.empty()) labels[pending_label_] = address;
        addresses_ = labels;
        std::vector<std::uint8_t> image;
        for (const Statement& s : statements_) {
            const isa::Instruction in{s.opcode, operands(s, labels), s.size,
                                      static_cast<int>(image.size())};
            isa::Bytes encoded;
            EXPECT_EQ(isa::encode_bytes(in, encoded), isa::EncodeStatus::ok)
                << isa::get_opcode_name(s.opcode) << " at " << image.size();
            image.insert(image.end(), encoded.data.begin(), encoded.data.begin() + encoded.size);
        }
        return image;
    }

    // Address of a label (after bytes()).
    int at(const std::string& name) const { return addresses_.at(name); }

private:
    struct Statement {
        int opcode;
        std::vector<Arg> args;
        int size;
        std::string label;
    };

    static isa::Operands operands(const Statement& s, const std::map<std::string, int>& labels) {
        isa::Operands ops{};
        for (std::size_t i = 0; i < s.args.size() && i < 3; ++i) {
            const Arg& arg = s.args[i];
            int value = arg.value;
            if (arg.kind == isa::OperandKind::label) {
                const auto it = labels.find(arg.label);
                value = it == labels.end() ? 0 : it->second;
            }
            ops[i] = isa::Operand{arg.kind, value};
        }
        return ops;
    }

    std::vector<Statement> statements_;
    std::string pending_label_;
    std::map<std::string, int> addresses_;
};

} // namespace sim_test
