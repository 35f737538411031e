#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "test_files.h"

// Sets TZ for one test (in the platform's own spelling of the zone) and puts
// back what was there before.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone, bool apply = true)
    {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        SetEnv("TZ", PlatformZone(zone));
        if (apply)
            ::tzset();
    }
    ~ScopedTimeZone()
    {
        if (m_old)
            SetEnv("TZ", *m_old);
        else
            UnsetEnv("TZ");
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> m_old;
};
