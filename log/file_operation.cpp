#include "file_operation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

CFExeption::CFExeption(int system_code) : text(std::strerror(system_code)), code(system_code) {}

CFExeption::CFExeption(std::string t) : text(std::move(t)), code(0) {}

namespace {

std::string last_component(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string parent_of(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// A tree copied into its own subtree would never end.
bool inside(const std::string& path, const std::string& tree) {
    std::error_code ec;
    const fs::path p = fs::canonical(path, ec), t = fs::canonical(tree, ec);
    if (ec) return false;
    return std::mismatch(t.begin(), t.end(), p.begin(), p.end()).first == t.end();
}

int kind_of(const std::string& path) {
    const int kind = FileOperation::path_kind(path);
    if (kind < 0) throw CFExeption(errno);
    return kind;
}

void check(const std::error_code& ec) {
    if (ec) throw CFExeption(ec.value());
}

// Read-only means the permission bits deny this user writing, whatever the
// superuser could override.
bool is_read_only(const struct stat& st) {
    if (st.st_uid == geteuid()) return !(st.st_mode & S_IWUSR);
    if (st.st_gid == getegid()) return !(st.st_mode & S_IWGRP);
    return !(st.st_mode & S_IWOTH);
}

}  // namespace

int FileOperation::path_kind(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? 0 : -1;
    return S_ISDIR(st.st_mode) ? 2 : 1;
}

std::string FileOperation::copy_name(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string name = path.substr(dir.size());
    const size_t dot = name.find_last_of('.');
    const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
    name = name.substr(0, name.size() - ext.size());

    const size_t open = name.find('('), close = name.find(')');
    if (name.find("Copy ") == std::string::npos) return dir + "Copy of " + name + ext;
    if (open == std::string::npos) return dir + "Copy (1) of " + (name.size() > 8 ? name.substr(8) : "") + ext;
    if (close == std::string::npos) return dir + "Copy of " + name + ext;
    const int n = std::atoi(name.substr(open + 1).c_str()) + 1;
    const std::string rest = close + 5 <= name.size() ? name.substr(close + 5) : "";
    return dir + "Copy (" + std::to_string(n) + ") of " + rest + ext;
}

bool FileOperation::report(const CFExeption& e) {
    m_error_code = e.code;
    if (e.code == 0 && e.text.empty()) return true;  // the user cancelled
    m_error_text = e.text;
    return false;
}

bool FileOperation::copy(const std::string& source, const std::string& destination) {
    try {
        const int from = kind_of(source);
        if (from == 2 && parent_of(source) == destination) return true;
        if (from == 0) throw CFExeption(source + " not found");
        const int to = kind_of(destination);
        if (to == 0) throw CFExeption(destination + " not found");
        if (from == 2 && to == 1) throw CFExeption("Wrong operation");
        if (from == 1 && to == 1) {
            copy_file(source, destination);
        } else if (from == 1) {
            copy_file(source, destination + "/" + last_component(source));
        } else {
            if (inside(destination, source)) throw CFExeption("Wrong operation");
            copy_directory(source, destination);
        }
    } catch (const CFExeption& e) {
        return report(e);
    }
    return true;
}

void FileOperation::copy_file(const std::string& source, std::string target) {
    std::error_code ec;
    if (!m_overwrite) {
        while (std::ifstream(target).is_open()) target = copy_name(target);
        fs::copy_file(source, target, fs::copy_options::none, ec);
    } else {
        fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
    }
    check(ec);
}

void FileOperation::copy_directory(const std::string& source, const std::string& destination) {
    std::error_code ec;
    fs::directory_iterator entries(source, ec);
    if (ec) throw CFExeption(source + " not found");
    const std::string target = destination + "/" + last_component(source);
    if (::mkdir(target.c_str(), 0777) != 0 && errno != EEXIST) throw CFExeption(errno);
    for (const fs::directory_entry& e : entries) {
        const std::string path = e.path().string();
        if (path_kind(path) == 2)
            copy_directory(path, target);
        else
            copy_file(path, target + "/" + e.path().filename().string());
    }
}

bool FileOperation::remove(const std::string& path) {
    try {
        remove_path(path);
    } catch (const CFExeption& e) {
        return report(e);
    }
    return true;
}

void FileOperation::remove_path(const std::string& path) {
    // A link goes, never what it points to: following one to a directory
    // would empty a tree the user did not ask to delete.
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (::unlink(path.c_str()) != 0) throw CFExeption(errno);
        return;
    }
    if (path_kind(path) == 1) {
        if (!may_delete(path)) {
            m_aborted = true;
            return;
        }
        if (::unlink(path.c_str()) != 0) throw CFExeption(errno);
        return;
    }
    std::string dir = path;
    if (dir.empty() || dir.back() != '/') dir += '/';
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(dir, ec)) remove_path(e.path().string());
    if (::rmdir(dir.c_str()) != 0 && !m_aborted) throw CFExeption(errno);
}

bool FileOperation::may_delete(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    if (!is_read_only(st)) return true;
    if (m_ask_if_read_only) {
        const ui_answer a =
            m_ui.ask_yes_no_cancel(last_component(path) + " is read olny. Do you want delete it?", "Warning");
        if (a == ui_answer::no) return false;
        if (a == ui_answer::cancel) {
            m_aborted = true;
            throw CFExeption(std::string());
        }
    }
    return ::chmod(path.c_str(), st.st_mode | S_IWUSR) == 0;
}
