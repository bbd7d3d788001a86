#include "ui/PageControl.h"

#include <commctrl.h>

#include <algorithm>

namespace ui {

TPageControl::TPageControl(const TControlArgs& args) : TControl(args.Name, args.Parent) {
    // A control parent, so Tab goes on into the showing page's controls; it is no stop itself.
    CreateSystemWindow(WC_TABCONTROLA, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, args);
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page == active_)
        return;
    TTabSheet* previous = active_;
    active_ = page;
    SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(page->PageIndex()), 0);
    page->SetVisible(true);
    if (previous != nullptr) {
        HWND focus = GetFocus();
        const bool hadFocus = focus != nullptr && IsChild(previous->Handle(), focus);
        previous->SetVisible(false);
        if (hadFocus)
            SetFocus();
    }
}

RECT TPageControl::DisplayRect() const {
    RECT rect;
    GetClientRect(Handle(), &rect);
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

bool TPageControl::Notify(const NMHDR& header, LRESULT& result) {
    if (header.code != TCN_SELCHANGE)
        return false;
    const auto index = static_cast<size_t>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
    if (index < pages_.size())
        SetActivePage(pages_[index]);
    result = 0;
    return true;
}

void TPageControl::AddPage(TTabSheet& page) {
    std::string caption = page.Caption();
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = &caption[0];
    SendMessageA(Handle(), TCM_INSERTITEMA, pages_.size(), reinterpret_cast<LPARAM>(&item));
    pages_.push_back(&page);
    // The tabs' height is known only now that one is there.
    const RECT display = DisplayRect();
    for (TTabSheet* each : pages_)
        each->SetBounds({display.left, display.top, display.right - display.left,
                         display.bottom - display.top});
    if (active_ == nullptr)
        SetActivePage(&page);
}

TTabSheet::TTabSheet(const std::string& name, TPageControl& pageControl, const std::string& caption)
    : TControl(name, &pageControl) {
    RegisterWindowClass("TTabSheet", GetSysColorBrush(COLOR_BTNFACE));
    CreateOwnWindow("TTabSheet", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                    {name, &pageControl, caption, {}, false}, nullptr);
    pageControl.AddPage(*this);
}

int TTabSheet::PageIndex() const {
    const auto& pages = static_cast<TPageControl*>(Parent())->Pages();
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

} // namespace ui
