#include "send/NewFileName.h"

#include "common/PathRules.h"
#include "host/Prompter.h"
#include "platform/FileAccess.h"
#include "res/Messages.h"

namespace pirela {

namespace {

enum class NameCheck { Accepted, Refused };

// The current name is an existing file's valid name: it is taken as it is, even when its bytes
// (an old Shift-JIS name whose second byte is a backslash) look like a forbidden character.
NameCheck CheckName(Prompter& prompter, const std::string& name, const NameParts& current) {
    if (name != current.stem && HasForbiddenCharacter(name)) {
        prompter.ShowMessage(res::ForbiddenCharactersMessage(), MessageIcon::Warning,
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

bool HasForbiddenCharacter(std::string_view name) {
    return name.find_first_of(res::kForbiddenNameCharacters) != std::string_view::npos;
}

std::optional<SendTarget> AskNewFileName(Prompter& prompter, std::string_view folder,
                                         std::string_view fileName) {
    const NameParts current = SplitAtExtension(fileName);
    for (;;) {
        const std::optional<std::string> name =
            prompter.AskNewName(std::string(folder), current.stem, current.extension);
        if (!name) {
            return std::nullopt;
        }
        if (CheckName(prompter, *name, current) == NameCheck::Refused) {
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
