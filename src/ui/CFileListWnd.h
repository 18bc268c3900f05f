#pragma once

#include <QDialog>

#include <QString>

#include <set>
#include <string>

class QLabel;
class QListView;
class QPushButton;

namespace pirela {

class CPirelaDoc;
class FileListModel;
class FramePlacement;
class DocumentHost;
class ImageFileList;
struct AppSettings;

// The file list window: a small tool window above the main window listing the open folder's
// images in list order, the current one selected and kept in sight; Enter, a double click or
// "表示" shows the selected image, Esc, "隠す" or the close box hides the window. It remembers
// its place and whether it was shown. The rows are a view of the document's list (a folder of
// 100,000 photos lists at once), and names too long for the window lose their middle, never
// their ends.
class CFileListWnd : public QDialog {
    Q_OBJECT
public:
    CFileListWnd(CPirelaDoc& doc, AppSettings& settings, DocumentHost& host, QWidget* mainWindow);

    // The keys that belong to the window's own controls while it is active, not to the
    // program's keys: the list's arrows, Home and End, Enter to show, Esc to hide.
    static const std::set<int>& OwnKeys();

    // Puts the window at its saved rectangle and shows it when it was shown at the last exit.
    void Start();

    bool IsShown() const { return shown_; }
    // Command 32788: shows the window when it is hidden, hides it when it is shown.
    void Toggle();
    void HideWindow();
    // The window's place and visibility into the settings, before they are saved.
    void StoreInSettings() const;

    // What the document asks of the list.
    void Fill(const ImageFileList& list, int selectedRow, const std::string& label);
    void Clear();
    void SelectRow(int row);
    void DeleteRow(int row);

    QListView* List() const { return list_; }
    int RowCount() const;
    // The selected row, or -1.
    int SelectedRow() const;
    // The folder label's whole text (what shows may lose its middle to the window's width).
    QString Label() const { return label_; }

    // Shows the selected row's image; nothing without a selection.
    void ShowSelected();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void LayOut();
    void ShowLabel();

    CPirelaDoc& doc_;
    AppSettings& settings_;
    DocumentHost& host_;
    QString label_;
    QLabel* labelControl_;
    FileListModel* rows_;
    QListView* list_;
    QPushButton* show_;
    FramePlacement* placement_;
    bool shown_ = false;
};

} // namespace pirela
