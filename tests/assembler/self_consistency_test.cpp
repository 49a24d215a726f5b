// Random valid programs, assembled in-process and decoded back from the code image: every
// statement decodes to itself at its address, every jump lands on its label's statement,
// every skip still lands where it landed in the source, and no jump is longer than needed.
#include "assembler/statements.h"
#include "in_process_assembly.h"
#include "isa/decode.h"
#include "isa/mnemonics.h"

#include <array>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// What a source statement must still do after assembly.
struct Intent {
    enum Kind { plain, jump, skip } kind = plain;
    int target = -1; // statement index a jump aims at, or a skip lands on; -1: past the end
};

struct RandomProgram {
    std::string source;
    std::vector<Intent> intents; // one per statement, in order
};

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    RandomProgram program() {
        RandomProgram p;
        const int count = pick(2, pick(0, 3) == 0 ? 40 : 400);
        for (int i = 0; i < count; ++i) {
            Intent intent;
            std::string text = statement(i, count, intent);
            p.source += "s" + std::to_string(i) + ": " + text + "\n";
            p.intents.push_back(intent);
        }
        return p;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string accumulator() { return std::string(1, "xyzr"[pick(0, 3)]); }
    // Two different accumulators: the same one twice is an operand error.
    std::string pair() {
        const int a = pick(0, 3), b = (a + pick(1, 3)) % 4;
        return std::string(1, "xyzr"[a]) + ", " + "xyzr"[b];
    }

    std::string plain_statement() {
        static constexpr std::array<const char*, 6> two_operand{"add",     "sub", "move",
                                                                "compare", "and", "eor"};
        switch (pick(0, 9)) {
        case 0:
            return "nop";
        case 1:
            return std::string(two_operand[pick(0, 5)]) + " " + pair();
        case 2:
        case 3:
            return std::string(two_operand[pick(0, 5)]) + " " + accumulator() + ", " +
                   std::to_string(pick(0, 0xFFFFFF));
        case 4:
            return "putepr " + accumulator();
        case 5:
            return "ramadr " + std::to_string(pick(0, 255));
        case 6:
            return "bitinv " + accumulator() + ", " + std::to_string(pick(0, 23));
        case 7:
            return "rotR " + accumulator() + ", " + std::to_string(pick(0, 15));
        case 8:
            return "mult24 " + pair();
        default:
            return "incr " + accumulator();
        }
    }

    std::string statement(int index, int count, Intent& intent) {
        static constexpr std::array<const char*, 9> jumps{"goto",     "gotoCarC", "gotoCarS",
                                                          "gotoEQ",   "gotoNE",   "gotoNeg",
                                                          "gotoOvrC", "gotoOvrS", "gotoPos"};
        static constexpr std::array<const char*, 9> skips{"skip",     "skipCarC", "skipCarS",
                                                          "skipEQ",   "skipNE",   "skipNeg",
                                                          "skipOvrC", "skipOvrS", "skipPos"};
        const int kind = pick(0, 11);
        const int target = pick(0, count - 1);
        const std::string label = " s" + std::to_string(target);
        const std::string bit = accumulator() + ", " + std::to_string(pick(0, 23));
        if (kind <= 4) {
            intent = {Intent::plain, -1};
            return plain_statement();
        }
        if (kind <= 8) {
            intent = {Intent::jump, target};
            if (kind == 5) return std::string(jumps[pick(0, 8)]) + label;
            if (kind == 6) return "jsub" + label;
            return std::string(pick(0, 1) ? "gotoBitC " : "gotoBitS ") + bit + "," + label;
        }
        const int skipped = pick(1, 3);
        const int lands = index + skipped + 1;
        intent = {Intent::skip, lands < count ? lands : -1};
        if (kind == 9) return std::string(skips[pick(0, 8)]) + " " + std::to_string(skipped);
        return std::string(pick(0, 1) ? "skipBitC " : "skipBitS ") + bit + ", " +
               std::to_string(skipped);
    }

    std::mt19937 random_;
};

class SelfConsistency : public testing::Test {
protected:
    int address_of(int index) const {
        return index < 0 ? image_.length : records_.at(static_cast<std::size_t>(index))->address;
    }

    isa::Decoded decoded(const OpcodeRecord& s) const {
        return isa::decode_at(std::span(image_.bytes).first(image_.length), s.address);
    }

