// The KZ71 CPU: executes one instruction of the program memory per step, decoding through isa/.
// Control flow follows the encoding exactly; the arithmetic, logic, shift, RAM pointer and flag
// effects are our model of the chip, described in docs/simulator.md.
#include "isa/decode.h"
#include "isa/mnemonics.h"
#include "simulator/chip.h"

namespace sim {

namespace {

constexpr std::uint32_t mask = Chip::value_mask;
constexpr std::uint32_t sign_bit = Chip::sign_bit;

} // namespace

class Cpu {
public:
    explicit Cpu(Chip& chip) : c_(chip) {}

    StepResult step() {
        const std::uint16_t address = c_.pc_;
        const isa::Decoded decoded = isa::decode_at(c_.program_, address);
        // Bytes that are no instruction (or one cut off at the end of the memory) are passed
        // over one at a time.
        const isa::Instruction& in = decoded.instruction;
        const int size = decoded.ok() ? in.size : 1;
        next_ = static_cast<std::uint16_t>((address + size) % Chip::program_size);
        if (decoded.ok()) execute(in);
        c_.pc_ = next_;
        return {address, static_cast<std::uint8_t>(size)};
    }

private:
    // Accumulators x, y, z are registers 0x49..0x4B; r is the RAM cell at the RAM pointer.
    std::uint32_t get(int a) const { return c_.accumulator(a); }
    void set(int a, std::uint32_t value) {
        value &= mask;
        if (a >= isa::acc_x && a <= isa::acc_z) {
            c_.cells_[wire::reg_accu_x + a] = value;
        } else {
            c_.writeRegister(c_.ramAddress(), value);
        }
    }
    // Operand 2 of a two-operand form: an accumulator or a 24-bit constant.
    std::uint32_t second(const isa::Instruction& in) const {
        const isa::Operand& op = in.operands[1];
        return op.kind == isa::OperandKind::accumulator
                   ? get(op.value)
                   : static_cast<std::uint32_t>(op.value) & mask;
    }

    void setFlag(std::uint8_t flag, bool on) {
        c_.flags_ = static_cast<std::uint8_t>(on ? c_.flags_ | flag : c_.flags_ & ~flag);
    }
    bool flag(std::uint8_t f) const { return (c_.flags_ & f) != 0; }
    void setSignAndZero(std::uint32_t value) {
        setFlag(wire::flag_signum, (value & sign_bit) != 0);
        setFlag(wire::flag_not_equal, (value & mask) != 0);
    }
    // a + b (subtract: a - b) with all four flags; returns the 24-bit result.
    std::uint32_t addWithFlags(std::uint32_t a, std::uint32_t b, bool subtract) {
        const std::uint32_t r = (subtract ? a - b : a + b) & mask;
        const bool overflow =
            subtract ? ((a ^ b) & (a ^ r) & sign_bit) != 0 : ((a ^ r) & (b ^ r) & sign_bit) != 0;
        setFlag(wire::flag_carry, subtract ? a < b : a + b > mask);
        setFlag(wire::flag_overflow, overflow);
        setSignAndZero(r);
        return r;
    }
    void result(int a, std::uint32_t value) {
        set(a, value);
        setSignAndZero(value & mask);
    }

    // The condition of a jump; a skip tests the one of the jump of the same name.
    bool condition(int opcode) const {
        using namespace isa;
        switch (is_skip(opcode) ? jump_for_skip(opcode) : opcode) {
        case op_gotoCarC:
            return !flag(wire::flag_carry);
        case op_gotoCarS:
            return flag(wire::flag_carry);
        case op_gotoEQ:
            return !flag(wire::flag_not_equal);
        case op_gotoNE:
            return flag(wire::flag_not_equal);
        case op_gotoNeg:
            return flag(wire::flag_signum);
        case op_gotoPos:
            return !flag(wire::flag_signum);
        case op_gotoOvrC:
            return !flag(wire::flag_overflow);
        case op_gotoOvrS:
            return flag(wire::flag_overflow);
        default:
            return true; // goto, skip
        }
    }

    bool bitSet(const isa::Instruction& in) const {
        return (get(in.operands[0].value) >> in.operands[1].value) & 1u;
    }

