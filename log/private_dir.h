// The process's own temporary directory, for files the user never asked for
// (investigation logs): created on first use under $TMPDIR (or /tmp), removed
// with its files at normal exit and when SIGINT, SIGTERM, SIGHUP or SIGQUIT
// ends the process.
#pragma once

#include <string>

// The directory's path, without a trailing '/'. Throws ssa_exception with the
// system's reason when it cannot be created; a later call tries again.
const std::string& private_directory();
