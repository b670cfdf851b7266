// Whether another program holds a data file open for writing, and the
// temporary copy the program then reads instead. Linux has no sharing modes:
// a write lock (fcntl or flock) held by someone else is what stands for one.
#pragma once

#include <string>

enum class file_access { missing, free, held_for_writing };

// missing also for a path that cannot be opened for reading or is a directory.
file_access probe_file_access(const std::string& path);

// data.dat -> data-tmp.dat: "-tmp" before a three-letter extension of the
// file name, otherwise ".tmp" appended.
std::string temp_copy_name(const std::string& path);

// Opens path for reading with a shared lock, so that nobody can take a write
// lock on the copy while the document reads from it; -1 on failure.
int open_held_copy(const std::string& path);
