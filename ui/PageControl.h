#pragma once

#include <vector>

#include "ui/Control.h"

namespace ui {

class TTabSheet;

// Tabs over a stack of pages, one page showing at a time.
class TPageControl : public TControl {
public:
    explicit TPageControl(const TControlArgs& args);

    const std::vector<TTabSheet*>& Pages() const { return pages_; }
    TTabSheet* ActivePage() const { return active_; }
    // Brings the page to the front, the focus with it when it was on the page that goes.
    void SetActivePage(TTabSheet* page);
    // The part of the client area below the tabs, where the pages lie.
    RECT DisplayRect() const;

protected:
    bool Notify(const NMHDR& header, LRESULT& result) override;

private:
    friend class TTabSheet;
    void AddPage(TTabSheet& page);

    std::vector<TTabSheet*> pages_;
    TTabSheet* active_ = nullptr;
};

// One page of a page control; the caption is its tab's text.
class TTabSheet : public TControl {
public:
    TTabSheet(const std::string& name, TPageControl& pageControl, const std::string& caption);

    int PageIndex() const;
};

} // namespace ui
