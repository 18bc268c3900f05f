#pragma once

#include "rename/BatchRenameSettings.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace pirela {

class CPirelaDoc;
class FileWork;
class OperationLog;
class Prompter;

// The batch rename dialog (template 147): the folder (the open folder at first, changed only by
// browsing), the image files it holds in the chosen formats, the new names' prefix, digit count
// and first serial, and the button that runs the rename. Runs can be repeated; the dialog
// remembers whether any got past its confirmation, so that the caller re-reads the folder.
// Enter does nothing here, Esc closes.
class CBatchRenameDlg : public QDialog {
    Q_OBJECT
public:
    // The rename is recorded in the document's journal.
    CBatchRenameDlg(CPirelaDoc& doc, Prompter& prompter, FileWork& fileWork,
                    QWidget* parent = nullptr);

    bool RenameDone() const { return renameDone_; }

    // Puts the names in the list as they are given: they come sorted, and the widget's own
    // sorting (several times slower for thousands of names) stays off.
    void ShowFiles(const std::vector<std::string>& names);

private:
    void ConnectControls();
    void FillFileList();
    void OnAutoDigits();
    void OnBrowse();
    void OnRun();
    // The image shown follows a run to its new name.
    void FollowTheRun();
    BatchRenameSettings Settings() const;
    ImageFormatChoice Formats() const;
    QLineEdit* Edit(int id) const;
    QCheckBox* CheckBox(int id) const;
    QListWidget* FileList() const;

    CPirelaDoc& doc_;
    Prompter& prompter_;
    FileWork& fileWork_;
    OperationLog& log_;
    std::string folder_; // as bytes: a name that is not UTF-8 is only shown, never changed
    ListOrder order_;       // the file list's: the files are numbered in it
    DateTakenCache& dates_; // the document's dates taken, read once for the whole run
    bool renameDone_ = false;
    std::string followed_; // the id of the newest operation the image has followed (or not)
};

} // namespace pirela
