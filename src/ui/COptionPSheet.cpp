#include "ui/COptionPSheet.h"

#include "res/ProgramTexts.h"
#include "ui/COFind.h"
#include "ui/COGeneral.h"
#include "ui/COSend.h"
#include "ui/QtText.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace pirela {

COptionPSheet::COptionPSheet(OptionsContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)) {
    setWindowTitle(ToQString(res::kOptionsCaption));
    tabs_ = new QTabWidget(this);
    general_ = new COGeneral(context_, tabs_);
    find_ = new COFind(context_, tabs_);
    send_ = new COSend(context_, tabs_);
    pages_ = {general_, find_, send_};
    const char* titles[] = {res::kGeneralTab, res::kFindTab, res::kSendTab};
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        tabs_->addTab(pages_[i], ToQString(titles[i]));
        pages_[i]->SetOnModified([this] { EnableApply(true); });
    }
    buttons_ = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    EnableApply(false);
    connect(tabs_, &QTabWidget::currentChanged, this, &COptionPSheet::OnTabShown);
    connect(buttons_, &QDialogButtonBox::accepted, this, &COptionPSheet::OnAccept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons_->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] {
        ApplyPages();
        EnableApply(false);
    });
}

void COptionPSheet::showEvent(QShowEvent* event) {
    OnTabShown(tabs_->currentIndex());
    QDialog::showEvent(event);
}

void COptionPSheet::OnTabShown(int index) {
    if (index >= 0 && index < static_cast<int>(pages_.size())) {
        pages_[static_cast<std::size_t>(index)]->EnsureInitialised();
    }
}

void COptionPSheet::ApplyPages() {
    for (COptionPage* page : pages_) {
        page->Store();
    }
}

void COptionPSheet::OnAccept() {
    ApplyPages();
    accept();
}

void COptionPSheet::EnableApply(bool enabled) {
    buttons_->button(QDialogButtonBox::Apply)->setEnabled(enabled);
}

} // namespace pirela
