#include "file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "exit_cleanup.h"
#include "ssa_exception.h"

namespace {

[[noreturn]] void fail(const std::string& path, const std::string& what, const char* reason) {
    throw SSA_math_exception::file_exception(path, what + " (" + reason + ")");
}

[[noreturn]] void fail(const std::string& path, const std::string& what, int code) { fail(path, what, std::strerror(code)); }

// Only a regular file (or a new one) is replaced: renaming over /dev/null or a
// FIFO would put a plain file in its place.
enum class target_kind { replaced, written_through };

target_kind kind_of(const std::string& target, const std::string& path, const std::string& what) {
    struct stat st;
    if (::stat(target.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return target_kind::replaced;
    if (S_ISDIR(st.st_mode)) fail(path, what, EISDIR);
    if (S_ISSOCK(st.st_mode)) fail(path, what, "Is a socket");
    return target_kind::written_through;
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

// A FIFO, a terminal or a device takes the contents as they come.
void write_through(const std::string& target, const std::string& path, const std::string& contents,
                   const std::string& what) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) fail(path, what, errno);
    bool ok = write_all(fd, contents);
    int code = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (!ok) fail(path, what, code);
}

}  // namespace

void replace_file(const std::string& path, const std::string& contents, const std::string& what) {
    const std::string target = resolved(path);
    const target_kind kind = kind_of(target, path, what);
    check_writable(target, path, what);
    if (kind == target_kind::written_through) return write_through(target, path, contents, what);
    exit_cleanup::install_signal_handlers();
    std::string temporary;
    const int fd = create_temporary(target, temporary);
    if (fd < 0) fail(path, what, errno);
    // A signal that ends the process before the rename removes the temporary file too.
    const int guard = exit_cleanup::guard_file(temporary.c_str());
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
    if (!ok) ::unlink(temporary.c_str());
    exit_cleanup::release_file(guard);
    if (!ok) fail(path, what, code);
}

void check_replaceable(const std::string& path, const std::string& what) {
    const std::string target = resolved(path);
    const target_kind kind = kind_of(target, path, what);
    check_writable(target, path, what);
    if (kind == target_kind::written_through) return;
    std::string temporary;
    const int fd = create_temporary(target, temporary);
    if (fd < 0) fail(path, what, errno);
    ::close(fd);
    ::unlink(temporary.c_str());
}
