#include "file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "ssa_exception.h"

namespace {

[[noreturn]] void fail(const std::string& path, const std::string& what, int code) {
    throw SSA_math_exception::file_exception(path, what + " (" + std::strerror(code) + ")");
}

// In the target's directory, so the rename never crosses file systems.
// Created like any file of the user's (mode 0666 less the umask); the
// process id and a counter keep concurrent writers apart.
int create_temporary(const std::string& path, std::string& name) {
    static std::atomic<unsigned> counter{0};
    if (path.empty()) {
        errno = ENOENT;
        return -1;
    }
    for (;;) {
        name = path + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
}

// A link is written through, as writing the file in place did.
std::string resolved(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return path;
    const std::string target = real;
    std::free(real);
    return target;
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

// A read-only file is refused as writing it in place would be.
void check_writable(const std::string& target, const std::string& path, const std::string& what) {
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) fail(path, what, errno);
}

}  // namespace

void replace_file(const std::string& path, const std::string& contents, const std::string& what) {
    const std::string target = resolved(path);
    check_writable(target, path, what);
    std::string temporary;
    const int fd = create_temporary(target, temporary);
    if (fd < 0) fail(path, what, errno);
    // The replaced file's permissions stay.
    struct stat st;
    bool ok = (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::fchmod(fd, st.st_mode & 07777) == 0) &&
              write_all(fd, contents) && ::fsync(fd) == 0;
    int code = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
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
    const std::string target = resolved(path);
    check_writable(target, path, what);
    std::string temporary;
    const int fd = create_temporary(target, temporary);
    if (fd < 0) fail(path, what, errno);
    ::close(fd);
    ::unlink(temporary.c_str());
}
