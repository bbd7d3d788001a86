#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "system/Handle.h"
#include "system/MessagePump.h"
#include "ui/Application.h"
#include "ui/MainFormUnit.h"
#include "ui/ProductInfo.h"

namespace {

// The program entry's set-up: OLE on the thread, then the application.
class TWindowLayerEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ole_ = std::make_unique<sys::TOleInitialization>();
        ui::Application().Initialize();
        ui::Application().SetTitle(ui::ProductName);
    }
    void TearDown() override { ole_.reset(); }

private:
    std::unique_ptr<sys::TOleInitialization> ole_;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new TWindowLayerEnvironment);

template <class T> std::optional<T> Next(std::deque<std::optional<T>>& answers, const char* what) {
    if (answers.empty()) {
        ADD_FAILURE() << what << " was run with no answer queued";
        return std::nullopt;
    }
    std::optional<T> answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace

TFakeSeams::TFakeSeams() : arguments_(ui::Application().Arguments()) {
    // The test program's own options are no file for a window to open at start-up.
    ui::Application().SetArguments({});
    ui::TSeams& seams = ui::Seams();
    seams.ShowMessageBox = [this](const ui::TMessageBoxRequest& request) {
        MessageBoxes.push_back(request);
        if (MessageBoxAnswers.empty())
            return IDOK;
        const int answer = MessageBoxAnswers.front();
        MessageBoxAnswers.pop_front();
        return answer;
    };
    seams.ExecuteFileDialog = [this](const ui::TFileDialogRequest& request) {
        FileDialogs.push_back(request);
        return Next(FileDialogAnswers, "A file dialog");
    };
    seams.ExecuteColorDialog = [this](const ui::TColorDialogRequest& request) {
        ColorDialogs.push_back(request);
        return Next(ColorDialogAnswers, "The colour dialog");
    };
    seams.ExecuteShell = [this](const ui::TShellRequest& request) {
        ShellRequests.push_back(request);
        return ShellFailure;
    };
    seams.ExecutableFolder = [this] { return ExecutableFolder; };
}

TFakeSeams::~TFakeSeams() {
    ui::Application().SetArguments(arguments_);
    ui::Seams() = ui::PlatformSeams();
}

void Pump() {
    sys::ProcessMessages();
}

bool PumpUntil(const std::function<bool()>& condition) {
    for (int waited = 0; waited < 10000; waited += 20) {
        Pump();
        if (condition())
            return true;
        Sleep(20);
    }
    return false;
}

std::string WinePath(const char* path) {
    std::string windows = "Z:" + std::string(path);
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return windows;
}

void PressKey(UINT key) {
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, key, 1);
    PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
}

namespace {

struct TModalWatch {
    const char* WindowClass;
    const char* Caption;
    const std::function<bool(HWND)>* Step;
    bool Done = false;
    int Ticks = 0;
};

TModalWatch* watch = nullptr;

void CALLBACK ModalTick(HWND, UINT, UINT_PTR, DWORD) {
    if (watch == nullptr || watch->Done)
        return;
    HWND window = FindWindowA(watch->WindowClass, watch->Caption);
    if (window != nullptr && !IsWindowVisible(window))
        window = nullptr;
    if ((*watch->Step)(window))
        watch->Done = true;
    // About ten seconds: far more than any modal window here needs to come and go.
    if (++watch->Ticks > 1000 && window != nullptr) {
        ADD_FAILURE() << "the modal window of class " << watch->WindowClass << " did not close";
        watch->Done = true;
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
}

} // namespace

void WhileModal(const std::function<void()>& start, const char* windowClass, const char* caption,
                const std::function<bool(HWND)>& step) {
    TModalWatch current{windowClass, caption, &step};
    watch = &current;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &ModalTick);
    start();
    KillTimer(nullptr, timer);
    watch = nullptr;
    EXPECT_TRUE(current.Done) << "the modal loop ended before the test was done with it";
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::vector<HWND> ChildrenInZOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

COLORREF PaintedPixel(HWND window, int x, int y) {
    RECT rect;
    GetClientRect(window, &rect);
    sys::TWindowDC screen(window);
    sys::TMemoryDC dc(CreateCompatibleDC(screen.Get()));
    sys::TBitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), rect.right, rect.bottom));
    sys::TSelectObject selected(dc.Get(), bitmap.Get());
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    return GetPixel(dc.Get(), x, y);
}

int InkWidth(HWND window, const std::string& text) {
    sys::TWindowDC dc(window);
    sys::TSelectObject font(dc.Get(),
                            reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
    ABC last{};
    if (!text.empty())
        GetCharABCWidthsA(dc.Get(), static_cast<unsigned char>(text.back()),
                          static_cast<unsigned char>(text.back()), &last);
    return TextExtent(window, text).cx + std::max(0, -last.abcC);
}

SIZE TextExtent(HWND window, const std::string& text) {
    sys::TWindowDC dc(window);
    sys::TSelectObject font(dc.Get(),
                            reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.Get(), &metrics);
    return {size.cx, metrics.tmHeight};
}

std::vector<std::string> VisibleSettings(const ui::TMainForm& form) {
    std::vector<std::string> settings{form.FlashPath, form.OutputPath, form.Caption()};
    for (const auto& row : ui::TMainForm::Layout()) {
        const auto* control = dynamic_cast<const ui::TControl*>(form.FindComponent(row.Name));
        std::string setting = std::string(row.Name) + ":" + control->Caption() +
                              (control->Enabled() ? " enabled" : " disabled");
        if (const auto* checkBox = dynamic_cast<const ui::TCheckBox*>(control))
            setting += checkBox->Checked() ? " checked" : " clear";
        if (const auto* panel = dynamic_cast<const ui::TPanel*>(control))
            setting += " colour " + std::to_string(panel->Color());
        settings.push_back(setting);
    }
    return settings;
}
