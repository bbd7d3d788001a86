#include "ui/FlashPreview.h"

#include "core/Colors.h"
#include "core/MovieInfoUnit.h"
#include "rtl/CodePage.h"
#include "rtl/Paths.h"
#include "system/Handle.h"

namespace ui {

namespace {

const char* const PreviewClassName = "MuravelFlashPreview";

// The control's colours are 0xRRGGBB, and -1 leaves the movie's own.
COLORREF PanelColor(int32_t color, const std::optional<core::TColor>& own) {
    if (color == -1)
        return static_cast<COLORREF>(own.value_or(core::clWhite));
    return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

} // namespace

std::unique_ptr<TShockwaveFlash> CreateFlashPlayer(HWND parent, const TBounds& bounds) {
    std::string note;
    if (std::unique_ptr<TShockwaveFlash> host = TShockwaveFlash::CreateHost(parent, bounds, note))
        return host;
    return std::make_unique<TFlashPreview>(parent, bounds, std::move(note));
}

TFlashPreview::TFlashPreview(HWND parent, const TBounds& bounds, std::string note)
    : note_(std::move(note)) {
    RegisterWindowClass(PreviewClassName, nullptr);
    CreatePanel(PreviewClassName, parent, bounds);
    ShowFile("");
}

void TFlashPreview::SetPlayNote(std::string line) {
    if (line == playNote_)
        return;
    playNote_ = std::move(line);
    ShowText();
}

void TFlashPreview::PutBackgroundColor(int32_t color) {
    backgroundColor_ = color;
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TFlashPreview::PutMovie(const std::string& path) {
    ShowFile(path);
}

void TFlashPreview::SetVariable(const std::string& name, const std::string& value) {
    // A movie ignores variables it does not read; the preview reads only the video's path.
    if (name == "FLVPath")
        ShowFile(value);
}

bool TFlashPreview::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    return HandleOwnPaint(message, wParam, result, [this](HDC dc) { Paint(dc); });
}

void TFlashPreview::ShowFile(const std::string& path) {
    fileName_ = rtl::ExtractFileName(path);
    ownColor_.reset();
    if (path.empty()) {
        summary_.clear();
    } else {
        const core::TMovieInfo info = core::TMovieInfo::Read(path);
        ownColor_ = info.OwnBackground();
        const std::string warning = info.Warning();
        summary_ = info.Summary() + (warning.empty() ? "" : "\r\n" + warning);
    }
    ShowText();
}

void TFlashPreview::ShowText() {
    const std::string note = Note();
    const std::string all =
        fileName_.empty() ? note : fileName_ + "\r\n" + summary_ + "\r\n" + note;
    SetWindowTextA(Handle(), all.c_str());
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TFlashPreview::Paint(HDC dc) const {
    RECT client;
    GetClientRect(Handle(), &client);
    const COLORREF background = PanelColor(backgroundColor_, ownColor_);
    const sys::TBrushHandle brush(CreateSolidBrush(background));
    FillRect(dc, &client, static_cast<HBRUSH>(brush.Get()));
    const std::string note = Note();
    if (summary_.empty() && note.empty())
        return;

    const HGDIOBJ regular = GetStockObject(DEFAULT_GUI_FONT);
    LOGFONTA bold;
    GetObjectA(regular, sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    const sys::TFontHandle boldFont(CreateFontIndirectA(&bold));
    const HGDIOBJ oldFont = SelectObject(dc, regular);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, core::IsDark(background) ? RGB(240, 240, 240) : RGB(16, 16, 16));
    constexpr int Margin = 16;
    constexpr int Gap = 6;
    const LONG left = client.left + Margin;
    const LONG right = client.right - Margin;
    const UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    auto height = [&](const std::string& text) {
        RECT box = {left, 0, right, 0};
        DrawTextW(dc, rtl::NativeToWide(text).c_str(), -1, &box, format | DT_CALCRECT);
        return box.bottom;
    };
    auto draw = [&](const std::string& text, LONG top, LONG bottom) {
        RECT box = {left, top, right, bottom};
        DrawTextW(dc, rtl::NativeToWide(text).c_str(), -1, &box, format);
    };

    const LONG noteHeight = height(note);
    draw(note, client.bottom - Margin - noteHeight, client.bottom - Margin);

    if (!summary_.empty()) {
        const LONG summaryHeight = height(summary_);
        SelectObject(dc, boldFont.Get());
        const LONG nameHeight = height(fileName_);
        const LONG top = (client.bottom - nameHeight - Gap - summaryHeight) / 2;
        draw(fileName_, top, top + nameHeight);
        SelectObject(dc, regular);
        draw(summary_, top + nameHeight + Gap, top + nameHeight + Gap + summaryHeight);
    }
    SelectObject(dc, oldFont);
}

} // namespace ui
