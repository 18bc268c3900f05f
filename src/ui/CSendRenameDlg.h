#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;

namespace pirela {

// The new-name dialog of a send: the folder the file goes to, then the current name, read-only,
// above the new one, each with the extension that stays beside it. It only asks; the name
// rules are the core's.
class CSendRenameDlg : public QDialog {
    Q_OBJECT
public:
    // offeredName stands in the new-name box (the current name when it is empty): after a
    // refusal, what the user typed, to be mended rather than typed again.
    CSendRenameDlg(const std::string& folder, std::string currentName,
                   const std::string& extension, const std::string& offeredName = {},
                   QWidget* parent = nullptr);

    // The name typed, or none when cancelled. A name left as offered comes back as the file's
    // own bytes, which need not be UTF-8 and so cannot survive a trip through the text box.
    std::optional<std::string> Ask();

    QLineEdit* NewNameEdit() const { return newName_; }

private:
    void SetText(int id, const QString& text);

    std::string currentName_;
    QString shownName_;
    QLineEdit* newName_ = nullptr;
};

} // namespace pirela
