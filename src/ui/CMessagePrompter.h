#pragma once

#include "host/Prompter.h"

class QWidget;

namespace pirela {

// Message boxes, the folder browser and the new-name dialog, owned by the main window.
class CMessagePrompter : public Prompter {
public:
    void SetOwner(QWidget* owner) { owner_ = owner; }

    MessageAnswer ShowCaptionedMessage(const std::string& caption, const std::string& text,
                                       MessageIcon icon, MessageButtons buttons) override;
    RepeatedAnswer AskForEach(const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override;
    std::optional<std::string> AskFolder(const std::string& startFolder,
                                         const std::string& title) override;
    std::optional<std::string> AskNewName(const std::string& folder,
                                          const std::string& currentName,
                                          const std::string& extension,
                                          const std::string& offeredName) override;

private:
    QWidget* owner_ = nullptr;
};

} // namespace pirela
