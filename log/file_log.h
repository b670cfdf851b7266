// The log file of one investigation: "filelog<n>.log" in the process's
// private directory (or after a given prefix), numbered by a process-wide
// counter, emptied when opened and deleted with its owner. A number whose
// file another process holds is skipped.
#pragma once

#include <fstream>
#include <string>

class FileLog : public std::fstream {
public:
    // Throws ssa_exception("error in opening file log") when the file cannot be
    // opened, and "error in locking file log (reason)" when the lock fails
    // other than by another holder.
    explicit FileLog(const std::string& prefix = "");
    ~FileLog() override;
    FileLog(const FileLog&) = delete;
    FileLog& operator=(const FileLog&) = delete;

    const std::string& file_name() const { return m_file_name; }

private:
    std::string m_file_name;
    int m_lock_fd = -1;  // holds the advisory lock that marks the file as in use
};
