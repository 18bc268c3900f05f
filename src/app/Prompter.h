#pragma once

#include <string>

namespace pirela {

enum class MessageIcon { Warning, Question, Information };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// Asks the user, or tells the user something, and waits for the answer. The user interface
// shows message boxes owned by the main window; tests answer from a script.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                                      MessageButtons buttons) = 0;
};

} // namespace pirela
