#include "file_log.h"

#include <cstdio>

#include "core/ssa_exception.h"

namespace {
int log_counter = 0;
}

FileLog::FileLog(const std::string& prefix) {
    char name[32];
    std::snprintf(name, sizeof name, "filelog%d.log", log_counter++);
    m_file_name = prefix + name;
    open(m_file_name, std::ios::in | std::ios::out | std::ios::trunc);
    if (!is_open()) throw SSA_math_exception::ssa_exception("error in opening file log");
}

FileLog::~FileLog() {
    close();
    std::remove(m_file_name.c_str());
}
