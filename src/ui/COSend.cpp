#include "ui/COSend.h"

#include "host/Prompter.h"
#include "res/ProgramTexts.h"
#include "res/ResourceIds.h"
#include "ui/CProgramEditDlg.h"
#include "ui/QtText.h"

#include <QListWidget>
#include <QPushButton>

namespace pirela {

COSend::COSend(OptionsContext& context, QWidget* parent)
    : COptionPage(context, res::SendPageTemplate(), parent),
      list_(qobject_cast<QListWidget*>(Control(res::kSendPagePrograms))) {
    for (int id : {res::kSendPageAsk, res::kSendPageRename, res::kSendPageCopy, res::kSendPageMove}) {
        ModifiesOnClick(id);
    }
    const auto onClick = [this](int id, void (COSend::*action)()) {
        connect(qobject_cast<QPushButton*>(Control(id)), &QPushButton::clicked, this, action);
    };
    onClick(res::kSendPageAdd, &COSend::AddProgram);
    onClick(res::kSendPageEdit, &COSend::EditProgram);
    onClick(res::kSendPageDelete, &COSend::DeleteProgram);
    connect(list_, &QListWidget::itemSelectionChanged, this, &COSend::UpdateButtons);
    connect(list_, &QListWidget::itemDoubleClicked, this, &COSend::EditProgram);
}

void COSend::OnInitDialog() {
    const OptionBlock& options = context_.settings.options;
    SetChecked(res::kSendPageAsk, options.ask == 1);
    SetChecked(res::kSendPageRename, options.changeFileName == 1);
    SetChecked(options.sendType == 1 ? res::kSendPageCopy : res::kSendPageMove, true);
    programs_ = ExternalPrograms::FromOptions(options);
    FillList(-1);
}

void COSend::OnOK() {
    OptionBlock& options = context_.settings.options;
    options.ask = IsChecked(res::kSendPageAsk) ? 1 : 0;
    options.changeFileName = IsChecked(res::kSendPageRename) ? 1 : 0;
    options.sendType = IsChecked(res::kSendPageCopy) ? 1 : 0;
    programs_.StoreInto(options);
}

void COSend::AddProgram() {
    if (programs_.IsFull()) {
        context_.prompter.ShowMessage(res::kMsgTooManyPrograms, MessageIcon::Warning,
                                      MessageButtons::Ok);
        return;
    }
    if (const auto program = AskProgram(res::kAddProgramCaption, {})) {
        programs_.Append(*program);
        FillList(programs_.Count() - 1);
        SetModified();
    }
}

void COSend::EditProgram() {
    const int row = SelectedRow();
    if (row < 0) {
        return;
    }
    if (const auto program = AskProgram(res::kEditProgramCaption, programs_.At(row))) {
        programs_.Replace(row, *program);
        FillList(row);
        SetModified();
    }
}

void COSend::DeleteProgram() {
    const int row = SelectedRow();
    if (row < 0 ||
        context_.prompter.ShowMessage(res::DeleteProgramQuestion(programs_.At(row).name),
                                      MessageIcon::Question,
                                      MessageButtons::YesNo) != MessageAnswer::Yes) {
        return;
    }
    programs_.Remove(row);
    FillList(-1);
    SetModified();
}

std::optional<ExternalProgram> COSend::AskProgram(const char* caption, ExternalProgram program) {
    for (;;) {
        CProgramEditDlg dialog(context_.settings, caption, this);
        dialog.SetProgram(program);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        program = dialog.Program();
        if (!program.name.empty() && !program.command.empty()) {
            return program;
        }
        context_.prompter.ShowMessage(res::kMsgEmptyField, MessageIcon::Warning,
                                      MessageButtons::Ok);
    }
}

void COSend::FillList(int selectedRow) {
    list_->clear();
    for (const std::string& line : programs_.ListLines()) {
        list_->addItem(ToQString(line));
    }
    list_->setCurrentRow(selectedRow);
    UpdateButtons();
}

void COSend::UpdateButtons() {
    const bool selected = SelectedRow() >= 0;
    Control(res::kSendPageEdit)->setEnabled(selected);
    Control(res::kSendPageDelete)->setEnabled(selected);
    Control(res::kSendPageAdd)->setEnabled(!programs_.IsFull());
}

int COSend::SelectedRow() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.constFirst());
}

} // namespace pirela
