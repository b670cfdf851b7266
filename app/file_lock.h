// Whether another program holds a data file open for writing, and the
// temporary copy the program then reads instead. Linux has no sharing modes:
// a write lock (fcntl or flock) held by someone else is what stands for one.
#pragma once

#include <string>

enum class file_access { missing, directory, free, held_for_writing };

// missing also for a path that cannot be opened for reading.
file_access probe_file_access(const std::string& path);

// Creates the empty file a locked file is copied to, in the process's private
// directory under a fresh name (data.dat -> data-tmp-XXXXXX.dat, the extension
// kept), never beside the user's file: a file or link of the user's there is
// never touched. Throws ssa_exception with the reason when it cannot.
std::string create_temp_copy(const std::string& path);

// Opens path for reading with a shared lock, so that nobody can take a write
// lock on the copy while the document reads from it; -1 on failure.
int open_held_copy(const std::string& path);
