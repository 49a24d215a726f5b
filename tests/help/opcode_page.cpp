#include "opcode_page.h"

#include "isa/mnemonics.h"

#include <regex>
#include <sstream>

namespace {

std::string unescape(std::string text) {
    static const std::vector<std::pair<std::string, std::string>> entities{
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
    for (const auto& [entity, character] : entities)
        for (std::size_t at; (at = text.find(entity)) != std::string::npos;)
            text.replace(at, entity.size(), character);
    return text;
}

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find(separator, at)) != std::string::npos;
         at = end + separator.size())
        parts.push_back(text.substr(at, end - at));
    parts.push_back(text.substr(at));
    return parts;
}

std::vector<std::uint8_t> parse_bytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    for (const std::string& word : split(text, " "))
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
    return bytes;
}

// The words of a statement: the mnemonic, then each operand.
std::vector<std::string> statement_words(const std::string& statement) {
    const std::size_t blank = statement.find(' ');
    std::vector<std::string> words{statement.substr(0, blank)};
    if (blank == std::string::npos) return words;
    for (const std::string& operand : split(statement.substr(blank + 1), ", "))
        words.push_back(operand);
    return words;
}

std::optional<int> label_target(const std::string& where) {
    std::smatch match;
    if (std::regex_match(where, match, std::regex(R"(L (\d+) bytes ahead)")))
        return std::stoi(match[1]);
    if (std::regex_match(where, match, std::regex(R"(L at address (0x[0-9A-F]+))")))
        return static_cast<int>(std::stoul(match[1], nullptr, 16));
    return std::nullopt;
}

// A recursive descent over: sums and differences of products and remainders of numbers,
// names, bits of names ("n[4]") and parenthesised formulas.
class Formula {
public:
    Formula(const std::string& text, const std::map<std::string, std::int64_t>& values)
        : text_(text), values_(values) {}

    std::optional<std::int64_t> value() {
        auto result = sum();
        blanks();
        if (at_ != text_.size()) return std::nullopt;
        return result;
    }

private:
    void blanks() {
        while (at_ < text_.size() && text_[at_] == ' ')
            ++at_;
    }
    bool take(std::string_view token) {
        blanks();
        if (text_.compare(at_, token.size(), token) != 0) return false;
        at_ += token.size();
        return true;
    }
    std::optional<std::int64_t> sum() {
        auto left = product();
        while (left) {
            if (take("+")) {
                const auto right = product();
                left = right ? std::optional(*left + *right) : std::nullopt;
            } else if (take("−")) {
                const auto right = product();
                left = right ? std::optional(*left - *right) : std::nullopt;
            } else {
                break;
            }
        }
        return left;
    }
    std::optional<std::int64_t> product() {
        auto left = factor();
        while (left) {
            if (take("·")) {
                const auto right = factor();
                left = right ? std::optional(*left * *right) : std::nullopt;
            } else if (take("mod")) {
                const auto right = factor();
                left = right && *right > 0 ? std::optional(((*left % *right) + *right) % *right)
                                           : std::nullopt;
            } else {
                break;
            }
        }
        return left;
    }
    std::optional<std::int64_t> factor() {
        if (take("(")) {
            const auto inner = sum();
            return take(")") ? inner : std::nullopt;
        }
        blanks();
        std::smatch match;
        const std::string rest = text_.substr(at_);
        static const std::regex number(R"(^(0x[0-9A-F]+|[0-9]+))");
        static const std::regex name(R"(^([a-z][a-z0-9]*)(\[([0-9])\])?)");
        if (std::regex_search(rest, match, number)) {
            at_ += match.length(0);
            return static_cast<std::int64_t>(std::stoll(match[1], nullptr, 0));
        }
        if (!std::regex_search(rest, match, name)) return std::nullopt;
        at_ += match.length(0);
        const auto found = values_.find(match[1]);
        if (found == values_.end()) return std::nullopt;
        if (match[3].matched) return (found->second >> std::stoi(match[3])) & 1;
        return found->second;
    }

    std::string text_;
    const std::map<std::string, std::int64_t>& values_;
    std::size_t at_ = 0;
};

} // namespace

OpcodePage read_opcode_page(const std::string& html) {
    OpcodePage page;
    std::smatch match;
    if (std::regex_search(html, match, std::regex("<h1>(.*?)</h1>"))) page.title = match[1];
    static const std::regex form(
        R"re(<tr><td class="syntax"><code>(.*?)</code></td><td class="condition">.*?</td>)re"
        R"re(<td class="size">(\d+) bytes?</td><td class="bytes">(?:<code>(.*?)</code>|no code)</td></tr>)re");
    for (std::sregex_iterator it(html.begin(), html.end(), form), end; it != end; ++it)
        page.forms.push_back(
            {unescape((*it)[1]), std::stoi((*it)[2]), split(unescape((*it)[3]), ", ")});
    static const std::regex sample(
        R"re(<tr><td class="sample"><code>(.*?)</code>(?: <span class="where">\((.*?)\)</span>)?</td>)re"
        R"re(<td class="code">(?:<code>(.*?)</code>|no code)</td><td class="comments">(.*?)</td></tr>)re");
    for (std::sregex_iterator it(html.begin(), html.end(), sample), end; it != end; ++it)
        page.samples.push_back(
            {unescape((*it)[1]), unescape((*it)[2]), parse_bytes((*it)[3]),
             unescape(std::regex_replace((*it)[4].str(), std::regex("</?code>"), ""))});
    return page;
}

std::optional<isa::Instruction> sample_instruction(const PageSample& sample, int size) {
    const std::vector<std::string> words = statement_words(sample.statement);
    const auto opcode = isa::find_mnemonic(words[0]);
    if (!opcode || words.size() > 4) return std::nullopt;
    isa::Instruction instruction{*opcode, {}, size, 0};
    static const std::vector<std::string> accumulators{"x", "y", "z", "r"};
    for (std::size_t i = 1; i < words.size(); ++i) {
        isa::Operand& operand = instruction.operands[i - 1];
        const auto accu = std::find(accumulators.begin(), accumulators.end(), words[i]);
        if (accu != accumulators.end()) {
            operand = isa::Operand::accu(static_cast<int>(accu - accumulators.begin()));
        } else if (words[i] == "L") {
            const auto target = label_target(sample.where);
            if (!target) return std::nullopt;
            operand = isa::Operand::target(*target);
        } else {
            operand =
                isa::Operand::number(static_cast<std::int32_t>(std::stol(words[i], nullptr, 0)));
        }
    }
    return instruction;
}

std::map<std::string, std::int64_t> operand_values(const PageForm& form,
                                                   const isa::Instruction& instruction) {
    std::map<std::string, std::int64_t> values;
    const std::vector<std::string> names = statement_words(form.syntax);
    for (std::size_t i = 1; i < names.size() && i <= 3; ++i)
        values[names[i]] = instruction.operands[i - 1].value;
    if (values.contains("k")) {
        values["k2"] = (values["k"] >> 16) & 0xFF;
        values["k1"] = (values["k"] >> 8) & 0xFF;
        values["k0"] = values["k"] & 0xFF;
    }
    if (values.contains("L")) {
        values["th"] = (values["L"] >> 8) & 0x1F;
        values["tl"] = values["L"] & 0xFF;
    }
    return values;
}

std::optional<std::int64_t> evaluate_formula(const std::string& formula,
                                             const std::map<std::string, std::int64_t>& values,
                                             int byte_address) {
    std::map<std::string, std::int64_t> with_displacement = values;
    if (values.contains("L")) with_displacement["d"] = values.at("L") - byte_address;
    return Formula(formula, with_displacement).value();
}
