// A process-wide service with a built-in implementation that tests can replace.
#pragma once

namespace ide {

template <typename Interface, typename BuiltIn>
class Replaceable {
public:
    Interface& get() { return current_ ? *current_ : builtIn_; }
    // nullptr restores the built-in implementation.
    void set(Interface* replacement) { current_ = replacement; }

private:
    Interface* current_ = nullptr;
    BuiltIn builtIn_;
};

} // namespace ide
