#include <gtest/gtest.h>

#include "TestSupport.h"
#include "ui/Dialogs.h"

namespace {

using namespace std::string_literals;

TEST(DoubleZeroFilter, EndsEveryPartWithAZeroAndTheWholeWithAnother) {
    EXPECT_EQ(ui::DoubleZeroFilter("Zenvoy Muravel Projects|*.zvrk"),
              "Zenvoy Muravel Projects\0*.zvrk\0"s);
    EXPECT_EQ(
        ui::DoubleZeroFilter("All Flash Files|*.swf;*.flv|Flash Movies|*.swf|Flash Videos|*.flv"),
        "All Flash Files\0*.swf;*.flv\0Flash Movies\0*.swf\0Flash Videos\0*.flv\0"s);
    EXPECT_EQ(ui::DoubleZeroFilter(""), "");
    // c_str() supplies the final zero of the pair.
    const std::string filter = ui::DoubleZeroFilter("Executable Files|*.exe");
    EXPECT_EQ(filter.c_str()[filter.size()], '\0');
    EXPECT_EQ(filter[filter.size() - 1], '\0');
}

TEST(FileDialog, HandsItsSettingsToTheSystemAndKeepsTheNameChosenLast) {
    TFakeSeams seams;
    ui::TSaveDialog dialog("SaveDialog", "Executable Files|*.exe", "exe",
                           OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING);
    seams.FileDialogAnswers = {"C:\\out\\wall.exe", std::nullopt, "D:\\second.exe"};

    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, "C:\\out\\wall.exe");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, "C:\\out\\wall.exe");
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, "D:\\second.exe");

    ASSERT_EQ(seams.FileDialogs.size(), 3u);
    const ui::TFileDialogRequest& first = seams.FileDialogs[0];
    EXPECT_TRUE(first.Save);
    EXPECT_EQ(first.Filter, "Executable Files\0*.exe\0"s);
    EXPECT_EQ(first.FilterIndex, 1);
    EXPECT_EQ(first.DefaultExt, "exe");
    EXPECT_EQ(first.FileName, "");
    EXPECT_EQ(first.Flags, static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY |
                                              OFN_ENABLESIZING | OFN_EXPLORER));
    EXPECT_EQ(seams.FileDialogs[1].FileName, "C:\\out\\wall.exe");
    EXPECT_EQ(seams.FileDialogs[2].FileName, "C:\\out\\wall.exe");
}

TEST(FileDialog, AnOpenDialogIsNoSaveDialog) {
    TFakeSeams seams;
    ui::TOpenDialog dialog("OpenDialog", "Flash Movies|*.swf", "", OFN_HIDEREADONLY);
    seams.FileDialogAnswers = {std::nullopt};
    EXPECT_FALSE(dialog.Execute());
    ASSERT_EQ(seams.FileDialogs.size(), 1u);
    EXPECT_FALSE(seams.FileDialogs[0].Save);
    EXPECT_EQ(seams.FileDialogs[0].DefaultExt, "");
}

TEST(ColorDialog, OpensOnTheColoursPresentValueAndReturnsRGB) {
    TFakeSeams seams;
    ui::TColorDialog dialog("ColorDialog", CC_FULLOPEN | CC_ANYCOLOR);
    dialog.Color = core::clBackground;
    seams.ColorDialogAnswers = {std::nullopt, RGB(1, 2, 3)};

    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Color, core::clBackground);
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Color, static_cast<ui::TColor>(RGB(1, 2, 3)));

    ASSERT_EQ(seams.ColorDialogs.size(), 2u);
    EXPECT_EQ(seams.ColorDialogs[0].Color, GetSysColor(COLOR_BACKGROUND));
    EXPECT_EQ(seams.ColorDialogs[0].Flags,
              static_cast<DWORD>(CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT));
}

} // namespace
