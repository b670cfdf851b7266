// The one way every layer of the model reports a failure: an exception of
// this family, whose kind tells a top level (the command line, the desktop's
// run) how to report it, and whose message is the text the user sees.
#pragma once

#include <exception>
#include <string>

namespace SSA_math_exception {

enum class failure_kind {
    bad_input,  // the user's data or choices cannot give a result
    file,       // a file cannot be read or written
    resource,   // the machine cannot give what the run needs: memory, temporary storage, solver steps
    cancelled,  // the user stopped the computation
    internal,   // a broken invariant: a caller's fault, never the user's
};

// Deriving from std::exception lets a top level report anything it did not
// expect with one catch.
class ssa_exception : public std::exception {
public:
    const char* what() const noexcept override { return message.c_str(); }
    failure_kind kind() const { return m_kind; }

    std::string message;

private:
    // Only the kinds below construct it, so a kind always names its class.
    ssa_exception(failure_kind kind, std::string msg) : message(std::move(msg)), m_kind(kind) {}
    friend class bad_input;
    friend class file_exception;
    friend class resource_error;
    friend class cancelled;
    friend class internal_error;

    failure_kind m_kind;
};

class bad_input : public ssa_exception {
public:
    explicit bad_input(std::string msg) : ssa_exception(failure_kind::bad_input, std::move(msg)) {}
};

// Shown as "message : file_name.".
class file_exception : public ssa_exception {
public:
    file_exception(std::string name, std::string msg)
        : ssa_exception(failure_kind::file, std::move(msg)), file_name(std::move(name)) {}

    std::string file_name;
    // "message : file name.", as both programs show it.
    std::string text() const { return message + " : " + file_name + "."; }
};

class resource_error : public ssa_exception {
public:
    explicit resource_error(std::string msg) : ssa_exception(failure_kind::resource, std::move(msg)) {}
};

// Thrown by a progress hook to stop a computation; the model leaves its
// objects as they were, so there is nothing to report.
class cancelled : public ssa_exception {
public:
    cancelled() : ssa_exception(failure_kind::cancelled, "the computation was cancelled") {}
};

class internal_error : public ssa_exception {
public:
    // status: what the command line exits with; the numbered shape checks of
    // the core keep their numbers (2, 11 to 17) there.
    explicit internal_error(std::string msg, int s = 1)
        : ssa_exception(failure_kind::internal, std::move(msg)), status(s) {}

    int status;
};

// The names the model throws by, each of its kind.
class out_of_range : public internal_error {
public:
    using internal_error::internal_error;
};

class unknown_objects_for_identification : public internal_error {
public:
    using internal_error::internal_error;
};

class unknown_identification_method : public internal_error {
public:
    using internal_error::internal_error;
};

// A method the user may choose that is not provided.
class unrealized : public bad_input {
public:
    using bad_input::bad_input;
};

// A forecast these data and choices cannot give.
class forecast_exception : public bad_input {
public:
    using bad_input::bad_input;
};

class invest_exception : public internal_error {
public:
    invest_exception(int c, std::string msg) : internal_error(std::move(msg)), code(c) {}

    int code;
};

}  // namespace SSA_math_exception
