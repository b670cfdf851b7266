#include "file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ssa_exception.h"

namespace {

[[noreturn]] void fail(const std::string& path, const std::string& what, int code) {
    throw SSA_math_exception::file_exception(path, what + " (" + std::strerror(code) + ")");
}

// In the target's directory, so the rename never crosses file systems.
int create_temporary(const std::string& path, std::string& name) {
    if (path.empty()) {
        errno = ENOENT;
        return -1;
    }
    name = path + ".XXXXXX";
    return ::mkstemp(name.data());
}

// mkstemp makes the file private; the result should look like any file the
// user creates, or keep the mode of the file it replaces.
mode_t mode_for(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool write_all(int fd, const std::string& contents) {
    for (size_t done = 0; done < contents.size();) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

void replace_file(const std::string& path, const std::string& contents, const std::string& what) {
    std::string temporary;
    const int fd = create_temporary(path, temporary);
    if (fd < 0) fail(path, what, errno);
    bool ok = ::fchmod(fd, mode_for(path)) == 0 && write_all(fd, contents) && ::fsync(fd) == 0;
    int code = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        code = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        fail(path, what, code);
    }
}

void check_replaceable(const std::string& path, const std::string& what) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) fail(path, what, EISDIR);
    std::string temporary;
    const int fd = create_temporary(path, temporary);
    if (fd < 0) fail(path, what, errno);
    ::close(fd);
    ::unlink(temporary.c_str());
}
