// A test under a decimal-comma locale, set with setlocale as Qt sets it from
// the user's environment. Skips, saying so, where the locale is not generated.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

class scoped_comma_locale {
public:
    scoped_comma_locale() : m_old(std::setlocale(LC_ALL, nullptr)) {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"})
            if (std::setlocale(LC_ALL, name)) break;
        m_ok = std::strcmp(std::localeconv()->decimal_point, ",") == 0;
    }
    ~scoped_comma_locale() { std::setlocale(LC_ALL, m_old.c_str()); }
    bool ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok = false;
};

#define SKIP_WITHOUT_COMMA_LOCALE(guard) \
    if (!(guard).ok()) GTEST_SKIP() << "de_DE.UTF-8 is not generated here (scripts/install-deps generates it)"
