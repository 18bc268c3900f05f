#include "ui/CProgramEditDlg.h"

#include "common/PathRules.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "ui/DialogBuilder.h"
#include "ui/ProgramFileDialog.h"
#include "ui/QtText.h"

#include <QLineEdit>
#include <QPushButton>

namespace pirela {

CProgramEditDlg::CProgramEditDlg(AppSettings& settings, const std::string& caption,
                                 QWidget* parent)
    : QDialog(parent), settings_(settings) {
    BuildDialog(*this, res::ProgramEditTemplate());
    setWindowTitle(ToQString(caption));
    name_ = qobject_cast<QLineEdit*>(FindControl(*this, res::kProgramEditName));
    command_ = qobject_cast<QLineEdit*>(FindControl(*this, res::kProgramEditCommand));
    connect(qobject_cast<QPushButton*>(FindControl(*this, res::kProgramEditBrowse)),
            &QPushButton::clicked, this, &CProgramEditDlg::OnBrowse);
    name_->setFocus();
}

void CProgramEditDlg::SetProgram(const ExternalProgram& program) {
    name_->setText(ToQString(program.name));
    command_->setText(ToQString(program.command));
}

ExternalProgram CProgramEditDlg::Program() const {
    return {ToUtf8(name_->text()), ToUtf8(command_->text())};
}

void CProgramEditDlg::OnBrowse() {
    if (const auto chosen = AskForProgramFile(this, settings_.lastOpenApp)) {
        command_->setText(ToQString(*chosen));
        settings_.lastOpenApp = FolderOf(*chosen);
    }
}

} // namespace pirela
