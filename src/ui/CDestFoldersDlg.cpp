#include "ui/CDestFoldersDlg.h"

#include "common/PathRules.h"
#include "res/DialogTemplates.h"
#include "res/Messages.h"
#include "res/ResourceIds.h"
#include "settings/AppSettings.h"
#include "ui/CFolderBrowser.h"
#include "ui/DialogBuilder.h"
#include "ui/QtText.h"

#include <QLineEdit>
#include <QPushButton>

namespace pirela {

CDestFoldersDlg::CDestFoldersDlg(const AppSettings& settings, QWidget* parent)
    : QDialog(parent), lastBrowsed_(settings.lastOpenOtherFolder) {
    BuildDialog(*this, res::DestFoldersTemplate());
    for (int row = 0; row < 8; ++row) {
        edits_[row] = qobject_cast<QLineEdit*>(FindControl(*this, res::kDestinationEdits[row]));
        edits_[row]->setText(
            ToQString(FolderForSearch(settings.destinationFolders[static_cast<std::size_t>(row)])));
        QLineEdit* edit = edits_[row];
        connect(qobject_cast<QPushButton*>(FindControl(*this, res::kDestinationClears[row])),
                &QPushButton::clicked, edit, &QLineEdit::clear);
        connect(qobject_cast<QPushButton*>(FindControl(*this, res::kDestinationBrowses[row])),
                &QPushButton::clicked, this, [this, row] { Browse(row); });
    }
    connect(qobject_cast<QPushButton*>(FindControl(*this, res::kDestinationClearAll)),
            &QPushButton::clicked, this, [this] {
                for (QLineEdit* edit : edits_) {
                    edit->clear();
                }
            });
}

DestinationRows CDestFoldersDlg::Rows() const {
    DestinationRows rows;
    for (int row = 0; row < 8; ++row) {
        rows[static_cast<std::size_t>(row)] = ToUtf8(edits_[row]->text());
    }
    return rows;
}

bool CDestFoldersDlg::Run(AppSettings& settings, Prompter& prompter) {
    while (exec() == QDialog::Accepted) {
        if (StoreAcceptableDestinations(Rows(), settings.destinationFolders, prompter)) {
            return true;
        }
    }
    return false;
}

void CDestFoldersDlg::Browse(int row) {
    CFolderBrowser browser(false, false);
    browser.SetOwner(this);
    QString folder = ToQString(lastBrowsed_);
    if (!browser.Browse(folder, ToQString(res::kBrowseDestinationTitle))) {
        return;
    }
    QLineEdit* edit = edits_[row];
    edit->setText(folder);
    edit->selectAll();
    edit->setFocus();
    lastBrowsed_ = ToUtf8(folder);
}

} // namespace pirela
