#include "file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/ssa_exception.h"
#include "log/private_dir.h"

namespace {

// A read lock over the whole file conflicts exactly with someone's write lock.
bool write_record_lock_held(int fd) {
    struct flock probe {};
    probe.l_type = F_RDLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;
#ifdef F_OFD_GETLK
    // The open-file-description form also sees locks of this process's other descriptors.
    if (fcntl(fd, F_OFD_GETLK, &probe) == 0) return probe.l_type != F_UNLCK;
    probe = {};
    probe.l_type = F_RDLCK;
    probe.l_whence = SEEK_SET;
#endif
    return fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

bool exclusive_flock_held(int fd) {
    if (flock(fd, LOCK_SH | LOCK_NB) == 0) {
        flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

}  // namespace

file_access probe_file_access(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return file_access::missing;
    struct stat st {};
    file_access result = file_access::free;
    if (fstat(fd, &st) != 0)
        result = file_access::missing;
    else if (S_ISDIR(st.st_mode))
        result = file_access::directory;
    else if (write_record_lock_held(fd) || exclusive_flock_held(fd))
        result = file_access::held_for_writing;
    close(fd);
    return result;
}

std::string create_temp_copy(const std::string& path) {
    const std::string name = path.substr(path.rfind('/') + 1);
    const std::string::size_type dot = name.rfind('.');
    const bool has_ext = dot != std::string::npos && dot > 0;
    // Short enough for any file system's name limit with the unique part.
    const std::string stem = name.substr(0, std::min<std::string::size_type>(has_ext ? dot : name.size(), 120));
    const std::string ext = has_ext ? name.substr(dot, 16) : "";
    std::string copy = private_directory() + "/" + stem + "-tmp-XXXXXX" + ext;
    const int fd = mkstemps(copy.data(), static_cast<int>(ext.size()));
    if (fd < 0)
        throw SSA_math_exception::resource_error("unable to create a temporary copy of " + path + " (" +
                                                 std::strerror(errno) + ")");
    close(fd);
    return copy;
}

int open_held_copy(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    // Advisory, like every lock here: it keeps out only writers that ask.
    flock(fd, LOCK_SH | LOCK_NB);
    return fd;
}
