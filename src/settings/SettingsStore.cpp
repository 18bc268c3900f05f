#include "settings/SettingsStore.h"

#include "platform/FileAccess.h"
#include "settings/SettingsSchema.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string_view>

namespace pirela {

namespace fs = std::filesystem;

namespace {

struct ReadFromIni {
    const IniFile& ini;

    void operator()(std::string_view section, std::string_view key, int& member,
                    int fallback) const {
        member = ini.GetInt(section, key).value_or(fallback);
    }
    void operator()(std::string_view section, std::string_view key, float& member,
                    int fallback) const {
        const int rate = ini.GetInt(section, key).value_or(fallback);
        member = static_cast<float>(std::clamp(rate, kSmallestRate, kLargestRate));
    }
    void operator()(std::string_view section, std::string_view key, std::string& member,
                    const std::string& fallback) const {
        member = ini.GetString(section, key).value_or(fallback);
    }
};

// The rate is whole in the file: a fraction is dropped toward zero, and a rate read as a huge
// number (held in a float, it may round past the largest int) is held at the int range.
int WholeRate(float rate) {
    constexpr float kTwoTo31 = 2147483648.0f;
    if (std::isnan(rate)) {
        return 0;
    }
    if (rate >= kTwoTo31) {
        return INT_MAX;
    }
    if (rate < -kTwoTo31) {
        return INT_MIN;
    }
    return static_cast<int>(rate);
}

struct WriteToIni {
    IniFile& ini;

    void operator()(std::string_view section, std::string_view key, int member, int) const {
        ini.SetInt(section, key, member);
    }
    void operator()(std::string_view section, std::string_view key, float member, int) const {
        ini.SetInt(section, key, WholeRate(member));
    }
    void operator()(std::string_view section, std::string_view key, const std::string& member,
                    const std::string&) const {
        ini.SetString(section, key, member);
    }
};

} // namespace

AppSettings SettingsFromIni(const IniFile& ini, const SettingsEnvironment& environment) {
    AppSettings settings;
    ForEachSetting(settings, environment, ReadFromIni{ini});
    ClampWindowRects(settings, environment.screenWidth, environment.screenHeight);
    return settings;
}

void WriteSettingsToIni(const AppSettings& settings, IniFile& ini) {
    ForEachSetting(settings, SettingsEnvironment{}, WriteToIni{ini});
}

void ClampWindowRects(AppSettings& settings, int screenWidth, int screenHeight) {
    WindowRect& main = settings.mainWindow;
    if (main.top < 0 || main.top > screenHeight) {
        main.top = 0;
    }
    if (main.left < 0 || main.left > screenWidth) {
        main.left = 0;
    }
    if (main.right > screenWidth) {
        main.right = screenWidth;
    }
    if (main.bottom > screenHeight) {
        main.bottom = screenHeight;
    }

    WindowRect& list = settings.fileListWindow;
    if (list.top < 0) {
        list.top = 0;
    }
    if (list.left < 0) {
        list.left = 0;
    }
    if (list.right > screenWidth) {
        list.right = screenWidth;
    }
    if (list.bottom > screenHeight) {
        list.bottom = screenHeight;
    }
}

SettingsStore::SettingsStore(fs::path file) : file_(std::move(file)) {}

AppSettings SettingsStore::Load(const SettingsEnvironment& environment) const {
    const auto text = ReadWholeFile(file_, kMaxFileBytes);
    return SettingsFromIni(IniFile::Parse(text.value_or("")), environment);
}

std::optional<IniFile> SettingsStore::ReadForUpdate() const {
    std::error_code error;
    if (!fs::exists(file_, error)) {
        return IniFile();
    }
    const auto text = ReadWholeFile(file_, kMaxFileBytes);
    if (!text) {
        return std::nullopt;
    }
    return IniFile::Parse(*text);
}

bool SettingsStore::Write(const IniFile& ini) const {
    std::error_code error;
    if (file_.has_parent_path()) {
        fs::create_directories(file_.parent_path(), error);
    }
    return WriteFileAtomically(file_, ini.Serialize());
}

bool SettingsStore::Save(const AppSettings& settings) const {
    auto ini = ReadForUpdate();
    if (!ini) {
        return false;
    }
    WriteSettingsToIni(settings, *ini);
    return Write(*ini);
}

std::optional<std::string> SettingsStore::LoadValue(std::string_view section,
                                                    std::string_view key) const {
    const auto text = ReadWholeFile(file_, kMaxFileBytes);
    if (!text) {
        return std::nullopt;
    }
    return IniFile::Parse(*text).GetString(section, key);
}

bool SettingsStore::SaveValue(std::string_view section, std::string_view key,
                              std::string_view value) const {
    auto ini = ReadForUpdate();
    if (!ini) {
        return false;
    }
    ini->SetString(section, key, value);
    return Write(*ini);
}

} // namespace pirela

namespace pirela {

WindowRect UsableMainWindowRect(const WindowRect& saved, int screenWidth, int screenHeight) {
    if (saved.Width() > 0 && saved.Height() > 0) {
        return saved;
    }
    return WindowRect{0, 0, screenWidth * 3 / 4, screenHeight * 3 / 4};
}

} // namespace pirela
