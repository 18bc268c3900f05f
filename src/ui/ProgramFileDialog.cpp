#include "ui/ProgramFileDialog.h"

#include "res/ProgramTexts.h"
#include "ui/QtText.h"

#include <QFileDialog>

namespace pirela {

std::optional<std::string> AskForProgramFile(QWidget* owner, const std::string& startFolder) {
    QFileDialog dialog(owner, ToQString(res::kChooseProgramTitle), ToQString(startFolder),
                       ToQString(res::kProgramFilter));
    // Programs here have no extension to filter by; the executable bit says what one is.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(QDir::Executable | QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return ToUtf8(dialog.selectedFiles().constFirst());
}

} // namespace pirela
