#pragma once

#include <QDialog>
#include <QString>

namespace pirela {

// The about box: program name, version, and when the program file on disk was last changed.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    const QString& BuildText() const { return buildText_; }

private:
    QString buildText_;
};

} // namespace pirela
