#include "ui/COFind.h"

#include "folder/ListOrder.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"

#include <iterator>

namespace pirela {

namespace {

// The radio buttons in the values of the setting (ListOrder).
constexpr int kOrderChoices[] = {res::kFindOrderName, res::kFindOrderNatural, res::kFindOrderDate};

} // namespace

COFind::COFind(OptionsContext& context, QWidget* parent)
    : COptionPage(context, res::FindPageTemplate(), parent) {
    // Both boxes enable Apply: a change that leaves Apply grey looks as if it were not taken.
    ModifiesOnClick(res::kFindSubfolders);
    ModifiesOnClick(res::kFindHidden);
    ModifiesOnClick(res::kFindNewFormats);
    for (const int order : kOrderChoices) {
        ModifiesOnClick(order);
    }
}

void COFind::OnInitDialog() {
    SetChecked(res::kFindSubfolders, context_.settings.options.findSubfolder == 1);
    SetChecked(res::kFindHidden, context_.settings.options.findHidden == 1);
    SetChecked(res::kFindNewFormats, context_.settings.options.findNewFormats != 0);
    const auto order = static_cast<std::size_t>(ListOrderFromSetting(context_.settings.options.sortOrder));
    SetChecked(kOrderChoices[order], true);
}

void COFind::OnOK() {
    context_.settings.options.findSubfolder = IsChecked(res::kFindSubfolders) ? 1 : 0;
    context_.settings.options.findHidden = IsChecked(res::kFindHidden) ? 1 : 0;
    context_.settings.options.findNewFormats = IsChecked(res::kFindNewFormats) ? 1 : 0;
    for (std::size_t order = 0; order < std::size(kOrderChoices); ++order) {
        if (IsChecked(kOrderChoices[order])) {
            context_.settings.options.sortOrder = static_cast<int>(order);
        }
    }
}

} // namespace pirela
