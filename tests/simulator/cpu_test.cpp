// Programs executed step by step: every control-flow form lands where the assembler's encoding
// says, and the arithmetic follows the documented model.
#include "program_builder.h"
#include "simulator/chip.h"
#include "wire_rig.h"

namespace {

using namespace sim_test;
using namespace isa;

struct Cpu {
    explicit Cpu(const std::vector<std::uint8_t>& program) { chip.loadProgram(program); }

    // Steps and returns the program address after each step.
    std::vector<int> run(int steps) {
        std::vector<int> trail;
        for (int i = 0; i < steps; ++i) {
            chip.step();
            trail.push_back(chip.programAddress());
        }
        return trail;
    }
    void setFlags(std::uint8_t flags) {
        chip.writeRegister(wire::reg_status, (std::uint32_t{flags} << 16) | chip.programAddress());
    }
    std::uint32_t x() const { return chip.accumulator(acc_x); }
    std::uint32_t y() const { return chip.accumulator(acc_y); }
    bool has(std::uint8_t flag) const { return (chip.flags() & flag) != 0; }

    sim::Faults faults;
    sim::Chip chip{faults};
};

TEST(ControlFlow, ShortAndLongGotoLandOnTheirTargets) {
    ProgramBuilder p;
    p.label("start").op(op_goto, {L("fwd")});
    p.op(op_nop);
    p.label("fwd").op(op_goto, {L("back")}, 3);
    p.op(op_nop);
    p.label("back").op(op_goto, {L("start")});
    Cpu cpu(p.bytes());
    EXPECT_EQ(cpu.run(4), (std::vector<int>{p.at("fwd"), p.at("back"), 0, p.at("fwd")}));

    Cpu far({0xC9, 0x1A, 0xBC}); // goto 0x1ABC, long form
    EXPECT_EQ(far.run(1), std::vector<int>{0x1ABC});
    Cpu back({0x00, 0x00, 0x64, 0xFD}); // goto, displacement -3 from the displacement byte
    back.chip.writeRegister(wire::reg_status, 2);
    EXPECT_EQ(back.run(1), std::vector<int>{0});
}

struct Condition {
    int jump, skip;
    std::uint8_t flag;
    bool taken_when_set;
};

constexpr Condition conditions[] = {
    {op_gotoCarC, op_skipCarC, wire::flag_carry, false},
    {op_gotoCarS, op_skipCarS, wire::flag_carry, true},
    {op_gotoEQ, op_skipEQ, wire::flag_not_equal, false},
    {op_gotoNE, op_skipNE, wire::flag_not_equal, true},
    {op_gotoPos, op_skipPos, wire::flag_signum, false},
    {op_gotoNeg, op_skipNeg, wire::flag_signum, true},
    {op_gotoOvrC, op_skipOvrC, wire::flag_overflow, false},
    {op_gotoOvrS, op_skipOvrS, wire::flag_overflow, true},
};

TEST(ControlFlow, ConditionalJumpsFollowTheirFlagInBothForms) {
    for (const Condition& c : conditions) {
        for (int size : {2, 3}) {
            ProgramBuilder p;
            p.op(c.jump, {L("target")}, size);
            p.label("next").op(op_nop);
            p.label("target").op(op_nop);
            const auto program = p.bytes();
            for (bool set : {false, true}) {
                Cpu cpu(program);
                cpu.setFlags(set ? c.flag : static_cast<std::uint8_t>(0xF0 & ~c.flag));
                const int expected = set == c.taken_when_set ? p.at("target") : p.at("next");
                EXPECT_EQ(cpu.run(1), std::vector<int>{expected})
                    << get_opcode_name(c.jump) << " size " << size << " flag " << set;
            }
        }
    }
}

TEST(ControlFlow, SkipsCountInstructionsNotBytes) {
    for (const Condition& c : conditions) {
        ProgramBuilder p;
        p.op(c.skip, {N(2)});
        p.label("next").op(op_add, {A(acc_x), N(5)}); // 4 bytes
        p.op(op_and, {A(acc_y), N(1)});               // 5 bytes
        p.label("landing").op(op_nop);
        const auto program = p.bytes();
        for (bool set : {false, true}) {
            Cpu cpu(program);
            cpu.setFlags(set ? c.flag : 0);
            const int expected = set == c.taken_when_set ? p.at("landing") : p.at("next");
            EXPECT_EQ(cpu.run(1), std::vector<int>{expected}) << get_opcode_name(c.skip);
        }
    }
    ProgramBuilder p;
    p.op(op_skip, {N(3)}).op(op_nop).op(op_goto, {L("end")}, 3).op(op_nop).label("end").op(op_stop);
    Cpu cpu(p.bytes());
    EXPECT_EQ(cpu.run(1), std::vector<int>{p.at("end")});
}

TEST(ControlFlow, BitJumpsAndBitSkipsTestTheNamedBit) {
    ProgramBuilder p;
    p.op(op_gotoBitS, {A(acc_y), N(23), L("set")}); // taken: bit 23 of y is set
    p.op(op_stop);
    p.label("set").op(op_gotoBitC, {A(acc_y), N(23), L("wrong")}); // not taken
    p.op(op_skipBitC, {A(acc_y), N(0), N(1)});                     // taken: bit 0 is clear
    p.label("wrong").op(op_stop);
    p.label("skipped_to").op(op_skipBitS, {A(acc_y), N(0), N(1)}); // not taken
    p.label("end").op(op_stop);
    Cpu cpu(p.bytes());
    cpu.chip.writeRegister(wire::reg_accu_y, 0x800000);
    EXPECT_EQ(cpu.run(4),
              (std::vector<int>{p.at("set"), p.at("set") + 3, p.at("skipped_to"), p.at("end")}));
}

TEST(ControlFlow, SubroutinesReturnBehindTheCallAndStopHoldsItsAddress) {
    ProgramBuilder p;
    p.op(op_jsub, {L("outer")}, 3);
    p.label("halt").op(op_stop);
    p.label("outer").op(op_jsub, {L("inner")}, 3);
    p.op(op_jsubret);
    p.label("inner").op(op_incr, {A(acc_x)});
    p.op(op_jsubret);
    Cpu cpu(p.bytes());
    EXPECT_EQ(cpu.run(7),
              (std::vector<int>{p.at("outer"), p.at("inner"), p.at("inner") + 1, p.at("outer") + 3,
                                p.at("halt"), p.at("halt"), p.at("halt")}));
    EXPECT_EQ(cpu.x(), 1u);
}

TEST(ControlFlow, BytesThatAreNoInstructionArePassedOver) {
    Cpu cpu({0xE5, 0xCB, 0x08, 0x64, 0x80}); // 0x64 0x80 would jump below address 0
    EXPECT_EQ(cpu.run(4), (std::vector<int>{1, 2, 3, 4}));
}

TEST(Arithmetic, AddSubtractAndCompareSetTheFlags) {
    ProgramBuilder p;
    p.op(op_move, {A(acc_x), N(0x7FFFFF)});
    p.op(op_add, {A(acc_x), N(1)}); // signed overflow, no carry
    p.op(op_move, {A(acc_y), N(0xFFFFFF)});
    p.op(op_add, {A(acc_y), N(1)}); // carry, result 0
    p.op(op_sub, {A(acc_y), N(1)}); // borrow, result -1
    p.op(op_compare, {A(acc_y), A(acc_x)});
    Cpu cpu(p.bytes());
    cpu.run(2);
    EXPECT_EQ(cpu.x(), 0x800000u);
    EXPECT_TRUE(cpu.has(wire::flag_overflow) && cpu.has(wire::flag_signum));
    EXPECT_FALSE(cpu.has(wire::flag_carry));
    cpu.run(2);
    EXPECT_EQ(cpu.y(), 0u);
    EXPECT_TRUE(cpu.has(wire::flag_carry));
    EXPECT_FALSE(cpu.has(wire::flag_not_equal) || cpu.has(wire::flag_overflow));
    cpu.run(1);
    EXPECT_EQ(cpu.y(), 0xFFFFFFu);
    EXPECT_TRUE(cpu.has(wire::flag_carry) && cpu.has(wire::flag_signum));
    cpu.run(1); // -1 compared with -0x800000: not equal, y unchanged
    EXPECT_TRUE(cpu.has(wire::flag_not_equal));
    EXPECT_EQ(cpu.y(), 0xFFFFFFu);
}

TEST(Arithmetic, LogicShiftsAndRotations) {
    ProgramBuilder p;
    p.op(op_move, {A(acc_x), N(0x0000F0)});
    p.op(op_and, {A(acc_x), N(0x000030)});
    p.op(op_or, {A(acc_x), N(0x800000)});
    p.op(op_eorn, {A(acc_x), N(0x000000)});
    p.op(op_shiftR, {A(acc_x)});
    p.op(op_rotL, {A(acc_x), N(4)});
    p.op(op_shiftL, {A(acc_x), N(15)});
    Cpu cpu(p.bytes());
    cpu.run(2);
    EXPECT_EQ(cpu.x(), 0x000030u);
    cpu.run(2);
    EXPECT_EQ(cpu.x(), 0x7FFFCFu);
    cpu.run(1); // arithmetic shift right keeps the sign, the bit shifted out goes to carry
    EXPECT_EQ(cpu.x(), 0x3FFFE7u);
    EXPECT_TRUE(cpu.has(wire::flag_carry));
    cpu.run(1);
    EXPECT_EQ(cpu.x(), 0xFFFE73u);
    cpu.run(1);
    EXPECT_EQ(cpu.x(), 0x398000u);
}

TEST(Arithmetic, RamPointerAndTheRAccumulator) {
    ProgramBuilder p;
    p.op(op_ramadr, {N(0x25)});
    p.op(op_move, {A(acc_r), N(0x000042)});
    p.op(op_incramadr);
    p.op(op_move, {A(acc_r), A(acc_x)});
    p.op(op_ramadr, {N(200)}); // two-byte form
    p.op(op_decramadr);
    Cpu cpu(p.bytes());
    cpu.chip.writeRegister(wire::reg_accu_x, 0x000007);
    cpu.run(4);
    EXPECT_EQ(cpu.chip.readRegister(0x25), 0x42u);
    EXPECT_EQ(cpu.chip.readRegister(0x26), 0x07u);
    EXPECT_EQ(cpu.chip.readRegister(wire::reg_ram_pointer), 0x26u << 7);
    cpu.run(2);
    EXPECT_EQ(cpu.chip.ramAddress(), 199);
}

TEST(Arithmetic, MultiplyAndDivideAreSigned) {
    ProgramBuilder p;
    p.op(op_mult24, {A(acc_x), A(acc_y)});
    p.op(op_mult48, {A(acc_z), A(acc_y)});
    p.op(op_divmod, {A(acc_x), A(acc_y)});
    Cpu cpu(p.bytes());
    cpu.chip.writeRegister(wire::reg_accu_x, 0xFFFFF9); // -7
    cpu.chip.writeRegister(wire::reg_accu_y, 0x000002);
    cpu.chip.writeRegister(wire::reg_accu_z, 0x400000);
    cpu.run(1);
    EXPECT_EQ(cpu.x(), 0xFFFFF2u); // -14
    cpu.run(1);
    EXPECT_EQ(cpu.chip.accumulator(acc_z), 0x000000u); // high half of 0x800000
    EXPECT_EQ(cpu.y(), 0x800000u);                     // low half
    cpu.chip.writeRegister(wire::reg_accu_y, 0x000004);
    cpu.run(1);
    EXPECT_EQ(cpu.x(), 0xFFFFFDu); // -14 / 4 = -3
    EXPECT_EQ(cpu.y(), 0xFFFFFEu); // remainder -2

    Cpu zero(p.bytes());
    zero.chip.writeRegister(wire::reg_status, 4); // the divmod
    zero.chip.writeRegister(wire::reg_accu_x, 9);
    zero.run(1);
    EXPECT_EQ(zero.x(), 9u);
    EXPECT_TRUE(zero.has(wire::flag_overflow));
}

TEST(Arithmetic, UserEepromCellsFromTheProgram) {
    ProgramBuilder p;
    p.op(op_ramadr, {N(133)}); // cell 5
    p.op(op_getepr, {A(acc_y)});
    p.op(op_incr, {A(acc_y)});
    p.op(op_putepr, {A(acc_y)});
    p.op(op_move, {A(acc_x), N(0x100)});
    p.op(op_addepr, {A(acc_x)});
    Cpu cpu(p.bytes());
    cpu.chip.userEeprom().cells()[5] = 0x41;
    cpu.run(4);
    EXPECT_EQ(cpu.y(), 0x42u);
    EXPECT_EQ(cpu.chip.userEeprom().cells()[5], 0x42);
    cpu.run(2);
    EXPECT_EQ(cpu.x(), 0x142u);
}

TEST(SingleStep, RunsOnlyInDebugModeAndRepliesTheStatusRegister) {
    WireRig rig;
    ProgramBuilder p;
    p.op(op_clear, {A(acc_x)});
    p.op(op_move, {A(acc_x), N(0xFFFFFF)});
    p.label("loop").op(op_goto, {L("loop")});
    const auto program = p.bytes();
    std::copy(program.begin(), program.end(), rig.sim.board().spi_eeprom.contents().begin());
    rig.out(wire::power_reset); // the chip loads its program from the SPI EEPROM

    EXPECT_EQ(rig.in(wire::single_step, wire::reg_status, 3), sim_test::Bytes({0x00, 0x00, 0x00}));
    rig.out(wire::enter_debug_mode);
    EXPECT_TRUE(rig.sim.programmer().debugMode());
    EXPECT_EQ(rig.in(wire::single_step, wire::reg_status, 3), sim_test::Bytes({0x00, 0x00, 0x01}));
    EXPECT_EQ(rig.in(wire::single_step, wire::reg_status, 3), sim_test::Bytes({0xC0, 0x00, 0x05}));
    EXPECT_EQ(rig.in(wire::single_step, wire::reg_status, 3), sim_test::Bytes({0xC0, 0x00, 0x05}));
    EXPECT_EQ(rig.in(wire::single_step, wire::reg_accu_x, 3), sim_test::Bytes({0xFF, 0xFF, 0xFF}));

    rig.out(wire::reset_line_on); // held in reset: no instruction runs
    EXPECT_TRUE(rig.sim.programmer().resetLine());
    EXPECT_EQ(rig.in(wire::single_step, wire::reg_status, 3), sim_test::Bytes({0x00, 0x00, 0x00}));
    EXPECT_EQ(rig.in(wire::single_step, wire::reg_status, 3), sim_test::Bytes({0x00, 0x00, 0x00}));
    rig.out(wire::reset_line_off);
    EXPECT_EQ(rig.in(wire::single_step, wire::reg_status, 3), sim_test::Bytes({0x00, 0x00, 0x01}));
    rig.out(wire::leave_debug_mode);
    EXPECT_EQ(rig.in(wire::single_step, wire::reg_status, 3), sim_test::Bytes({0x00, 0x00, 0x01}));
}

} // namespace
