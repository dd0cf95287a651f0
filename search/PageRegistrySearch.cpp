// The search page (see PageRegistrySearch.h).
#include "search/PageRegistrySearch.h"

#include "localisation/LanguageWin.h"
#include "resource.h"

namespace {

const AnchorRule kSearchLayout[] = {
    {IDC_SEARCH_START, kAnchorTopRight},
    {IDC_SEARCH_STOP, kAnchorTopRight},
    {IDC_SEARCH_CLEAR, kAnchorTopRight},
    {IDC_SEARCH_DEFAULT, kAnchorTopRight},
    {IDC_SEARCH_KEYWORD, kAnchorTopLeftRight},
    {IDC_SEARCH_RANGE_GROUP, kAnchorTopLeftRight},
    {IDC_STATUS, kAnchorBottomLeftRight},
    {IDC_SEARCH_RESULTS, kAnchorAll},
};

} // namespace

void PageRegistrySearch::OnInitDialog()
{
    TranslateWindow(window_);
    layout_.Attach(window_, kSearchLayout, sizeof kSearchLayout / sizeof kSearchLayout[0]);
}