    // Every statement of the final list decodes to its own opcode and size, jumps to their
    // record's target; long jumps and split bit jumps could not have stayed short.
    void check_final_list(const std::string& source) {
        int address = 0;
        for (const OpcodeRecord* s : statement_list(*lists_)) {
            ASSERT_EQ(s->address, address) << source;
            address += s->size;
            const isa::Decoded d = decoded(*s);
            ASSERT_TRUE(d.ok()) << "line " << s->line << "\n" << source;
            EXPECT_EQ(d.instruction.opcode, s->opcode) << "line " << s->line;
            EXPECT_EQ(d.instruction.size, s->size) << "line " << s->line;
            if (s->target != nullptr) {
                EXPECT_EQ(isa::jump_target(d.instruction), lists_->target_address(s->target))
                    << "line " << s->line;
            }
            if (isa::is_label_jump(s->opcode) && s->size == 3 && s->jumplabel != nullptr)
                expect_needs_long_form(*s, 1);
        }
        ASSERT_EQ(address, image_.length);
    }

    // A jump that grew by `growth` bytes would not reach its target without the growth.
    void expect_needs_long_form(const OpcodeRecord& s, int growth) {
        int distance = lists_->target_address(s.target) - s.address;
        if (distance > 0) distance -= growth;
        const int low = isa::is_bit_jump(s.opcode) || growth == 2 ? -126 : -127;
        EXPECT_TRUE(distance < low || distance > 127)
            << "line " << s.line << " is long at distance " << distance;
    }

    // What each source statement meant is still what its code does.
    void check_intents(const std::vector<Intent>& intents) {
        for (std::size_t i = 0; i < intents.size(); ++i) {
            const OpcodeRecord& r = *records_[i];
            const int target = address_of(intents[i].target);
            if (intents[i].kind == Intent::jump) check_jump_intent(r, target);
            if (intents[i].kind == Intent::skip) check_skip_intent(r, intents[i].target, target);
        }
    }

    void check_jump_intent(const OpcodeRecord& r, int target) {
        const isa::Decoded d = decoded(r);
        if (isa::is_skip(r.opcode)) { // a split bit jump: the bit skip hops over a long goto
            EXPECT_EQ(d.instruction.operands[2].value, 1) << "line " << r.line;
            const OpcodeRecord& jump = *r.next;
            EXPECT_EQ(isa::jump_target(decoded(jump).instruction), target) << "line " << r.line;
            OpcodeRecord as_bit_jump = r;
            as_bit_jump.target = jump.target;
            expect_needs_long_form(as_bit_jump, 2);
            return;
        }
        EXPECT_EQ(isa::jump_target(d.instruction), target) << "line " << r.line;
    }

    void check_skip_intent(const OpcodeRecord& r, int lands_on, int target) {
        if (!isa::is_skip(r.opcode)) { // turned into the jump of its condition
            EXPECT_EQ(isa::jump_target(decoded(r).instruction), target) << "line " << r.line;
            return;
        }
        const OpcodeRecord* landing = &r;
        for (int n = operand_value(r, isa::skip_count_operand(r.opcode)); n >= 0 && landing; --n)
            landing = lists_->next_statement(landing);
        const OpcodeRecord* wanted =
            lands_on < 0 ? nullptr : records_[static_cast<std::size_t>(lands_on)];
        EXPECT_EQ(landing, wanted) << "skip on line " << r.line;
    }

    std::vector<const OpcodeRecord*> records_; // the source statements, as parsed
    const ProgramLists* lists_ = nullptr;      // of the program being checked
    CodeImage image_;
};

TEST_F(SelfConsistency, RandomProgramsDecodeToWhatTheSourceSays) {
    Generator generator(20240611);
    int split = 0, converted = 0, lengthened = 0;
    for (int round = 0; round < 300; ++round) {
        const RandomProgram program = generator.program();
        InProcessAssembly result = assemble_in_process(program.source, [this](Assembly& assembly) {
            records_ = statement_list(assembly.lists);
        });
        ASSERT_TRUE(result.image.has_value()) << result.messages << program.source;
        ASSERT_EQ(result.messages, "") << program.source;
        image_ = *result.image;
        lists_ = &result.assembly->lists;
        check_final_list(program.source);
        check_intents(program.intents);
        if (HasFailure()) {
            ADD_FAILURE() << "in this program:\n" << program.source;
            return;
        }
        for (std::size_t i = 0; i < records_.size(); ++i) {
            const OpcodeRecord& r = *records_[i];
            split += program.intents[i].kind == Intent::jump && isa::is_skip(r.opcode);
            converted += program.intents[i].kind == Intent::skip && !isa::is_skip(r.opcode);
            lengthened += isa::is_label_jump(r.opcode) && r.size == 3;
        }
    }
    // The programs must exercise what they are meant to check.
    EXPECT_GT(split, 100);
    EXPECT_GT(converted, 10);
    EXPECT_GT(lengthened, 100);
}

} // namespace
