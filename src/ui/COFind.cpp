#include "ui/COFind.h"

#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"

namespace pirela {

COFind::COFind(OptionsContext& context, QWidget* parent)
    : COptionPage(context, res::FindPageTemplate(), parent) {
    // Both boxes enable Apply: a change that leaves Apply grey looks as if it were not taken.
    ModifiesOnClick(res::kFindSubfolders);
    ModifiesOnClick(res::kFindHidden);
    ModifiesOnClick(res::kFindNewFormats);
}

void COFind::OnInitDialog() {
    SetChecked(res::kFindSubfolders, context_.settings.options.findSubfolder == 1);
    SetChecked(res::kFindHidden, context_.settings.options.findHidden == 1);
    SetChecked(res::kFindNewFormats, context_.settings.options.findNewFormats != 0);
}

void COFind::OnOK() {
    context_.settings.options.findSubfolder = IsChecked(res::kFindSubfolders) ? 1 : 0;
    context_.settings.options.findHidden = IsChecked(res::kFindHidden) ? 1 : 0;
    context_.settings.options.findNewFormats = IsChecked(res::kFindNewFormats) ? 1 : 0;
}

} // namespace pirela
