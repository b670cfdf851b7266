// The exception family thrown by every layer of the model.
#pragma once

#include <exception>
#include <string>

namespace SSA_math_exception {

// Deriving from std::exception lets a top level (the CLI, the desktop
// program) report anything it did not expect with one catch.
class ssa_exception : public std::exception {
public:
    explicit ssa_exception(std::string msg) : message(std::move(msg)) {}
    const char* what() const noexcept override { return message.c_str(); }

    std::string message;
};

class out_of_range : public ssa_exception {
public:
    using ssa_exception::ssa_exception;
};

class unknown_objects_for_identification : public ssa_exception {
public:
    using ssa_exception::ssa_exception;
};

class unknown_identification_method : public ssa_exception {
public:
    using ssa_exception::ssa_exception;
};

class unrealized : public ssa_exception {
public:
    using ssa_exception::ssa_exception;
};

class forecast_exception : public ssa_exception {
public:
    using ssa_exception::ssa_exception;
};

class invest_exception : public ssa_exception {
public:
    invest_exception(int c, std::string msg) : ssa_exception(std::move(msg)), code(c) {}

    int code;
};

class file_exception : public ssa_exception {
public:
    file_exception(std::string name, std::string msg)
        : ssa_exception(std::move(msg)), file_name(std::move(name)) {}

    std::string file_name;
};

}  // namespace SSA_math_exception
