// The code image: the bytes the KZ71 executes from address 0.
#pragma once

#include "assembler/assembly.h"
#include "assembler/statements.h"
#include "isa/encode.h"
#include "isa/operands.h"

#include <array>
#include <cstdint>

inline constexpr int code_space_size = 8192;
// Largest program tarn accepts, and the largest when the program selects redundancy mode.
inline constexpr int max_program_size = 8143;
inline constexpr int max_redundancy_program_size = 4046;
// The code byte whose two low bits, both set, select redundancy mode.
inline constexpr int redundancy_mode_address = 38;

struct CodeImage {
    std::array<uint8_t, code_space_size> bytes{};
    int length = 0; // bytes of the program
};

// Encodes the statement list from address 0. A program that grows beyond the largest size
// is cut after the statement that crosses it; that, and a program too large for the
// redundancy mode it selects, are reported and counted, but the image is still returned.
CodeImage build_code_image(Assembly& assembly);

// One byte of the image with what its comment text is made of: its statement's comment
// parts and the byte's index j counted from the statement's last byte.
struct ImageByte {
    int address;
    uint8_t value;
    const isa::CommentParts* comment;
    int j;
};

// Calls `visit(const ImageByte&)` for every byte of `image`, built from `assembly`, in order.
// A byte's comment parts stay valid while the bytes of the next statement are visited, so a
// visitor may keep the byte before for pairing it with the next.
template <typename Visit>
void for_each_image_byte(const Assembly& assembly, const CodeImage& image, Visit visit) {
    const ProgramLists& lists = assembly.lists;
    std::array<isa::CommentParts, 2> parts; // this statement's and the one before
    std::size_t current = 0;
    int address = 0;
    for (const OpcodeRecord* s = lists.first_statement(); s != nullptr && address < image.length;
         s = lists.next_statement(s)) {
        current ^= 1;
        parts[current] = isa::comment_parts(instruction_of(lists, *s));
        for (int i = 0; i < s->size && address < image.length; ++i, ++address)
            visit(ImageByte{address, image.bytes[static_cast<std::size_t>(address)],
                            &parts[current], s->size - 1 - i});
    }
}
