#include "programmer/resource_expression.h"

#include <cctype>
#include <regex>

namespace visa_detail {

struct ResourceExpression::Pattern {
    std::regex regex;
};

namespace {

// Translates VISA's regular expression into an ECMAScript one; no value if it is malformed.
std::optional<std::string> translatePattern(std::string_view visa) {
    std::string out;
    bool in_set = false;
    for (std::size_t i = 0; i < visa.size(); ++i) {
        const char c = visa[i];
        if (c == '\\') {
            if (++i == visa.size()) return std::nullopt;
            out += '\\';
            out += visa[i];
        } else if (in_set) {
            if (c == ']') in_set = false;
            out += c;
        } else if (c == '?') {
            out += '.';
        } else if (c == '[') {
            in_set = true;
            out += c;
        } else if (c == '*' || c == '+' || c == '|' || c == '(' || c == ')') {
            out += c;
        } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':') {
            out += c;
        } else {
            out += '\\';
            out += c;
        }
    }
    if (in_set) return std::nullopt;
    return out;
}

// Recursive-descent reading of an attribute expression. With a lookup it evaluates; the same
// pass checks the syntax.
class AttributeParser {
public:
    AttributeParser(std::string_view text, const AttributeLookup* lookup)
        : text_(text), lookup_(lookup) {}

    std::optional<bool> run() {
        const std::optional<bool> value = orExpression();
        skipBlanks();
        if (!value || pos_ != text_.size()) return std::nullopt;
        return value;
    }

private:
    std::optional<bool> orExpression() {
        std::optional<bool> value = andExpression();
        while (value && take("||")) {
            const std::optional<bool> right = andExpression();
            if (!right) return std::nullopt;
            value = *value || *right;
        }
        return value;
    }

    std::optional<bool> andExpression() {
        std::optional<bool> value = unary();
        while (value && take("&&")) {
            const std::optional<bool> right = unary();
            if (!right) return std::nullopt;
            value = *value && *right;
        }
        return value;
    }

    std::optional<bool> unary() {
        if (take("!")) {
            const std::optional<bool> value = unary();
            if (!value) return std::nullopt;
            return !*value;
        }
        if (take("(")) {
            const std::optional<bool> value = orExpression();
            if (!value || !take(")")) return std::nullopt;
            return value;
        }
        return comparison();
    }

    std::optional<bool> comparison() {
        const std::string_view name = identifier();
        if (name.empty()) return std::nullopt;
        std::string_view op;
        for (std::string_view candidate : {"==", "!=", "<=", ">=", "<", ">"}) {
            if (take(candidate)) {
                op = candidate;
                break;
            }
        }
        if (op.empty()) return std::nullopt;
        const std::optional<AttributeValue> operand = literal();
        if (!operand) return std::nullopt;
        if (!lookup_) return false;
        const std::optional<AttributeValue> actual = (*lookup_)(name);
        if (!actual || actual->index() != operand->index()) return false;
        return compare(*actual, op, *operand);
    }

    static bool compare(const AttributeValue& a, std::string_view op, const AttributeValue& b) {
        if (op == "==") return a == b;
        if (op == "!=") return a != b;
        if (op == "<") return a < b;
        if (op == ">") return a > b;
        if (op == "<=") return a <= b;
        return a >= b;
    }

    std::string_view identifier() {
        skipBlanks();
        const std::size_t start = pos_;
        while (pos_ < text_.size() &&
               (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
            ++pos_;
        const std::string_view word = text_.substr(start, pos_ - start);
        if (word.empty() || std::isdigit(static_cast<unsigned char>(word[0]))) return {};
        return word;
    }

    std::optional<AttributeValue> literal() {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '"') {
            const std::size_t end = text_.find('"', pos_ + 1);
            if (end == std::string_view::npos) return std::nullopt;
            std::string value(text_.substr(pos_ + 1, end - pos_ - 1));
            pos_ = end + 1;
            return value;
        }
        return number();
    }

    std::optional<AttributeValue> number() {
        const bool negative = take("-");
        int base = 10;
        if (take("0x") || take("0X")) base = 16;
        std::int64_t value = 0;
        std::size_t digits = 0;
        while (pos_ < text_.size() && digits < 12) {
            const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text_[pos_])));
            const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                              : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                                          : base;
            if (digit >= base) break;
            value = value * base + digit;
            ++digits;
            ++pos_;
        }
        if (digits == 0) return std::nullopt;
        if (pos_ < text_.size() && std::isalnum(static_cast<unsigned char>(text_[pos_])))
            return std::nullopt;
        return negative ? -value : value;
    }

    bool take(std::string_view token) {
        skipBlanks();
        if (text_.substr(pos_, token.size()) != token) return false;
        pos_ += token.size();
        return true;
    }

    void skipBlanks() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
            ++pos_;
    }

    std::string_view text_;
    const AttributeLookup* lookup_;
    std::size_t pos_ = 0;
};

} // namespace

ResourceExpression::ResourceExpression(std::unique_ptr<Pattern> pattern,
                                       std::string attribute_expression)
    : pattern_(std::move(pattern)), attributes_(std::move(attribute_expression)) {}
ResourceExpression::ResourceExpression(ResourceExpression&&) noexcept = default;
ResourceExpression& ResourceExpression::operator=(ResourceExpression&&) noexcept = default;
ResourceExpression::~ResourceExpression() = default;

std::optional<ResourceExpression> ResourceExpression::parse(std::string_view expression) {
    std::string_view regular = expression;
    std::string attributes;
    if (const std::size_t brace = expression.find('{'); brace != std::string_view::npos) {
        if (expression.back() != '}') return std::nullopt;
        regular = expression.substr(0, brace);
        attributes = std::string(expression.substr(brace + 1, expression.size() - brace - 2));
        if (!AttributeParser(attributes, nullptr).run()) return std::nullopt;
    }
    if (regular.empty()) return std::nullopt;
    const std::optional<std::string> translated = translatePattern(regular);
    if (!translated) return std::nullopt;
    auto pattern = std::make_unique<Pattern>();
    try {
        pattern->regex = std::regex(*translated, std::regex::ECMAScript | std::regex::icase);
    } catch (const std::regex_error&) {
        return std::nullopt;
    }
    return ResourceExpression(std::move(pattern), std::move(attributes));
}

bool ResourceExpression::matches(std::string_view resource_name,
                                 const AttributeLookup& attributes) const {
    if (!std::regex_match(resource_name.begin(), resource_name.end(), pattern_->regex))
        return false;
    if (attributes_.empty()) return true;
    return AttributeParser(attributes_, &attributes).run().value_or(false);
}

} // namespace visa_detail
