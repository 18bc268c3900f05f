#pragma once

#include "send/ExternalPrograms.h"
#include "settings/AppSettings.h"

#include <QDialog>

class QLineEdit;

namespace pirela {

// The external program dialog: a name and a command (browsable). It checks nothing; the caller
// decides what an answer is worth.
class CProgramEditDlg : public QDialog {
    Q_OBJECT
public:
    CProgramEditDlg(AppSettings& settings, const std::string& caption, QWidget* parent = nullptr);

    void SetProgram(const ExternalProgram& program);
    ExternalProgram Program() const;

private:
    void OnBrowse();

    AppSettings& settings_;
    QLineEdit* name_ = nullptr;
    QLineEdit* command_ = nullptr;
};

} // namespace pirela
