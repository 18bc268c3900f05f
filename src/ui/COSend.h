#pragma once

#include "send/ExternalPrograms.h"
#include "ui/COptionPage.h"

#include <optional>

class QListWidget;

namespace pirela {

// The page "ファイルを送る": the send options and the external programs. The programs are
// edited on a copy, which reaches the settings only through OK or Apply.
class COSend : public COptionPage {
    Q_OBJECT
public:
    COSend(OptionsContext& context, QWidget* parent);

    void AddProgram();
    void EditProgram();
    void DeleteProgram();

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    // The program dialog until it ends with Cancel or with both boxes filled; an empty box is
    // told and the dialog comes back with what was typed.
    std::optional<ExternalProgram> AskProgram(const char* caption, ExternalProgram program);
    void FillList(int selectedRow);
    void UpdateButtons();
    int SelectedRow() const;

    ExternalPrograms programs_;
    QListWidget* list_ = nullptr;
};

} // namespace pirela
