#include "ui/Layout.h"

#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/GroupBox.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/PageControl.h"
#include "ui/Panel.h"

namespace ui {

namespace {

std::unique_ptr<TControl> Create(TKind kind, unsigned options, const TControlArgs& args) {
    switch (kind) {
    case TKind::Label:
        return std::make_unique<TLabel>(args);
    case TKind::LinkLabel: {
        auto label = std::make_unique<TLabel>(args);
        label->SetLinkStyle();
        return label;
    }
    case TKind::Edit:
        return std::make_unique<TEdit>(args);
    case TKind::Memo: {
        auto memo =
            std::make_unique<TMemo>(args, (options & loReadOnly) != 0, (options & loNoBorder) == 0);
        if ((options & loButtonFace) != 0)
            memo->SetColor(core::clBtnFace);
        return memo;
    }
    case TKind::CheckBox: {
        auto checkBox = std::make_unique<TCheckBox>(args);
        checkBox->SetChecked((options & loChecked) != 0);
        return checkBox;
    }
    case TKind::Button:
        return std::make_unique<TButton>(args, (options & loDefault) != 0);
    case TKind::ColorSwatch:
        return std::make_unique<TPanel>(args, TBevel::Raised);
    case TKind::Panel:
        return std::make_unique<TPanel>(args, TBevel::Lowered);
    case TKind::GroupBox:
        return std::make_unique<TGroupBox>(args);
    case TKind::PageControl:
        return std::make_unique<TPageControl>(args);
    case TKind::TabSheet: {
        auto* pageControl = dynamic_cast<TPageControl*>(args.Parent);
        if (pageControl == nullptr)
            throw std::logic_error(args.Name + ": the parent of a page must be a page control");
        return std::make_unique<TTabSheet>(args.Name, *pageControl, args.Caption);
    }
    case TKind::Image:
        return std::make_unique<TImage>(args);
    }
    throw std::logic_error(args.Name + ": unknown kind");
}

bool TakesFocus(TKind kind) {
    switch (kind) {
    case TKind::Edit:
    case TKind::Memo:
    case TKind::CheckBox:
    case TKind::Button:
        return true;
    default:
        return false;
    }
}

} // namespace

TControl& TLayoutBuilder::Add(TKind kind, unsigned options, const std::string& name,
                              const std::string& parent, const std::string& caption,
                              const TBounds& bounds, int tabOrder) {
    TControl* parentControl = &form_;
    if (!parent.empty()) {
        const auto found = controls_.find(parent);
        if (found == controls_.end())
            throw std::logic_error(name + ": no parent " + parent + " before it");
        parentControl = found->second;
    }
    if (controls_.count(name) != 0)
        throw std::logic_error(name + " is laid out twice");
    const TControlArgs args{name,
                            parentControl,
                            caption,
                            {form_.Scale(bounds.Left), form_.Scale(bounds.Top),
                             form_.Scale(bounds.Width), form_.Scale(bounds.Height)},
                            TakesFocus(kind) && (options & loNoTabStop) == 0};
    TControl& control = form_.Adopt(Create(kind, options, args));
    if ((options & loBold) != 0) {
        TFont font = DescribeFont(control.FontHandle(), form_.PixelsPerInch());
        font.Bold = true;
        control.SetFont(font);
    }
    controls_[name] = &control;
    if (tabOrder != NoTab && !tabOrders_[parentControl].emplace(tabOrder, &control).second)
        throw std::logic_error(name + ": tab order " + std::to_string(tabOrder) + " is taken in " +
                               parentControl->Name);
    return control;
}

void TLayoutBuilder::Finish() {
    for (const auto& [parent, order] : tabOrders_) {
        HWND previous = HWND_TOP;
        for (const auto& [tabOrder, control] : order) {
            SetWindowPos(control->Handle(), previous, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            previous = control->Handle();
        }
    }
}

void TLayoutBuilder::BindClick(TControl& control, TNotifyEvent handler) {
    if (auto* button = dynamic_cast<TButton*>(&control))
        button->OnClick = std::move(handler);
    else if (auto* checkBox = dynamic_cast<TCheckBox*>(&control))
        checkBox->OnClick = std::move(handler);
    else if (auto* label = dynamic_cast<TLabel*>(&control))
        label->OnClick = std::move(handler);
    else
        throw std::logic_error(control.Name + " has no click event");
}

void TLayoutBuilder::BindKeyPress(TControl& control, TKeyPressEvent handler) {
    auto* edit = dynamic_cast<TCustomEdit*>(&control);
    if (edit == nullptr)
        throw std::logic_error(control.Name + " has no key press event");
    edit->OnKeyPress = std::move(handler);
}

} // namespace ui
