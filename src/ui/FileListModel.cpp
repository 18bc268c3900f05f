#include "ui/FileListModel.h"

#include "folder/ImageFileList.h"
#include "ui/QtText.h"

namespace pirela {

void FileListModel::Show(const ImageFileList& list) {
    beginResetModel();
    list_ = &list;
    rows_ = list.Count();
    endResetModel();
}

void FileListModel::Clear() {
    beginResetModel();
    list_ = nullptr;
    rows_ = 0;
    endResetModel();
}

void FileListModel::RemoveRow(int row) {
    if (row < 0 || row >= rows_) {
        return;
    }
    beginRemoveRows(QModelIndex(), row, row);
    --rows_;
    endRemoveRows();
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (list_ == nullptr || !index.isValid() || index.row() >= rows_) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return ToQString(list_->Name(index.row()));
    }
    return {};
}

} // namespace pirela
