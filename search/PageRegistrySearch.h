// The search page: keyword, options, root keys, the hit list and the status line.
#pragma once

#include "app/Page.h"

class PageRegistrySearch : public Page {
protected:
    void OnInitDialog() override;
};
