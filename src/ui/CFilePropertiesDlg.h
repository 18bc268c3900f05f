#pragma once

#include "image/ImageInfo.h"

#include <QDialog>

#include <string>

namespace pirela {

// The file properties dialog (131): name, folder, size, modification time, the desktop's type
// name and icon of the file, and the image's size and depth as loaded. Read-only; one OK.
class CFilePropertiesDlg : public QDialog {
    Q_OBJECT
public:
    CFilePropertiesDlg(const std::string& path, const ImageInfo& info, QWidget* parent = nullptr);
};

} // namespace pirela
