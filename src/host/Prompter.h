#pragma once

#include "res/Messages.h"

#include <optional>
#include <string>

namespace pirela {

enum class MessageIcon { Warning, Question, Information, Error };
// The default button (the one Return presses, and the one that has the focus, so Space too) is
// the first, except for YesNoCancelDefaultCancel: the question whose Yes cannot be taken back
// (replacing a file) answers キャンセル to a key pressed out of habit.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoCancelDefaultCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };
// The answer to a question asked for each of several files, and whether the user checked
// "すべてに適用" to give it for the files that follow too.
struct RepeatedAnswer {
    MessageAnswer answer = MessageAnswer::Cancel;
    bool forAll = false;
};

// Asks the user, or tells the user something, and waits for the answer. The user interface
// shows message boxes and dialogs owned by the main window; a key pressed before a question is
// on the screen never answers it. Tests answer from a script.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A message box captioned with the program's name.
    virtual MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                                      MessageButtons buttons) {
        return ShowCaptionedMessage(res::kProgramName, text, icon, buttons);
    }
    virtual MessageAnswer ShowCaptionedMessage(const std::string& caption,
                                               const std::string& text, MessageIcon icon,
                                               MessageButtons buttons) = 0;
    // A message box with the check box "すべてに適用" under its text (without one, each answer
    // is for its own file).
    virtual RepeatedAnswer AskForEach(const std::string& text, MessageIcon icon,
                                      MessageButtons buttons) {
        return {ShowMessage(text, icon, buttons), false};
    }

    // The folder browser without its check box, opened at startFolder under the title; the
    // chosen folder, or none when the user cancels.
    virtual std::optional<std::string> AskFolder(const std::string& startFolder,
                                                 const std::string& title) = 0;

    // The new-name dialog for a file going to folder, showing the current name (without its
    // extension) beside the extension that stays, and offering offeredName as the new one (the
    // current name when it is empty); the name typed, without extension, or none when the user
    // cancels. A name left as the current one comes back as currentName's own bytes (they need
    // not be UTF-8). Checking the name is the caller's work.
    virtual std::optional<std::string> AskNewName(const std::string& folder,
                                                  const std::string& currentName,
                                                  const std::string& extension,
                                                  const std::string& offeredName) = 0;
};

} // namespace pirela
