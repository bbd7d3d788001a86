#pragma once

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "ui/Layout.h"
#include "ui/PageControl.h"
#include "ui/Panel.h"

// Checks that the live window of a layout row is of the row's kind, says what the row says and
// lies where the row puts it, read back from the window itself.
template <class Form> void ExpectLaidOut(const Form& form, const ui::TLayoutRow<Form>& row) {
    SCOPED_TRACE(row.Name);
    auto* control = dynamic_cast<ui::TControl*>(form.FindComponent(row.Name));
    ASSERT_NE(control, nullptr);
    HWND window = control->Handle();
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);

    HWND parent = form.Handle();
    if (*row.Parent != '\0')
        parent = dynamic_cast<ui::TControl*>(form.FindComponent(row.Parent))->Handle();
    EXPECT_EQ(GetParent(window), parent);

    const std::string windowClass = ClassOf(window);
    auto expectClass = [&](const char* expected) {
        EXPECT_EQ(_stricmp(windowClass.c_str(), expected), 0) << windowClass;
    };
    bool takesFocus = false;
    switch (row.Kind) {
    case ui::TKind::Label:
    case ui::TKind::LinkLabel:
        expectClass("Static");
        break;
    case ui::TKind::Edit:
        expectClass("Edit");
        EXPECT_EQ(style & ES_MULTILINE, 0);
        EXPECT_NE(exStyle & WS_EX_CLIENTEDGE, 0);
        takesFocus = true;
        break;
    case ui::TKind::Memo:
        expectClass("Edit");
        EXPECT_NE(style & ES_MULTILINE, 0);
        EXPECT_NE(style & ES_WANTRETURN, 0);
        EXPECT_EQ((style & ES_READONLY) != 0, (row.Options & ui::loReadOnly) != 0);
        EXPECT_EQ((exStyle & WS_EX_CLIENTEDGE) == 0, (row.Options & ui::loNoBorder) != 0);
        takesFocus = true;
        break;
    case ui::TKind::CheckBox:
        expectClass("Button");
        EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
        EXPECT_EQ(SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED,
                  (row.Options & ui::loChecked) != 0);
        takesFocus = true;
        break;
    case ui::TKind::Button:
        expectClass("Button");
        EXPECT_EQ(style & BS_TYPEMASK,
                  (row.Options & ui::loDefault) != 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        takesFocus = true;
        break;
    case ui::TKind::ColorSwatch:
    case ui::TKind::Panel:
        expectClass("TPanel");
        EXPECT_EQ(dynamic_cast<ui::TPanel*>(control)->Bevel(),
                  row.Kind == ui::TKind::ColorSwatch ? ui::TBevel::Raised : ui::TBevel::Lowered);
        break;
    case ui::TKind::GroupBox:
        expectClass("Button");
        EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
        break;
    case ui::TKind::PageControl:
        expectClass("SysTabControl32");
        break;
    case ui::TKind::TabSheet:
        expectClass("TTabSheet");
        break;
    case ui::TKind::Image:
        expectClass("TImage");
        break;
    }
    EXPECT_EQ((style & WS_TABSTOP) != 0, takesFocus && (row.Options & ui::loNoTabStop) == 0);
    EXPECT_EQ(TextOf(window), row.Caption);

    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    if (row.Kind == ui::TKind::Button) {
        EXPECT_EQ(font.lfWeight, (row.Options & ui::loBold) != 0 ? FW_BOLD : FW_NORMAL);
    }

    const ui::TBounds bounds = control->Bounds();
    auto scale = [&](int pixels) { return form.Scale(pixels); };
    if (row.Kind == ui::TKind::TabSheet) {
        const RECT display =
            dynamic_cast<const ui::TPageControl*>(control->Parent())->DisplayRect();
        EXPECT_EQ(bounds.Left, display.left);
        EXPECT_EQ(bounds.Top, display.top);
        EXPECT_EQ(bounds.Width, display.right - display.left);
        EXPECT_EQ(bounds.Height, display.bottom - display.top);
        return;
    }
    EXPECT_EQ(bounds.Left, scale(row.Left));
    EXPECT_EQ(bounds.Top, scale(row.Top));
    if (row.Kind == ui::TKind::Label || row.Kind == ui::TKind::LinkLabel) {
        const SIZE text = TextExtent(window, row.Caption);
        EXPECT_EQ(bounds.Width, InkWidth(window, row.Caption));
        EXPECT_EQ(bounds.Height, text.cy);
    } else {
        EXPECT_EQ(bounds.Width, scale(row.Width));
        EXPECT_EQ(bounds.Height, scale(row.Height));
    }
}

// Checks that the siblings in every parent lie in the z-order of their tab order, those in the
// tab order above those without one, so Tab goes the row's way.
template <class Form> void ExpectTabOrder(const Form& form, ui::TTable<ui::TLayoutRow<Form>> rows) {
    std::map<std::string, std::map<int, HWND>> ordered;
    std::map<std::string, std::vector<HWND>> unordered;
    for (const ui::TLayoutRow<Form>& row : rows) {
        HWND window = dynamic_cast<ui::TControl*>(form.FindComponent(row.Name))->Handle();
        if (row.TabOrder == ui::NoTab)
            unordered[row.Parent].push_back(window);
        else
            ordered[row.Parent][row.TabOrder] = window;
    }
    for (const auto& [parentName, byTab] : ordered) {
        SCOPED_TRACE(parentName.empty() ? "the form" : parentName);
        HWND parent = parentName.empty()
                          ? form.Handle()
                          : dynamic_cast<ui::TControl*>(form.FindComponent(parentName))->Handle();
        std::vector<HWND> expected;
        int next = 0;
        for (const auto& [tabOrder, window] : byTab) {
            EXPECT_EQ(tabOrder, next++) << "the tab orders of a parent count from 0 without gaps";
            expected.push_back(window);
        }
        const std::vector<HWND> children = ChildrenInZOrder(parent);
        ASSERT_GE(children.size(), expected.size());
        EXPECT_EQ(std::vector<HWND>(children.begin(), children.begin() + expected.size()),
                  expected);
        EXPECT_EQ(children.size(), expected.size() + unordered[parentName].size());
    }
}
