#include "app/BuildText.h"

#include <cstdio>

namespace pirela {

std::string FormatBuildText(std::time_t modificationTime) {
    std::tm local{};
    if (localtime_r(&modificationTime, &local) == nullptr) {
        return "Build : ";
    }
    char text[96];
    std::snprintf(text, sizeof text, "Build : %d年%d月%d日 %d:%02d:%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

} // namespace pirela
