// The stream that receives the diagnostic lines of the period estimators:
// none unless a program installs one (the CLI installs standard error). The
// stream belongs to the thread that installs it.
#pragma once

#include <iosfwd>

std::ostream& diagnostic_stream();
// Installs a stream and returns the previous one; null restores the silent default.
std::ostream* set_diagnostic_stream(std::ostream* os);

// Redirects the diagnostic lines for the lifetime of the guard.
class scoped_diagnostic_stream {
public:
    explicit scoped_diagnostic_stream(std::ostream& os) : m_prev(set_diagnostic_stream(&os)) {}
    ~scoped_diagnostic_stream() { set_diagnostic_stream(m_prev); }
    scoped_diagnostic_stream(const scoped_diagnostic_stream&) = delete;
    scoped_diagnostic_stream& operator=(const scoped_diagnostic_stream&) = delete;

private:
    std::ostream* m_prev;
};
