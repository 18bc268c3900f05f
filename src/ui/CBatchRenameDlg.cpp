#include "ui/CBatchRenameDlg.h"

#include "app/CPirelaDoc.h"
#include "common/PathRules.h"
#include "host/FileWork.h"
#include "host/Prompter.h"
#include "rename/BatchRename.h"
#include "res/DialogTemplates.h"
#include "res/Messages.h"
#include "res/ResourceIds.h"
#include "ui/DialogBuilder.h"
#include "ui/QtText.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace pirela {

namespace {

QString ShownPath(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

} // namespace

CBatchRenameDlg::CBatchRenameDlg(CPirelaDoc& doc, Prompter& prompter, FileWork& fileWork,
                                 QWidget* parent)
    : QDialog(parent), doc_(doc), prompter_(prompter), fileWork_(fileWork),
      log_(doc.Operations()), folder_(doc.FileList().Folder()), order_(doc.ChosenOrder()),
      dates_(doc.TakenCache()) {
    if (const std::optional<FileOperation>& latest = doc.LatestOperation()) {
        followed_ = latest->id;
    }
    BuildDialog(*this, res::BatchRenameTemplate());
    // Display only: the list is filled in the rename's order, never re-sorted by the widget.
    FileList()->setSelectionMode(QAbstractItemView::NoSelection);
    for (const int id : {res::kBatchBitmaps, res::kBatchJpeg, res::kBatchPng, res::kBatchOther}) {
        CheckBox(id)->setChecked(true);
    }
    Edit(res::kBatchFolder)->setText(ShownPath(folder_));
    FillFileList();
    ConnectControls();
}

void CBatchRenameDlg::ConnectControls() {
    for (const int id : {res::kBatchBitmaps, res::kBatchJpeg, res::kBatchPng, res::kBatchOther}) {
        connect(CheckBox(id), &QCheckBox::clicked, this, [this] { FillFileList(); });
    }
    connect(CheckBox(res::kBatchAutoDigits), &QCheckBox::clicked, this, [this] { OnAutoDigits(); });
    const auto button = [this](int id) { return qobject_cast<QPushButton*>(FindControl(*this, id)); };
    connect(button(res::kBatchChangeFolder), &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(button(res::kBatchRun), &QPushButton::clicked, this, [this] { OnRun(); });
}

void CBatchRenameDlg::FillFileList() {
    // Beside the window: a folder of many photos in the date-taken order has dates to read.
    const BatchRenameSettings settings = Settings();
    ShowFiles(AskTheDisk(fileWork_, [&] {
        return ListBatchRenameFiles(WithoutTrailingSeparator(folder_), settings.formats,
                                    settings.order, settings.dates);
    }));
}

void CBatchRenameDlg::ShowFiles(const std::vector<std::string>& names) {
    QStringList rows;
    rows.reserve(qsizetype(names.size()));
    for (const std::string& name : names) {
        rows.push_back(ToQString(name));
    }
    QListWidget* list = FileList();
    list->clear();
    list->addItems(rows);
}

void CBatchRenameDlg::OnAutoDigits() {
    Edit(res::kBatchDigits)->setEnabled(!CheckBox(res::kBatchAutoDigits)->isChecked());
}

void CBatchRenameDlg::OnBrowse() {
    const std::optional<std::string> chosen = prompter_.AskFolder(folder_, res::kBatchBrowseTitle);
    if (!chosen) {
        return;
    }
    folder_ = *chosen;
    Edit(res::kBatchFolder)->setText(ShownPath(folder_));
    FillFileList();
}

void CBatchRenameDlg::OnRun() {
    const BatchRename run(prompter_, fileWork_, log_);
    if (run.Run(Settings(), std::size_t(FileList()->count()),
                [this](const std::vector<std::string>& names) { ShowFiles(names); })) {
        renameDone_ = true;
        FollowTheRun();
    }
}

void CBatchRenameDlg::FollowTheRun() {
    // The run is the newest operation of the journal, unless it renamed nothing.
    const std::optional<FileOperation>& latest = doc_.LatestOperation();
    if (latest && latest->id != followed_ && latest->kind == operation::kRename) {
        followed_ = latest->id;
        doc_.FollowRename(*latest, false);
    }
}

BatchRenameSettings CBatchRenameDlg::Settings() const {
    BatchRenameSettings settings;
    settings.folder = folder_;
    settings.formats = Formats();
    settings.prefix = ToUtf8(Edit(res::kBatchPrefix)->text());
    settings.autoDigits = CheckBox(res::kBatchAutoDigits)->isChecked();
    settings.digits = ToUtf8(Edit(res::kBatchDigits)->text());
    settings.start = ToUtf8(Edit(res::kBatchStart)->text());
    settings.order = order_;
    settings.dates = &dates_;
    return settings;
}

ImageFormatChoice CBatchRenameDlg::Formats() const {
    return {CheckBox(res::kBatchBitmaps)->isChecked(), CheckBox(res::kBatchJpeg)->isChecked(),
            CheckBox(res::kBatchPng)->isChecked(), CheckBox(res::kBatchOther)->isChecked()};
}

QLineEdit* CBatchRenameDlg::Edit(int id) const {
    return qobject_cast<QLineEdit*>(FindControl(*this, id));
}

QCheckBox* CBatchRenameDlg::CheckBox(int id) const {
    return qobject_cast<QCheckBox*>(FindControl(*this, id));
}

QListWidget* CBatchRenameDlg::FileList() const {
    return qobject_cast<QListWidget*>(FindControl(*this, res::kBatchFiles));
}

} // namespace pirela
