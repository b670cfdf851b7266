#include "file_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/ssa_exception.h"
#include "private_dir.h"

namespace {
// Investigations run on several threads at once; the lock below settles a
// name two of them reach together.
std::atomic<int> log_counter{0};
}

FileLog::FileLog(const std::string& prefix) {
    // The working directory is the user's: a file there may be theirs, and it may be read-only.
    const std::string dir = prefix.empty() ? private_directory() + "/" : prefix;
    // Another process sharing the directory counts from 0 too: a log it
    // holds locked is skipped instead of being emptied under it.
    for (;;) {
        char name[32];
        std::snprintf(name, sizeof name, "filelog%d.log", log_counter++);
        m_file_name = dir + name;
        m_lock_fd = ::open(m_file_name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (m_lock_fd < 0) throw SSA_math_exception::resource_error("error in opening file log");
        int locked;
        while ((locked = ::flock(m_lock_fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (locked != 0 && errno != EWOULDBLOCK) {
            // Any other failure would repeat on every further name.
            const int code = errno;
            ::close(m_lock_fd);
            throw SSA_math_exception::resource_error(std::string("error in locking file log (") +
                                                     std::strerror(code) + ")");
        }
        if (locked == 0) {
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
        throw SSA_math_exception::resource_error("error in opening file log");
    }
}

FileLog::~FileLog() {
    close();
    std::remove(m_file_name.c_str());
    ::close(m_lock_fd);
}
