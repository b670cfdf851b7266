// The zip container of .xlsx and .ods files, read part by part with the
// checks that keep a crafted archive from exhausting memory.
#pragma once

#include <cstdint>
#include <string>

typedef struct zip zip_t;

namespace workbook {

// No spreadsheet part comes near this; a larger declared size is refused.
constexpr std::uint64_t max_part_bytes = std::uint64_t(256) << 20;
// Deflate cannot expand n bytes to more than about 1032 n: a declared size
// above that is a lie, and such a part is refused before anything is read.
constexpr std::uint64_t max_deflate_ratio = 1032;

class zip_archive {
public:
    // Throws the damaged-file message when path is not a readable zip archive.
    explicit zip_archive(const std::string& path);
    ~zip_archive();
    zip_archive(const zip_archive&) = delete;
    zip_archive& operator=(const zip_archive&) = delete;

    bool has(const std::string& name) const;
    // The whole part; throws when it is missing, encrypted, declares a size
    // above the limits or does not inflate to exactly its declared size.
    std::string read(const std::string& name) const;

private:
    std::string m_path;
    zip_t* m_zip = nullptr;
};

}  // namespace workbook
