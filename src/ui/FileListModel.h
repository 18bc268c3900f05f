#pragma once

#include <QAbstractListModel>

namespace pirela {

class ImageFileList;

// The open folder's names as rows of the file list window, read from the document's list
// itself: a folder of 100,000 photos costs no copy of its names and no widget item per name.
// The list may change only with the model told (Show after a new list or a new order,
// RemoveRow for an entry taken out), so that the view's rows always match it.
class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Shows every name of the list, which must outlive the model or the next Show or Clear.
    void Show(const ImageFileList& list);
    void Clear();
    void RemoveRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const ImageFileList* list_ = nullptr;
    int rows_ = 0;
};

} // namespace pirela
