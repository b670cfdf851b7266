#include "zip_archive.h"

#include <zip.h>

#include "workbook_reader.h"

namespace workbook {

zip_archive::zip_archive(const std::string& path) : m_path(path) {
    int error = 0;
    m_zip = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!m_zip) {
        zip_error_t e;
        zip_error_init_with_code(&e, error);
        const std::string reason = zip_error_strerror(&e);
        zip_error_fini(&e);
        damaged(path, "damaged or truncated zip archive: " + reason);
    }
}

zip_archive::~zip_archive() {
    if (m_zip) zip_discard(m_zip);
}

bool zip_archive::has(const std::string& name) const { return zip_name_locate(m_zip, name.c_str(), 0) >= 0; }

std::string zip_archive::read(const std::string& name) const {
    const zip_int64_t index = zip_name_locate(m_zip, name.c_str(), 0);
    if (index < 0) damaged(m_path, "it has no part " + name);
    zip_stat_t st;
    zip_stat_init(&st);
    const zip_uint64_t needed = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
    if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &st) != 0 || (st.valid & needed) != needed)
        damaged(m_path, "part " + name + " has no size");
    if (st.encryption_method != ZIP_EM_NONE) encrypted(m_path);
    if (st.size > max_part_bytes)
        damaged(m_path, "part " + name + " declares " + std::to_string(st.size) + " bytes, more than the 256 MB allowed");
    const bool plausible = st.comp_method == ZIP_CM_STORE     ? st.size == st.comp_size
                           : st.comp_method == ZIP_CM_DEFLATE ? st.size <= st.comp_size * max_deflate_ratio + 64
                                                              : false;
    if (!plausible)
        damaged(m_path, "part " + name + " declares " + std::to_string(st.size) + " bytes from " +
                            std::to_string(st.comp_size) + " compressed ones (method " +
                            std::to_string(st.comp_method) + ")");

    zip_file_t* f = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
    if (!f) damaged(m_path, "part " + name + ": " + zip_strerror(m_zip));
    std::string data(static_cast<size_t>(st.size), '\0');
    zip_uint64_t got = 0;
    std::string reason;
    for (;;) {
        // One byte past the declared end, to notice a part that inflates to more.
        char extra;
        const bool past = got >= st.size;
        const zip_int64_t n = zip_fread(f, past ? &extra : &data[got], past ? 1 : st.size - got);
        if (n < 0) reason = std::string(": ") + zip_file_strerror(f);
        if (n <= 0) break;
        got += static_cast<zip_uint64_t>(n);
        if (got > st.size) break;
    }
    zip_fclose(f);
    if (!reason.empty() || got != st.size) damaged(m_path, "part " + name + " is damaged" + reason);
    return data;
}

}  // namespace workbook
