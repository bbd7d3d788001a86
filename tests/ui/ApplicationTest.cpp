#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "TestSupport.h"
#include "rtl/Errors.h"
#include "ui/Application.h"
#include "ui/Dispatch.h"
#include "ui/MessageBoxes.h"

namespace {

struct TPeriodCase {
    const char* Message;
    const char* Shown;
};

// The last character decides: above "." (letters, digits, "/", "?", ...) gets a full stop.
const TPeriodCase PeriodCases[] = {
    {"Error", "Error."},
    {"Done.", "Done."},
    {"List index out of bounds (0)", "List index out of bounds (0)"},
    {"Stream read error", "Stream read error."},
    {"Cannot open file \"C:\\a.swf\". The system cannot find the file specified.",
     "Cannot open file \"C:\\a.swf\". The system cannot find the file specified."},
    {"'abc' is not a valid integer value", "'abc' is not a valid integer value."},
    {"Unable to write to C:\\windows\\system.ini", "Unable to write to C:\\windows\\system.ini."},
    {"Invalid data type for 'Desktop'", "Invalid data type for 'Desktop'"},
    {"Version 3", "Version 3."},
    {"C:\\folder/", "C:\\folder/."},
    {"Stop!", "Stop!"},
    {"50%", "50%"},
    {"Trailing blank ", "Trailing blank "},
    {"Caf\xE9", "Caf\xE9."},
    {"", ""},
};

TEST(DefaultExceptionHandler, ShowsTheMessageWithTheStopIconUnderTheTitle) {
    for (const TPeriodCase& c : PeriodCases) {
        TFakeSeams seams;
        const bool completed = ui::Dispatch([&] { throw rtl::Exception(c.Message); });
        EXPECT_FALSE(completed);
        ASSERT_EQ(seams.MessageBoxes.size(), 1u) << c.Message;
        EXPECT_EQ(seams.MessageBoxes[0].Text, c.Shown);
        EXPECT_EQ(seams.MessageBoxes[0].Caption, "Zenvoy Muravel");
        EXPECT_EQ(seams.MessageBoxes[0].Type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    }
}

TEST(DefaultExceptionHandler, CaptionFollowsTheApplicationTitle) {
    TFakeSeams seams;
    ui::Application().SetTitle("Zenvoy Muravel - Blank");
    ui::Dispatch([] { throw rtl::EReadError(); });
    ui::Application().SetTitle("Zenvoy Muravel");
    ASSERT_EQ(seams.MessageBoxes.size(), 1u);
    EXPECT_EQ(seams.MessageBoxes[0].Caption, "Zenvoy Muravel - Blank");
    EXPECT_EQ(seams.MessageBoxes[0].Text, "Stream read error.");
}

TEST(DefaultExceptionHandler, ShowsExceptionsFromOutsideTheRuntimeToo) {
    TFakeSeams seams;
    ui::Dispatch([] { throw std::bad_alloc(); });
    ui::Dispatch([] { throw std::runtime_error("vector too long"); });
    ui::Dispatch([] { throw rtl::FileOpenError("C:\\x.swf", "Access is denied."); });
    ASSERT_EQ(seams.MessageBoxes.size(), 3u);
    EXPECT_EQ(seams.MessageBoxes[0].Text, "Out of memory.");
    EXPECT_EQ(seams.MessageBoxes[1].Text, "vector too long.");
    EXPECT_EQ(seams.MessageBoxes[2].Text, "Cannot open file \"C:\\x.swf\". Access is denied.");
}

TEST(Dispatch, AHandlerThatCompletesShowsNothing) {
    TFakeSeams seams;
    int runs = 0;
    EXPECT_TRUE(ui::Dispatch([&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(seams.MessageBoxes.empty());
}

TEST(Dispatch, AnExceptionEndsTheHandlerAtTheFailingStep) {
    TFakeSeams seams;
    std::vector<int> steps;
    ui::Dispatch([&] {
        steps.push_back(1);
        throw rtl::ECompressionError();
        steps.push_back(2);
    });
    EXPECT_EQ(steps, std::vector<int>{1});
    ASSERT_EQ(seams.MessageBoxes.size(), 1u);
    EXPECT_EQ(seams.MessageBoxes[0].Text, "Error.");
}

TEST(MessageBoxes, InformationPlainAndConfirmCarryTheirCaptionsIconsAndButtons) {
    TFakeSeams seams;
    seams.MessageBoxAnswers = {IDOK, IDOK, IDYES, IDNO};
    ui::ShowInformation("Please assign an ouput file name.");
    ui::ShowPlainMessage("A file name cannot contain any of the following characters:");
    EXPECT_TRUE(ui::Confirm("Do you really want to create a new project?"));
    EXPECT_FALSE(ui::Confirm("Do you really want to create a new project?"));

    ASSERT_EQ(seams.MessageBoxes.size(), 4u);
    EXPECT_EQ(seams.MessageBoxes[0].Caption, "Information");
    EXPECT_EQ(seams.MessageBoxes[0].Type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(seams.MessageBoxes[0].Text, "Please assign an ouput file name.");
    EXPECT_EQ(seams.MessageBoxes[1].Caption, "Zenvoy Muravel");
    EXPECT_EQ(seams.MessageBoxes[1].Type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(seams.MessageBoxes[2].Caption, "Confirm");
    EXPECT_EQ(seams.MessageBoxes[2].Type,
              static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1));
    EXPECT_EQ(seams.MessageBoxes[2].Text, "Do you really want to create a new project?");
}

// The real box, answered from the keyboard.
bool AnswerConfirmWith(UINT key) {
    bool answer = false;
    bool pressed = false;
    WhileModal([&] { answer = ui::Confirm("Do you really want to create a new project?"); },
               "#32770", "Confirm",
               [&](HWND box) {
                   if (box == nullptr || pressed)
                       return pressed;
                   PressKey(key);
                   pressed = true;
                   return true;
               });
    return answer;
}

TEST(MessageBoxes, TheConfirmBoxTakesEnterAsYesAndEscAsNo) {
    EXPECT_TRUE(AnswerConfirmWith(VK_RETURN));
    EXPECT_FALSE(AnswerConfirmWith(VK_ESCAPE));
}

} // namespace
