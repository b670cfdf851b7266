#include "recent_files.h"

#include <QSettings>

// Keys File1 .. File4, most recent first; an empty or missing key ends the list.
std::vector<std::string> CRecentFileSettings::load() {
    QSettings settings(organisation, application);
    settings.beginGroup(group);
    std::vector<std::string> files;
    for (int i = 1; i <= CWinKelvaneApp::recent_file_count; ++i) {
        const QString file = settings.value(QString("File%1").arg(i)).toString();
        if (file.isEmpty()) break;
        files.push_back(file.toStdString());
    }
    return files;
}

void CRecentFileSettings::save(const std::vector<std::string>& files) {
    QSettings settings(organisation, application);
    settings.remove(group);
    settings.beginGroup(group);
    for (std::size_t i = 0; i < files.size() && i < static_cast<std::size_t>(CWinKelvaneApp::recent_file_count); ++i)
        settings.setValue(QString("File%1").arg(i + 1), QString::fromStdString(files[i]));
}
