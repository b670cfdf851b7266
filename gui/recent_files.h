// The recent-file list between runs, in the program's QSettings.
#pragma once

#include "app/application.h"

class CRecentFileSettings : public recent_file_store {
public:
    static constexpr const char* organisation = "Local AppWizard-Generated Applications";
    static constexpr const char* application = "Kelvane";
    static constexpr const char* group = "Recent File List";

    std::vector<std::string> load() override;
    void save(const std::vector<std::string>& files) override;
};
