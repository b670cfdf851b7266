#include "private_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/exit_cleanup.h"
#include "core/ssa_exception.h"

namespace {

// Written once before the handlers are installed; read from them.
char dir_path[4096];
// A forked child (a death test, a helper) exits too, but the directory is its parent's.
pid_t owner = 0;

// Async-signal-safe: raw getdents64 instead of opendir, no allocation. The
// directory holds plain files only.
void remove_directory() {
    if (dir_path[0] == '\0' || ::getpid() != owner) return;
    const int fd = ::open(dir_path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        alignas(8) char buf[4096];
        long n;
        while ((n = ::syscall(SYS_getdents64, fd, buf, sizeof buf)) > 0) {
            for (long at = 0; at < n;) {
                const auto* entry = reinterpret_cast<const struct dirent64*>(buf + at);
                const char* name = entry->d_name;
                if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) ::unlinkat(fd, name, 0);
                at += entry->d_reclen;
            }
        }
        ::close(fd);
    }
    ::rmdir(dir_path);
}

std::string create() {
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = tmp && *tmp ? tmp : "/tmp";
    const std::string tmpl = base + "/kelvane-XXXXXX";
    if (tmpl.size() >= sizeof dir_path)
        throw SSA_math_exception::resource_error("unable to create a temporary directory in " + base + " (" +
                                                 std::strerror(ENAMETOOLONG) + ")");
    // Handlers first and the name made in place: a signal at any moment
    // finds either no directory or its complete name.
    std::memcpy(dir_path, tmpl.c_str(), tmpl.size() + 1);
    owner = ::getpid();
    exit_cleanup::set_directory_remover(remove_directory);
    exit_cleanup::install_signal_handlers();
    if (!::mkdtemp(dir_path)) {
        const int code = errno;
        dir_path[0] = '\0';
        throw SSA_math_exception::resource_error("unable to create a temporary directory in " + base + " (" +
                                                 std::strerror(code) + ")");
    }
    std::atexit(remove_directory);
    return dir_path;
}

}  // namespace

const std::string& private_directory() {
    static const std::string dir = create();
    return dir;
}
