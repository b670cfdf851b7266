// Copies and deletes files and directory trees with explicit error texts and
// a confirmation before deleting a read-only file.
#pragma once

#include <string>

#include "core/ui_services.h"

// A failure inside FileOperation: the system's text for an errno code, or a text of its own (code 0).
struct CFExeption {
    explicit CFExeption(int system_code);
    explicit CFExeption(std::string text);

    std::string text;
    int code;
};

class FileOperation {
public:
    explicit FileOperation(ui_services& ui) : m_ui(ui) {}

    // Both return false on failure, with error_text and error_code set; a
    // user's cancel (code 0) counts as success.
    bool copy(const std::string& source, const std::string& destination);
    bool remove(const std::string& path);

    void set_ask_if_read_only(bool ask) { m_ask_if_read_only = ask; }
    void set_overwrite(bool overwrite) { m_overwrite = overwrite; }
    const std::string& get_error_text() const { return m_error_text; }
    int get_error_code() const { return m_error_code; }
    bool get_aborted() const { return m_aborted; }

    // 0 missing, 1 file, 2 directory, -1 attributes unreadable.
    static int path_kind(const std::string& path);
    // data.dat -> Copy of data.dat -> Copy (1) of data.dat -> Copy (2) of data.dat.
    static std::string copy_name(const std::string& path);

private:
    bool report(const CFExeption& e);
    void copy_file(const std::string& source, std::string target);
    void copy_directory(const std::string& source, const std::string& destination);
    void remove_path(const std::string& path);
    bool may_delete(const std::string& path);

    ui_services& m_ui;
    std::string m_error_text = "No error";
    int m_error_code = 0;
    bool m_ask_if_read_only = true;
    bool m_overwrite = false;
    bool m_aborted = false;
};
