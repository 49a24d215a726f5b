#include "assembler/diagnostics.h"
#include "assembler/symtab.h"
#include "assembler/text_store.h"
#include "message_capture.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

class SymbolTableTest : public testing::Test {
protected:
    // A name whose home slot is `slot`, different from every name made before.
    const char* name_with_home(std::size_t slot) {
        for (int i = 0;; ++i) {
            std::string candidate = "n" + std::to_string(i);
            if (symhash(candidate) % symtab_size == slot && !used_.contains(candidate)) {
                used_.insert(candidate);
                return keep_text(candidate);
            }
        }
    }

    const char* keep_text(const std::string& text) { return texts_.keep_text(text); }
    Symbol* lookup(const char* name) { return table_.lookup(name); }
    SymbolRef* addref(int32_t line, const char* file, const char* name, void* target,
                      int32_t kind) {
        return table_.addref(line, file, name, target, kind);
    }
    SymbolRef* find_symbol_ref(const char* name, int32_t kind) const {
        return table_.find_symbol_ref(name, kind);
    }
    ConstRecord* find_const(const char* name) const { return table_.find_const(name); }
    JumpLabelRecord* find_jumplabel(const char* name) const { return table_.find_jumplabel(name); }
    Stop stop_requested() const { return diag_.stop_requested(); }

    MessageCapture capture_;
    Diagnostics diag_{capture_.stream(), capture_.stream()};
    TextStore texts_{diag_};
    SymbolTable table_{diag_};
    std::span<Symbol, symtab_size> symtab = table_.symtab;

private:
    std::set<std::string> used_;
};

TEST_F(SymbolTableTest, HashesAndHomeSlots) {
    EXPECT_EQ(symhash("a"), 97u);
    EXPECT_EQ(symhash("ab"), 779u);
    EXPECT_EQ(symhash("loop"), 75524u);
    EXPECT_EQ(symhash("loop") % symtab_size, 5545u);
    EXPECT_EQ(symhash("LIMIT"), 543749u);
    EXPECT_EQ(symhash("LIMIT") % symtab_size, 3911u);
    // Bytes above 127 count as negative numbers.
    EXPECT_EQ(symhash("\xff"), 0xFFFFFFFFu);
}

TEST_F(SymbolTableTest, CollidingNameTakesTheNextFreeSlot) {
    const char* first = name_with_home(100);
    const char* second = name_with_home(100);
    EXPECT_EQ(lookup(first), &symtab[100]);
    EXPECT_EQ(lookup(second), &symtab[101]);
    EXPECT_EQ(lookup(second), &symtab[101]) << "found again, not stored twice";
    EXPECT_EQ(symtab[101].name, second) << "the caller's pointer is stored";

    const char* never_stored = name_with_home(100);
    EXPECT_EQ(find_symbol_ref(never_stored, REF_CONST), nullptr);
    EXPECT_EQ(symtab[102].name, nullptr) << "looking for a name never takes a slot";
}

TEST_F(SymbolTableTest, ProbeWrapsFromLastSlotToSlotZero) {
    const char* at_end = name_with_home(9996);
    const char* wrapped = name_with_home(9996);
    ConstRecord constant;
    EXPECT_EQ(lookup(at_end), &symtab[9996]);
    ASSERT_NE(addref(3, "f.asm", wrapped, &constant, REF_CONST), nullptr);
    EXPECT_EQ(symtab[0].name, wrapped);
    EXPECT_EQ(find_const(wrapped), &constant);
}

TEST_F(SymbolTableTest, ClusteredNamesLandWhereLinearProbingPutsThem) {
    // Similar names cluster under this hash; each must still sit in the first free slot at or
    // after its home slot, in the order the names arrive, and be found there again.
    std::vector<const char*> names;
    for (int i = 0; i < 3000; ++i)
        names.push_back(keep_text("loop" + std::to_string(i)));
    names.push_back(name_with_home(9996)); // a cluster that wraps to slot 0
    names.push_back(name_with_home(9996));

    std::vector<bool> taken(symtab_size, false);
    for (const char* name : names) {
        std::size_t expected = symhash(name) % symtab_size;
        while (taken[expected])
            expected = (expected + 1) % symtab_size;
        taken[expected] = true;
        ASSERT_EQ(lookup(name), &symtab[expected]) << name;
    }
    for (const char* name : names)
        EXPECT_EQ(lookup(name)->name, name);
}

TEST_F(SymbolTableTest, KindsAreKeptApart) {
    ConstRecord constant;
    JumpLabelRecord label;
    const char* name = keep_text("both");
    addref(1, "f.asm", name, &label, REF_JUMPLABEL);
    EXPECT_EQ(find_const(name), nullptr);
    addref(5, "f.asm", name, &constant, REF_CONST);
    EXPECT_EQ(find_jumplabel(name), &label);
    EXPECT_EQ(find_const(name), &constant);
}

TEST_F(SymbolTableTest, IdenticalReferenceIsNotAddedTwice) {
    ConstRecord constant;
    const char* file = keep_text("f.asm");
    const char* name = keep_text("LIMIT");
    SymbolRef* first = addref(7, file, name, &constant, REF_CONST);
    EXPECT_EQ(addref(7, file, name, &constant, REF_CONST), first);
    SymbolRef* other_line = addref(8, file, name, &constant, REF_CONST);
    EXPECT_NE(other_line, first);
    EXPECT_EQ(lookup(name)->refs, other_line) << "new references go in front";
    EXPECT_EQ(other_line->next, first);
}

TEST_F(SymbolTableTest, OverflowStopsTheRunAbnormally) {
    for (int i = 0; i < symtab_size; ++i)
        ASSERT_NE(lookup(keep_text("s" + std::to_string(i))), nullptr);
    EXPECT_EQ(stop_requested(), Stop::none);

    EXPECT_EQ(find_symbol_ref("absent", REF_CONST), nullptr) << "a full table is searched safely";
    EXPECT_EQ(stop_requested(), Stop::none);
    EXPECT_EQ(lookup(keep_text("one too many")), nullptr);
    EXPECT_EQ(addref(1, "f.asm", keep_text("another"), nullptr, REF_CONST), nullptr);
    EXPECT_EQ(capture_.text(), "symbol table overflow\nsymbol table overflow\n");
    EXPECT_EQ(stop_requested(), Stop::abnormal);
}

} // namespace
