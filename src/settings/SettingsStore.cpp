#include "settings/SettingsStore.h"

#include "platform/DirectoryReader.h"
#include "platform/FileAccess.h"
#include "settings/SettingsSchema.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <unistd.h>

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

// Writes each of our settings that changed since it was last read or written (ours: the values
// now; before: as read or written last), or that the file lacks. The others keep whatever the
// file holds now, which another Pirela may have saved meanwhile.
struct WriteChanged {
    const IniFile& ours;
    const std::optional<IniFile>& before;
    IniFile& file;

    template <class Member, class Fallback>
    void operator()(std::string_view section, std::string_view key, const Member&,
                    const Fallback&) const {
        const std::optional<std::string> value = ours.GetString(section, key);
        if (!before || before->GetString(section, key) != value || !file.GetString(section, key)) {
            file.SetString(section, key, value.value_or(""));
        }
    }
};

// The folder that holds the file, for the lock.
std::string FolderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path().string() : std::string(".");
}

// An exclusive lock that every Pirela takes on the settings file's folder while it writes the
// file (the file itself is replaced, so it cannot carry the lock). Without the folder, no lock.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) {
            ::close(fd_); // releases the lock
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

} // namespace

AppSettings SettingsFromIni(const IniFile& ini, const SettingsEnvironment& environment) {
    AppSettings settings;
    ForEachSetting(settings, environment, ReadFromIni{ini});
    ClampWindowRects(settings, environment.screenWidth, environment.screenHeight);
    // Looked for only when needed: it reads the desktop's files.
    if (environment.defaultProgram && !ini.GetString("OPTIONS", "PROGRAMNAME1") &&
        !ini.GetString("OPTIONS", "PROGRAMCOMMAND1")) {
        if (const auto program = environment.defaultProgram()) {
            settings.options.programNames[0] = program->first;
            settings.options.programCommands[0] = program->second;
        }
    }
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

AppSettings SettingsStore::Load(const SettingsEnvironment& environment) {
    std::error_code error;
    const auto text = ReadWholeFile(file_, kMaxFileBytes);
    unreadable_ = !text && fs::exists(file_, error);
    const AppSettings settings = SettingsFromIni(IniFile::Parse(text.value_or("")), environment);
    written_.emplace();
    WriteSettingsToIni(settings, *written_);
    return settings;
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

// Reads the file as it is now, changes it and replaces it, all under the lock, so that another
// Pirela's save can come neither between the reading and the writing nor in the middle.
SaveOutcome SettingsStore::Update(const std::function<void(IniFile&)>& change) const {
    std::error_code error;
    if (file_.has_parent_path()) {
        fs::create_directories(file_.parent_path(), error);
    }
    const FolderLock lock(FolderOf(file_));
    auto ini = ReadForUpdate();
    if (!ini || (fs::exists(file_, error) && !IsWritableFile(file_))) {
        return SaveOutcome::Kept;
    }
    change(*ini);
    return WriteFileAtomically(file_, ini->Serialize()) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

SaveOutcome SettingsStore::Save(const AppSettings& settings) {
    IniFile ours;
    WriteSettingsToIni(settings, ours);
    const SaveOutcome outcome = Update([&](IniFile& file) {
        ForEachSetting(settings, SettingsEnvironment{}, WriteChanged{ours, written_, file});
    });
    if (outcome == SaveOutcome::Saved) {
        written_ = std::move(ours);
    }
    return outcome;
}

std::optional<std::string> SettingsStore::LoadValue(std::string_view section,
                                                    std::string_view key) const {
    const auto text = ReadWholeFile(file_, kMaxFileBytes);
    if (!text) {
        return std::nullopt;
    }
    return IniFile::Parse(*text).GetString(section, key);
}

SaveOutcome SettingsStore::SaveValue(std::string_view section, std::string_view key,
                                     std::string_view value) const {
    return Update([&](IniFile& file) { file.SetString(section, key, value); });
}

void SettingsStore::RemoveLeftovers() const {
    const std::string folder = FolderOf(file_);
    const std::string prefix = "." + file_.filename().string() + ".";
    const FolderLock lock(folder);
    ForEachDirectoryEntry(folder, [&](std::string_view name, EntryKind kind) {
        // The temporary's name is the file's with six random letters after it.
        if (kind == EntryKind::RegularFile && name.size() == prefix.size() + 6 &&
            name.starts_with(prefix)) {
            ::unlink((fs::path(folder) / name).c_str());
        }
    });
}

WindowRect UsableMainWindowRect(const WindowRect& saved, int screenWidth, int screenHeight) {
    if (saved.Width() > 0 && saved.Height() > 0) {
        return saved;
    }
    return WindowRect{0, 0, screenWidth * 3 / 4, screenHeight * 3 / 4};
}

} // namespace pirela
