#include "ui/CAboutDlg.h"

#include "app/BuildText.h"
#include "res/ResourceIds.h"
#include "ui/DialogBuilder.h"
#include "ui/QtText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>

namespace pirela {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    BuildDialog(*this, res::AboutBoxTemplate());
    const QFileInfo program(QCoreApplication::applicationFilePath());
    // The time of the file on disk, not of the compilation: it tells which copy is running.
    buildText_ = ToQString(FormatBuildText(program.lastModified().toSecsSinceEpoch()));
    if (auto* label = qobject_cast<QLabel*>(FindControl(*this, res::kAboutBuildText))) {
        label->setText(buildText_);
    }
}

} // namespace pirela
