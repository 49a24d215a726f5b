// VISA resource search expressions: a regular expression over resource names ("USB?*",
// "?*INSTR") optionally followed by an attribute expression in braces, e.g.
// "USB?*{VI_ATTR_MANF_ID == 0x194E && (VI_ATTR_MODEL_CODE == 0x0001 || VI_ATTR_MODEL_CODE ==
// 0x100F)}".
//
// The regular expression knows VISA's special characters: ? (any one character), * and + (zero or
// more, one or more of the preceding item), [list] and [^list], \ (escape), | and ( ). Names match
// without regard to case. The attribute expression compares attributes (by their VI_ATTR_ names)
// with numbers or quoted strings using == != < > <= >=, joined by && || ! and parentheses; a
// comparison with an attribute the resource does not have is false.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace visa_detail {

using AttributeValue = std::variant<std::int64_t, std::string>;
// The value of a named attribute of one resource, if it has that attribute.
using AttributeLookup = std::function<std::optional<AttributeValue>(std::string_view name)>;

class ResourceExpression {
public:
    // An invalid expression gives no value (VI_ERROR_INV_EXPR).
    static std::optional<ResourceExpression> parse(std::string_view expression);

    bool matches(std::string_view resource_name, const AttributeLookup& attributes) const;

    ResourceExpression(ResourceExpression&&) noexcept;
    ResourceExpression& operator=(ResourceExpression&&) noexcept;
    ~ResourceExpression();

private:
    struct Pattern;
    ResourceExpression(std::unique_ptr<Pattern> pattern, std::string attribute_expression);

    std::unique_ptr<Pattern> pattern_;
    std::string attributes_; // without the braces; empty when there is none
};

} // namespace visa_detail
