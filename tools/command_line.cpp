#include "command_line.h"

#include <algorithm>
#include <charconv>

namespace kz71prog {

namespace {

bool isOption(std::string_view argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// Takes the value of an option that needs one; false when there is none.
bool takeValue(std::span<const std::string> arguments, std::size_t& i, std::string& value) {
    if (i + 1 >= arguments.size()) return false;
    value = arguments[++i];
    return true;
}

} // namespace

std::optional<std::uint32_t> parseNumber(std::string_view text, std::uint32_t limit) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, problem] =
        std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || problem != std::errc() || end != text.data() + text.size() || value > limit)
        return std::nullopt;
    return value;
}

std::optional<CommandLine> parseCommandLine(std::span<const std::string> arguments,
                                            std::string& error) {
    CommandLine line;
    std::size_t i = 0;
    for (; i < arguments.size() && isOption(arguments[i]); ++i) {
        const std::string& option = arguments[i];
        std::string value;
        if (option == "--help" || option == "-h") {
            line.request = Request::help;
            return line;
        } else if (option == "-v" || option == "--version") {
            line.request = Request::version;
            return line;
        } else if (option == "--simulator") {
            line.options.simulator = true;
        } else if (option == "--trace") {
            line.options.trace = true;
        } else if (option == "--device") {
            if (!takeValue(arguments, i, line.options.device) || line.options.device.empty()) {
                error = "--device needs a resource name (see 'kz71prog list')";
                return std::nullopt;
            }
        } else if (option == "--iic") {
            const auto address =
                takeValue(arguments, i, value) ? parseNumber(value, 0xFFFF) : std::nullopt;
            if (!address) {
                error = "--iic needs an address from 0 to 0xFFFF";
                return std::nullopt;
            }
            line.options.useIic = true;
            line.options.iicAddress = static_cast<std::uint16_t>(*address);
        } else {
            error = "unknown option '" + option + "'";
            return std::nullopt;
        }
    }
    if (i == arguments.size()) {
        error = "no command given";
        return std::nullopt;
    }
    line.command = arguments[i];
    line.arguments.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
    return line;
}

std::optional<CommandArguments> CommandArguments::parse(std::span<const std::string> arguments,
                                                        std::span<const OptionRule> options,
                                                        std::string& error) {
    CommandArguments result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!isOption(argument)) {
            result.positional_.push_back(argument);
            continue;
        }
        const auto known = std::find_if(options.begin(), options.end(),
                                        [&](const OptionRule& o) { return o.name == argument; });
        if (known == options.end()) {
            error = "unknown option '" + argument + "'";
            return std::nullopt;
        }
        std::string value;
        if (known->takesValue && !takeValue(arguments, i, value)) {
            error = argument + " needs a value";
            return std::nullopt;
        }
        if (!known->repeatable && result.has(argument)) {
            error = argument + " is given twice";
            return std::nullopt;
        }
        result.options_.emplace_back(argument, value);
    }
    return result;
}

bool CommandArguments::has(std::string_view name) const {
    return std::any_of(options_.begin(), options_.end(),
                       [&](const auto& option) { return option.first == name; });
}

std::string CommandArguments::value(std::string_view name, std::string_view fallback) const {
    for (const auto& [option, value] : options_)
        if (option == name) return value;
    return std::string(fallback);
}

} // namespace kz71prog
