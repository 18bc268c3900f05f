#include "ui/COptionPage.h"

#include "ui/DialogBuilder.h"

#include <QAbstractButton>

namespace pirela {

COptionPage::COptionPage(OptionsContext& context, const res::DialogTemplate& page,
                         QWidget* parent)
    : QDialog(parent), context_(context) {
    BuildDialog(*this, page);
    setWindowFlags(Qt::Widget); // a tab of the sheet, not a window of its own
}

void COptionPage::keyPressEvent(QKeyEvent* event) {
    QWidget::keyPressEvent(event); // ignored here, so the sheet gets it
}

void COptionPage::EnsureInitialised() {
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
}

void COptionPage::Store() {
    if (initialised_) {
        OnOK();
    }
}

void COptionPage::SetModified() {
    if (onModified_) {
        onModified_();
    }
}

QWidget* COptionPage::Control(int id) const {
    return FindControl(*this, id);
}

bool COptionPage::IsChecked(int id) const {
    return qobject_cast<QAbstractButton*>(Control(id))->isChecked();
}

void COptionPage::SetChecked(int id, bool checked) {
    qobject_cast<QAbstractButton*>(Control(id))->setChecked(checked);
}

void COptionPage::ModifiesOnClick(int id) {
    connect(qobject_cast<QAbstractButton*>(Control(id)), &QAbstractButton::clicked, this,
            &COptionPage::SetModified);
}

} // namespace pirela
