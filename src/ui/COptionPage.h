#pragma once

#include "app/Launcher.h"
#include "res/DialogTemplates.h"
#include "settings/AppSettings.h"

#include <QDialog>

#include <functional>

namespace pirela {

class DocumentHost;
class Prompter;

// What the option pages work on and through.
struct OptionsContext {
    AppSettings& settings;
    Prompter& prompter;
    DocumentHost& host;
    LauncherPlaces launcher;
};

// One page of the options sheet, built from its dialog template. It reads the settings when it
// is first shown and writes them back only if it was, so a page the user never opened cannot
// overwrite anything.
class COptionPage : public QDialog {
    Q_OBJECT
public:
    COptionPage(OptionsContext& context, const res::DialogTemplate& page, QWidget* parent);

    // Loads the controls from the settings the first time; later calls do nothing.
    void EnsureInitialised();
    // Stores the controls into the settings, if the page was ever shown.
    void Store();
    bool WasShown() const { return initialised_; }

    // Called whenever the user changes something on the page.
    void SetOnModified(std::function<void()> onModified) { onModified_ = std::move(onModified); }

protected:
    // Return and Escape belong to the sheet's buttons; a page never closes itself.
    void keyPressEvent(QKeyEvent* event) override;

    virtual void OnInitDialog() = 0;
    virtual void OnOK() = 0;
    void SetModified();
    QWidget* Control(int id) const;
    bool IsChecked(int id) const;
    void SetChecked(int id, bool checked);
    // Marks the page changed whenever the check box or radio button is clicked.
    void ModifiesOnClick(int id);

    OptionsContext& context_;

private:
    std::function<void()> onModified_;
    bool initialised_ = false;
};

} // namespace pirela
