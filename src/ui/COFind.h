#pragma once

#include "ui/COptionPage.h"

namespace pirela {

// The page "イメージ検索": whether a folder's subfolders and hidden files are searched, whether
// the camera roll's formats are listed besides BMP, JPEG and PNG, and the order of the list.
class COFind : public COptionPage {
    Q_OBJECT
public:
    COFind(OptionsContext& context, QWidget* parent);

protected:
    void OnInitDialog() override;
    void OnOK() override;
};

} // namespace pirela
