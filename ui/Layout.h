#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/Menu.h"

namespace ui {

// The kinds of control a layout names.
enum class TKind {
    Label,     // sizes itself to its caption
    LinkLabel, // a label that looks like a web link
    Edit,      // one line
    Memo,      // several lines, wrapping
    CheckBox,
    Button,
    ColorSwatch, // a panel filled with a colour, raised bevel
    Panel,       // a panel holding other controls, lowered bevel
    GroupBox,
    PageControl,
    TabSheet, // a page of the page control that is its parent; fills its display area
    Image,
};

// What qualifies a kind, or-ed together.
enum TLayoutOption : unsigned {
    loNone = 0,
    loReadOnly = 1u << 0,   // memo
    loChecked = 1u << 1,    // check box, checked at start
    loDefault = 1u << 2,    // button, the one Enter presses
    loBold = 1u << 3,       // bold variant of the form's font
    loNoBorder = 1u << 4,   // memo
    loButtonFace = 1u << 5, // memo, the dialog colour in place of the window colour
    loNoTabStop = 1u << 6,  // a control Tab would otherwise stop at
};

// No place in the tab order: labels, pictures.
constexpr int NoTab = -1;

// An event handler of a form, as a row names it: a click (or timer) handler or a key filter.
template <class Form> struct THandler {
    using Notify = void (Form::*)(TComponent* Sender);
    using KeyPress = void (Form::*)(TComponent* Sender, char& Key);

    constexpr THandler() = default;
    constexpr THandler(Notify notify) : OnNotify(notify) {}
    constexpr THandler(KeyPress keyPress) : OnKeyPress(keyPress) {}

    Notify OnNotify = nullptr;
    KeyPress OnKeyPress = nullptr;
};

// Stores a component made from a row in its member of the form.
template <class Form> using TSlot = void (*)(Form& form, TComponent& component);

template <class Member> struct TMemberOf;
template <class Form, class Component> struct TMemberOf<Component * Form::*> {
    using FormType = Form;
    using ComponentType = Component;
};

// The slot of one member: Keep<&TMainForm::TitleEdit>. A member of another kind than the row's
// is a mistake in the layout and raises std::logic_error.
template <auto Member>
void Keep(typename TMemberOf<decltype(Member)>::FormType& form, TComponent& component) {
    using Component = typename TMemberOf<decltype(Member)>::ComponentType;
    auto* typed = dynamic_cast<Component*>(&component);
    if (typed == nullptr)
        throw std::logic_error(component.Name + " is not of the kind its member holds");
    form.*Member = typed;
}

// One control of a form: the columns of a component table. Bounds are at 96 pixels per inch,
// relative to the parent; a label's width and height follow its caption. The tab order counts
// within the parent.
template <class Form> struct TLayoutRow {
    const char* Name;
    TSlot<Form> Slot;
    TKind Kind;
    unsigned Options;
    const char* Parent; // "" for the form itself
    const char* Caption;
    int Left;
    int Top;
    int Width;
    int Height;
    int TabOrder;
    THandler<Form> Handler;
};

// One item of a menu bar; Parent "" puts a menu on the bar itself.
template <class Form> struct TMenuRow {
    const char* Name;
    TSlot<Form> Slot;
    const char* Parent;
    const char* Caption;
    typename THandler<Form>::Notify Handler;
};

// A static table, walked as a range.
template <class Row> struct TTable {
    const Row* First;
    std::size_t Count;
    const Row* begin() const { return First; }
    const Row* end() const { return First + Count; }
};

template <class Row, std::size_t N> constexpr TTable<Row> Table(const Row (&rows)[N]) {
    return {rows, N};
}

// The command of the menu row at index: the same from run to run.
constexpr UINT MenuCommand(std::size_t index) {
    return 1000 + static_cast<UINT>(index);
}

// Makes the controls of a layout, row by row, in the form; parents come before their children.
class TLayoutBuilder {
public:
    explicit TLayoutBuilder(TForm& form) : form_(form) {}

    TControl& Add(TKind kind, unsigned options, const std::string& name, const std::string& parent,
                  const std::string& caption, const TBounds& bounds, int tabOrder);
    // Puts the siblings of each parent into their tab order: Tab follows the z-order.
    void Finish();

    static void BindClick(TControl& control, TNotifyEvent handler);
    static void BindKeyPress(TControl& control, TKeyPressEvent handler);

private:
    TForm& form_;
    std::map<std::string, TControl*> controls_;
    std::map<TControl*, std::map<int, TControl*>> tabOrders_;
};

template <class Form> void BuildLayout(Form& form, TTable<TLayoutRow<Form>> rows) {
    TLayoutBuilder builder(form);
    for (const TLayoutRow<Form>& row : rows) {
        TControl& control = builder.Add(row.Kind, row.Options, row.Name, row.Parent, row.Caption,
                                        {row.Left, row.Top, row.Width, row.Height}, row.TabOrder);
        if (const auto notify = row.Handler.OnNotify)
            TLayoutBuilder::BindClick(
                control, [&form, notify](TComponent* sender) { (form.*notify)(sender); });
        if (const auto keyPress = row.Handler.OnKeyPress)
            TLayoutBuilder::BindKeyPress(control, [&form, keyPress](TComponent* sender, char& key) {
                (form.*keyPress)(sender, key);
            });
        row.Slot(form, control);
    }
    builder.Finish();
}

// Makes the menu bar of a menu table and attaches it to the form.
template <class Form>
TMainMenu& BuildMenu(Form& form, const char* name, TTable<TMenuRow<Form>> rows) {
    auto menu = std::make_unique<TMainMenu>(name);
    std::map<std::string, TMenuItem*> menus;
    std::size_t index = 0;
    for (const TMenuRow<Form>& row : rows) {
        TMenuItem* item = nullptr;
        if (*row.Parent == '\0') {
            item = &menu->AddMenu(row.Name, row.Caption);
            menus[row.Name] = item;
        } else {
            const auto parent = menus.find(row.Parent);
            if (parent == menus.end())
                throw std::logic_error(std::string(row.Name) + ": no menu " + row.Parent +
                                       " before it");
            item = &menu->AddItem(*parent->second, row.Name, row.Caption, MenuCommand(index));
        }
        if (const auto handler = row.Handler)
            item->OnClick = [&form, handler](TComponent* sender) { (form.*handler)(sender); };
        row.Slot(form, *item);
        ++index;
    }
    TMainMenu& kept = *menu;
    form.SetMenu(std::move(menu));
    return kept;
}

} // namespace ui
