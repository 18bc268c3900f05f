#pragma once

#include "ui/COptionPage.h"

#include <QDialog>

#include <array>

class QDialogButtonBox;
class QTabWidget;

namespace pirela {

class COFind;
class COGeneral;
class COSend;

// The options sheet "オプション": the pages 全般, イメージ検索 and ファイルを送る under OK,
// キャンセル and 適用. OK and Apply store the pages that were shown; Apply becomes available
// once a page reports a change.
class COptionPSheet : public QDialog {
    Q_OBJECT
public:
    COptionPSheet(OptionsContext context, QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return tabs_; }
    QDialogButtonBox* Buttons() const { return buttons_; }
    COGeneral& General() const { return *general_; }
    COFind& Find() const { return *find_; }
    COSend& Send() const { return *send_; }

    // Stores every page that was shown, as OK and Apply do.
    void ApplyPages();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnTabShown(int index);
    void OnAccept();
    void EnableApply(bool enabled);

    OptionsContext context_;
    QTabWidget* tabs_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    COGeneral* general_ = nullptr;
    COFind* find_ = nullptr;
    COSend* send_ = nullptr;
    std::array<COptionPage*, 3> pages_{};
};

} // namespace pirela
