#include "ui/AboutFormUnit.h"

#include "ui/ProductInfo.h"
#include "ui/Shell.h"

namespace ui {

namespace {

using K = TKind;
using F = TAboutForm;

const char* const Warning =
    "Warning: this program is protected by copyright law. Copying it or passing it on, in "
    "whole or in part, without the maker's written permission is not allowed and may be "
    "prosecuted.";

// clang-format off
const TLayoutRow<F> LayoutRows[] = {
    // Name, member, kind, options, parent, caption, left, top, width, height, tab, handler
    {"Image", Keep<&F::Image>, K::Image, loNone, "", "", 8, 8, 64, 64, NoTab, {}},
    {"NameLabel", Keep<&F::NameLabel>, K::Label, loNone, "", "Zenvoy Muravel", 86, 8, 0, 0, NoTab, {}},
    {"VersionLabel", Keep<&F::VersionLabel>, K::Label, loNone, "", "Version " MURAVEL_VERSION_TEXT, 86, 33, 0, 0, NoTab, {}},
    {"URLLabel", Keep<&F::URLLabel>, K::LinkLabel, loNone, "", MakerAddress, 86, 52, 0, 0, NoTab, &F::URLLabelClick},
    {"CopyrightLabel", Keep<&F::CopyrightLabel>, K::Label, loNone, "", "Copyright (C) 2024 Zenvoy. All rights reserved.", 8, 115, 0, 0, NoTab, {}},
    {"WarningMemo", Keep<&F::WarningMemo>, K::Memo, loReadOnly | loNoBorder | loButtonFace | loNoTabStop, "", Warning, 8, 144, 338, 73, 1, {}},
    {"OKBtn", Keep<&F::OKBtn>, K::Button, loDefault, "", "OK", 140, 241, 75, 25, 0, &F::OKBtnClick},
};
// clang-format on

} // namespace

const TFormDescription TAboutForm::Description{"TAboutForm",
                                               "About",
                                               TBorderStyle::Dialog,
                                               TPosition::OwnerFormCenter,
                                               0,
                                               0,
                                               354,
                                               274,
                                               TFont{"Tahoma", 11, false, false},
                                               0};

TTable<TLayoutRow<TAboutForm>> TAboutForm::Layout() {
    return Table(LayoutRows);
}

TAboutForm::TAboutForm(TForm& owner) : TForm(Description, &owner) {
    BuildLayout(*this, Layout());
    NameLabel->SetFont(TFont{"Tahoma", 16, true, false});
    Image->SetIcon(IDI_MURAVEL);
}

void TAboutForm::OKBtnClick(TComponent*) {
    Close();
}

void TAboutForm::URLLabelClick(TComponent*) {
    ExecuteShell(Handle(), std::string("open"), MakerAddress, SW_SHOWNORMAL);
}

} // namespace ui
