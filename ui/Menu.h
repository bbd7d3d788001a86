#pragma once

#include <memory>
#include <vector>

#include "ui/Control.h"

namespace ui {

// An item of the menu bar or of one of its menus; "-" as caption makes a separator.
class TMenuItem : public TComponent {
public:
    TMenuItem(std::string name, std::string caption, UINT command)
        : TComponent(std::move(name)), caption_(std::move(caption)), command_(command) {}

    const std::string& Caption() const { return caption_; }
    bool IsSeparator() const { return caption_ == "-"; }
    // The WM_COMMAND identifier the item sends.
    UINT Command() const { return command_; }

    TNotifyEvent OnClick;
    void Click() {
        if (OnClick)
            OnClick(this);
    }

private:
    std::string caption_;
    UINT command_;
};

// A form's menu bar: menus on the bar, items in the menus.
class TMainMenu : public TComponent {
public:
    explicit TMainMenu(std::string name);

    HMENU Handle() const { return menu_.Get(); }

    // A menu on the bar.
    TMenuItem& AddMenu(std::string name, std::string caption);
    // An item at the end of one of the bar's menus, sending command.
    TMenuItem& AddItem(TMenuItem& menu, std::string name, std::string caption, UINT command);
    TMenuItem* FindCommand(UINT command) const;

private:
    struct TEntry {
        std::unique_ptr<TMenuItem> Item;
        HMENU Popup; // for a menu on the bar; freed with the bar
    };

    sys::TMenuHandle menu_;
    std::vector<TEntry> entries_;
};

} // namespace ui
