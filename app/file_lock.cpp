#include "file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))
        result = file_access::missing;
    else if (write_record_lock_held(fd) || exclusive_flock_held(fd))
        result = file_access::held_for_writing;
    close(fd);
    return result;
}

std::string temp_copy_name(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    const std::string::size_type dot = path.rfind('.');
    // Only a dot in the file name counts: "/d.abc/x" has no extension.
    const bool in_name = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    if (in_name && path.size() >= 4 && dot == path.size() - 4) return path.substr(0, dot) + "-tmp" + path.substr(dot);
    return path + ".tmp";
}

int open_held_copy(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    // Advisory, like every lock here: it keeps out only writers that ask.
    flock(fd, LOCK_SH | LOCK_NB);
    return fd;
}
