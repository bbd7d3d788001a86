#include "ui/Menu.h"

#include <stdexcept>

namespace ui {

TMainMenu::TMainMenu(std::string name) : TComponent(std::move(name)), menu_(CreateMenu()) {}

TMenuItem& TMainMenu::AddMenu(std::string name, std::string caption) {
    HMENU popup = CreatePopupMenu();
    AppendMenuA(menu_.Get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                caption.c_str());
    entries_.push_back(
        {std::make_unique<TMenuItem>(std::move(name), std::move(caption), 0), popup});
    return *entries_.back().Item;
}

TMenuItem& TMainMenu::AddItem(TMenuItem& menu, std::string name, std::string caption,
                              UINT command) {
    HMENU popup = nullptr;
    for (const TEntry& entry : entries_)
        if (entry.Item.get() == &menu)
            popup = entry.Popup;
    if (popup == nullptr)
        throw std::logic_error(name + ": " + menu.Name + " is not a menu of the bar");
    auto item = std::make_unique<TMenuItem>(std::move(name), std::move(caption), command);
    if (item->IsSeparator())
        AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    else
        AppendMenuA(popup, MF_STRING, command, item->Caption().c_str());
    entries_.push_back({std::move(item), nullptr});
    return *entries_.back().Item;
}

TMenuItem* TMainMenu::FindCommand(UINT command) const {
    for (const TEntry& entry : entries_)
        if (entry.Popup == nullptr && !entry.Item->IsSeparator() &&
            entry.Item->Command() == command)
            return entry.Item.get();
    return nullptr;
}

} // namespace ui
