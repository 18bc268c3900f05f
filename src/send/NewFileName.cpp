#include "send/NewFileName.h"

#include "common/PathRules.h"
#include "host/Prompter.h"
#include "platform/DiskNames.h"
#include "platform/FileAccess.h"
#include "res/Messages.h"

namespace pirela {

namespace {

enum class NameCheck { Accepted, Refused };

// The current name is an existing file's valid name: it is taken as it is, even when its bytes
// (an old Shift-JIS name whose second byte is a backslash) look like a forbidden character.
NameCheck CheckName(Prompter& prompter, const std::string& name, const NameParts& current,
                    const char* forbidden) {
    if (name != current.stem && HasForbiddenCharacter(name, forbidden)) {
        prompter.ShowMessage(res::ForbiddenCharactersMessage(forbidden), MessageIcon::Warning,
                             MessageButtons::Ok);
        return NameCheck::Refused;
    }
    if (name.empty()) {
        prompter.ShowMessage(res::kMsgEmptyName, MessageIcon::Warning, MessageButtons::Ok);
        return NameCheck::Refused;
    }
    return NameCheck::Accepted;
}

std::string WithExtension(const std::string& stem, const std::string& extension) {
    return extension.empty() ? stem : stem + "." + extension;
}

} // namespace

NameParts SplitAtExtension(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) {
        return {std::string(fileName), {}};
    }
    return {std::string(fileName.substr(0, dot)), std::string(fileName.substr(dot + 1))};
}

const char* ForbiddenNameCharactersIn(const std::string& folder) {
    return NameRulesOf(folder) == NameRules::Windows ? res::kForbiddenNameCharacters
                                                     : res::kForbiddenPosixNameCharacters;
}

bool HasForbiddenCharacter(std::string_view name, std::string_view forbidden) {
    // No file name on any disk holds a NUL byte.
    return name.find_first_of(forbidden) != std::string_view::npos ||
           name.find('\0') != std::string_view::npos;
}

std::optional<SendTarget> AskNewFileName(Prompter& prompter, std::string_view folder,
                                         std::string_view fileName) {
    const NameParts current = SplitAtExtension(fileName);
    const char* forbidden = ForbiddenNameCharactersIn(std::string(folder));
    // After a refusal the dialog offers what the user typed, to be mended.
    std::string offered;
    for (;;) {
        const std::optional<std::string> name =
            prompter.AskNewName(std::string(folder), current.stem, current.extension, offered);
        if (!name) {
            return std::nullopt;
        }
        offered = *name;
        if (CheckName(prompter, *name, current, forbidden) == NameCheck::Refused) {
            continue;
        }
        SendTarget target{JoinPath(folder, WithExtension(*name, current.extension))};
        if (!NameExists(target.path)) {
            return target;
        }
        switch (prompter.ShowMessage(res::OverwriteQuestion(target.path), MessageIcon::Question,
                                     MessageButtons::YesNoCancelDefaultCancel)) {
        case MessageAnswer::Yes:
            target.overwrite = Overwrite::Confirmed;
            return target;
        case MessageAnswer::No:
            continue;
        default:
            return std::nullopt;
        }
    }
}

} // namespace pirela
