#include "programmer/backend_table.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>

namespace programmer {

namespace {

constexpr std::string_view default_backend = "usb";
constexpr const char* override_variable = "KZ71_PROGRAMMER";

struct Table {
    std::mutex mutex;
    std::map<std::string, BackendMaker> makers; // sorted by name
    std::optional<std::string> selected;
};

Table& table() {
    static Table t;
    return t;
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// KZ71_PROGRAMMER, when it is set and not empty.
std::optional<std::string> overrideName() {
    const char* value = std::getenv(override_variable);
    if (!value || *value == '\0') return std::nullopt;
    return lowerCase(value);
}

std::string knownNames(const Table& t) {
    std::string names;
    for (const auto& [name, make] : t.makers)
        names += (names.empty() ? "" : ", ") + name;
    return names;
}

} // namespace

void registerBackend(std::string name, BackendMaker make) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.makers[lowerCase(name)] = std::move(make);
}

std::vector<std::string> backendNames() {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    std::vector<std::string> names;
    for (const auto& [name, make] : t.makers)
        names.push_back(name);
    return names;
}

bool selectBackend(std::string_view preferred, std::string& error) {
    const std::optional<std::string> from_environment = overrideName();
    const std::string name = from_environment.value_or(lowerCase(preferred));
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.selected = name;
    if (t.makers.count(name) != 0) return true;
    if (t.makers.empty()) {
        error = "no programmer backend is built into this program";
    } else {
        error = "unknown programmer backend '" + name + "'" +
                (from_environment ? " in " + std::string(override_variable) : "") +
                " (known: " + knownNames(t) + ")";
    }
    return false;
}

std::unique_ptr<protocol::UsbBackend> makeSelectedBackend() {
    BackendMaker make;
    {
        Table& t = table();
        std::lock_guard lock(t.mutex);
        const std::string name =
            t.selected.value_or(overrideName().value_or(std::string(default_backend)));
        const auto found = t.makers.find(name);
        if (found == t.makers.end()) return nullptr;
        make = found->second;
    }
    return make ? make() : nullptr;
}

} // namespace programmer