    // Passes over the next `count` instructions.
    void skipInstructions(int count) {
        for (int i = 0; i < count; ++i) {
            const isa::Decoded d = isa::decode_at(c_.program_, next_);
            next_ = static_cast<std::uint16_t>((next_ + (d.ok() ? d.instruction.size : 1)) %
                                               Chip::program_size);
        }
    }
    void jump(const isa::Instruction& in) {
        if (const auto target = isa::jump_target(in))
            next_ = static_cast<std::uint16_t>(*target % Chip::program_size);
    }

    void execute(const isa::Instruction& in);
    void executeArithmetic(const isa::Instruction& in);
    void executeLogic(const isa::Instruction& in);
    void executeShift(const isa::Instruction& in);
    void executeMultiplyDivide(const isa::Instruction& in);
    void executeSingle(const isa::Instruction& in);

    Chip& c_;
    std::uint16_t next_ = 0;
};

void Cpu::execute(const isa::Instruction& in) {
    using namespace isa;
    const int a = in.operands[0].value;
    switch (in.opcode) {
    case op_goto:
    case op_gotoCarC:
    case op_gotoCarS:
    case op_gotoEQ:
    case op_gotoNE:
    case op_gotoNeg:
    case op_gotoOvrC:
    case op_gotoOvrS:
    case op_gotoPos:
        if (condition(in.opcode)) jump(in);
        return;
    case op_gotoBitC:
    case op_gotoBitS:
        if (bitSet(in) == (in.opcode == op_gotoBitS)) jump(in);
        return;
    case op_skip:
    case op_skipCarC:
    case op_skipCarS:
    case op_skipEQ:
    case op_skipNE:
    case op_skipNeg:
    case op_skipOvrC:
    case op_skipOvrS:
    case op_skipPos:
        if (condition(in.opcode)) skipInstructions(a);
        return;
    case op_skipBitC:
    case op_skipBitS:
        if (bitSet(in) == (in.opcode == op_skipBitS)) skipInstructions(in.operands[2].value);
        return;
    case op_jsub:
        c_.return_stack_[c_.return_top_] = next_;
        c_.return_top_ = static_cast<std::uint8_t>((c_.return_top_ + 1) % Chip::return_stack_depth);
        jump(in);
        return;
    case op_jsubret:
        c_.return_top_ = static_cast<std::uint8_t>((c_.return_top_ + Chip::return_stack_depth - 1) %
                                                   Chip::return_stack_depth);
        next_ = c_.return_stack_[c_.return_top_];
        return;
    case op_stop:
        next_ = c_.pc_; // holds the program address
        return;
    case op_ramadr:
        c_.cells_[wire::reg_ram_pointer] = static_cast<std::uint32_t>(a & 0xFF) << 7;
        return;
    case op_incramadr:
    case op_decramadr:
        c_.cells_[wire::reg_ram_pointer] =
            static_cast<std::uint32_t>((c_.ramAddress() + (in.opcode == op_incramadr ? 1 : 255)) &
                                       0xFF)
            << 7;
        return;
    case op_clrC:
    case op_setC:
        setFlag(wire::flag_carry, in.opcode == op_setC);
        return;
    // The user EEPROM cell is the one the RAM address names (modulo 128).
    case op_addepr:
        set(a, addWithFlags(get(a), c_.user_eeprom_.cell(c_.ramAddress()), false));
        return;
    case op_getepr:
        result(a, c_.user_eeprom_.cell(c_.ramAddress()));
        return;
    case op_putepr:
        c_.user_eeprom_.programCell(c_.ramAddress(), static_cast<std::uint8_t>(get(a)));
        return;
    case op_bitclr:
    case op_bitset:
    case op_bitinv: {
        const std::uint32_t bit = 1u << in.operands[1].value;
        const std::uint32_t v = get(a);
        set(a, in.opcode == op_bitclr ? v & ~bit : in.opcode == op_bitset ? v | bit : v ^ bit);
        return;
    }
    case op_swap: {
        const int b = in.operands[1].value;
        const std::uint32_t va = get(a), vb = get(b);
        set(a, vb);
        set(b, va);
        return;
    }
    default:
        executeArithmetic(in);
    }
}

void Cpu::executeArithmetic(const isa::Instruction& in) {
    using namespace isa;
    const int a = in.operands[0].value;
    switch (in.opcode) {
    case op_add:
    case op_sub:
        set(a, addWithFlags(get(a), second(in), in.opcode == op_sub));
        return;
    case op_compare:
        addWithFlags(get(a), second(in), true);
        return;
    case op_incr:
    case op_decr:
        set(a, addWithFlags(get(a), 1, in.opcode == op_decr));
        return;
    case op_move:
        result(a, second(in));
        return;
    default:
        executeLogic(in);
    }
}

void Cpu::executeLogic(const isa::Instruction& in) {
    using namespace isa;
    const int a = in.operands[0].value;
    const std::uint32_t x = get(a);
    switch (in.opcode) {
    case op_and:
        return result(a, x & second(in));
    case op_nand:
        return result(a, ~(x & second(in)));
    case op_or:
        return result(a, x | second(in));
    case op_nor:
        return result(a, ~(x | second(in)));
    case op_eor:
        return result(a, x ^ second(in));
    case op_eorn:
        return result(a, ~(x ^ second(in)));
    default:
        executeShift(in);
    }
}

void Cpu::executeShift(const isa::Instruction& in) {
    using namespace isa;
    const int a = in.operands[0].value;
    // The one-byte forms move by one place; a count of 0 (rotation field 15) moves nothing.
    const int places = in.operands[1].kind == OperandKind::number ? in.operands[1].value : 1;
    std::uint32_t v = get(a);
    switch (in.opcode) {
    case op_shiftL:
    case op_shiftR:
    case op_rotL:
    case op_rotR:
        break;
    default:
        return executeMultiplyDivide(in);
    }
    for (int i = 0; i < places; ++i) {
        bool out = false;
        if (in.opcode == op_shiftL || in.opcode == op_rotL) {
            out = (v & sign_bit) != 0;
            v = ((v << 1) | (in.opcode == op_rotL && out ? 1u : 0u)) & mask;
        } else {
            out = (v & 1u) != 0;
            const std::uint32_t top = in.opcode == op_shiftR
                                          ? (v & sign_bit)
                                          : (out ? sign_bit : 0u); // shiftR keeps the sign
            v = (v >> 1) | top;
        }
        setFlag(wire::flag_carry, out);
    }
    result(a, v);
}

void Cpu::executeMultiplyDivide(const isa::Instruction& in) {
    using namespace isa;
    const int a = in.operands[0].value;
    const int b = in.operands[1].value;
    const std::int64_t x = Chip::toSigned(get(a));
    const std::int64_t y = Chip::toSigned(get(b));
    switch (in.opcode) {
    case op_mult24: {
        const std::int64_t product = x * y;
        setFlag(wire::flag_overflow, product < -0x800000 || product > 0x7FFFFF);
        return result(a, static_cast<std::uint32_t>(product));
    }
    case op_mult48: {
        const auto product = static_cast<std::uint64_t>(x * y);
        set(b, static_cast<std::uint32_t>(product));
        setFlag(wire::flag_overflow, false);
        return result(a, static_cast<std::uint32_t>(product >> 24));
    }
    case op_div24:
    case op_divmod:
        setFlag(wire::flag_overflow, y == 0);
        if (y == 0) return; // both operands stay
        if (in.opcode == op_divmod) set(b, static_cast<std::uint32_t>(x % y));
        return result(a, static_cast<std::uint32_t>(x / y));
    default:
        executeSingle(in);
    }
}

void Cpu::executeSingle(const isa::Instruction& in) {
    using namespace isa;
    const int a = in.operands[0].value;
    const std::int32_t x = Chip::toSigned(get(a));
    switch (in.opcode) {
    case op_clear:
        return result(a, 0);
    case op_getflag:
        set(a, c_.flags_ >> 4); // bit 3 Signum, bit 2 Not Equal, bit 1 Overflow, bit 0 Carry
        return;
    case op_invert:
        return result(a, ~get(a));
    case op_compl:
    case op_abs:
        setFlag(wire::flag_overflow, get(a) == sign_bit); // -0x800000 has no positive twin
        return result(a, static_cast<std::uint32_t>(in.opcode == op_abs && x >= 0 ? x : -x));
    case op_sign:
        return result(a, static_cast<std::uint32_t>(x > 0 ? 1 : x < 0 ? -1 : 0));
    default:
        // nop, the clock selections, clrwdt, initTDC, newcyc: nothing the model keeps changes.
        return;
    }
}

StepResult Chip::step() {
    return Cpu(*this).step();
}

} // namespace sim
