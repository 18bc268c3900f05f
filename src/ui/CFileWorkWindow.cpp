#include "ui/CFileWorkWindow.h"

#include "res/Messages.h"
#include "ui/QtText.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace pirela {

CFileWorkWindow::CFileWorkWindow(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      text_(new QLabel(this)) {
    setWindowTitle(ToQString(res::kFileWorkCaption));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* cancel = new QPushButton(ToQString(res::kFileWorkCancel), this);
    cancel->setFocusPolicy(Qt::NoFocus);
    connect(cancel, &QPushButton::clicked, this, &CFileWorkWindow::cancelled);
    auto* layout = new QHBoxLayout(this);
    text_->setMinimumWidth(text_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    layout->addWidget(text_, 1);
    layout->addWidget(cancel);
    adjustSize();
    if (mainWindow != nullptr) {
        const QRect outer = mainWindow->frameGeometry();
        move(outer.center() - QPoint(width() / 2, height() / 2));
    }
}

void CFileWorkWindow::SetText(const QString& text) {
    text_->setText(text);
}

void CFileWorkWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit cancelled();
}

QString CFileWorkWindow::Text() const {
    return text_->text();
}

} // namespace pirela
