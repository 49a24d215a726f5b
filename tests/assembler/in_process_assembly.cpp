#include "in_process_assembly.h"

#include "isa/encode.h"

namespace {

bool go_on(const Assembly& assembly) {
    return assembly.diag.err_cnt == 0 && !assembly.diag.stopping();
}

} // namespace

std::vector<const OpcodeRecord*> statement_list(const ProgramLists& lists) {
    std::vector<const OpcodeRecord*> list;
    for (const OpcodeRecord* s = lists.first_statement(); s != nullptr; s = lists.next_statement(s))
        list.push_back(s);
    return list;
}

std::vector<const OpcodeRecord*> InProcessAssembly::statements() const {
    return statement_list(assembly->lists);
}

std::vector<std::string> InProcessAssembly::comments() const {
    std::vector<std::string> texts;
    if (image)
        for_each_image_byte(*assembly, *image, [&texts](const ImageByte& byte) {
            std::array<char, isa::max_comment_size> text{};
            texts.emplace_back(text.data(), byte.comment->write(text.data(), byte.j));
        });
    return texts;
}

InProcessAssembly assemble_in_process(const std::string& source,
                                      const std::function<void(Assembly&)>& after_parse) {
    InProcessAssembly result;
    result.capture = std::make_unique<MessageCapture>();
    FILE* stream = result.capture->stream();
    result.assembly = std::make_unique<Assembly>(stream, stream);
    Assembly& assembly = *result.assembly;
    std::optional<SourceText> text = SourceText::of(source);
    if (!text) return result;
    result.parsed = assembly.parse_source("main.asm", std::move(*text)) == 0 && go_on(assembly);
    if (result.parsed && after_parse) after_parse(assembly);
    if (result.parsed) assembly.check_opcode();
    if (result.parsed && go_on(assembly)) assembly.check_jump();
    if (result.parsed && go_on(assembly)) result.image = build_code_image(assembly);
    result.ended_run = assembly.diag.stop_requested() == Stop::end_run;
    result.messages = result.capture->text();
    return result;
}
