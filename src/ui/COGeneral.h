#pragma once

#include "ui/COptionPage.h"

#include <optional>
#include <string>

class QLineEdit;

namespace pirela {

// The page "全般": Pirela's launcher for the file managers' "Open with" menus, the colour
// around the image, and whether photos are turned upright as their files say.
class COGeneral : public COptionPage {
    Q_OBJECT
public:
    COGeneral(OptionsContext& context, QWidget* parent);

    int WorkingColour() const { return colour_; }
    void ChooseColour();
    void TakeSystemColour();

protected:
    void OnInitDialog() override;
    void OnOK() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnUseBackgroundClicked();
    void OnLauncherClicked();
    void EnableColourControls();
    void EnableNameControls();
    void PaintSwatch();
    void SetColour(int colour);

    int colour_ = 0; // 0x00BBGGRR, as the settings keep it
    std::optional<std::string> launcher_;
    bool nameChanged_ = false;
    QLineEdit* name_ = nullptr;
};

} // namespace pirela
