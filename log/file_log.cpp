#include "file_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "core/ssa_exception.h"

namespace {
// Investigations run on several threads at once; the lock below settles a
// name two of them reach together.
std::atomic<int> log_counter{0};
}

FileLog::FileLog(const std::string& prefix) {
    // Another process working in the same directory (a second window, a
    // batch of CLI runs) counts from 0 too: a log it holds locked is skipped
    // instead of being emptied under it.
    for (;;) {
        char name[32];
        std::snprintf(name, sizeof name, "filelog%d.log", log_counter++);
        m_file_name = prefix + name;
        m_lock_fd = ::open(m_file_name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (m_lock_fd < 0) throw SSA_math_exception::ssa_exception("error in opening file log");
        if (::flock(m_lock_fd, LOCK_EX | LOCK_NB) == 0) {
            // The owner may have deleted the file between our open and the
            // lock: then the lock guards a dead file, so take the name again.
            struct stat held, named;
            if (::fstat(m_lock_fd, &held) == 0 && ::stat(m_file_name.c_str(), &named) == 0 &&
                held.st_ino == named.st_ino && held.st_dev == named.st_dev)
                break;
            --log_counter;
        }
        ::close(m_lock_fd);
    }
    open(m_file_name, std::ios::in | std::ios::out | std::ios::trunc);
    if (!is_open()) {
        ::close(m_lock_fd);
        throw SSA_math_exception::ssa_exception("error in opening file log");
    }
}

FileLog::~FileLog() {
    close();
    std::remove(m_file_name.c_str());
    ::close(m_lock_fd);
}
