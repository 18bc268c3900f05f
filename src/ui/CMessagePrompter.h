#pragma once

#include "app/Prompter.h"

class QWidget;

namespace pirela {

// Message boxes with the caption "Pirela", owned by the main window.
class CMessagePrompter : public Prompter {
public:
    void SetOwner(QWidget* owner) { owner_ = owner; }

    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override;

private:
    QWidget* owner_ = nullptr;
};

} // namespace pirela
