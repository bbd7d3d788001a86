#include "ui/Font.h"

namespace ui {

sys::TFontHandle CreateFontHandle(const TFont& font, int pixelsPerInch) {
    LOGFONTA log{};
    // A negative height asks for the character height, without the internal leading.
    log.lfHeight = -MulDiv(font.Height, pixelsPerInch, 96);
    log.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    log.lfUnderline = font.Underline ? TRUE : FALSE;
    log.lfCharSet = DEFAULT_CHARSET;
    log.lfOutPrecision = OUT_DEFAULT_PRECIS;
    log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    log.lfQuality = DEFAULT_QUALITY;
    log.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(log.lfFaceName, font.Name.c_str(), LF_FACESIZE);
    return sys::TFontHandle(CreateFontIndirectA(&log));
}

TFont DescribeFont(HFONT font, int pixelsPerInch) {
    LOGFONTA log{};
    GetObjectA(font, sizeof log, &log);
    TFont result;
    result.Name = log.lfFaceName;
    result.Height = MulDiv(log.lfHeight < 0 ? -log.lfHeight : log.lfHeight, 96, pixelsPerInch);
    result.Bold = log.lfWeight >= FW_BOLD;
    result.Underline = log.lfUnderline != 0;
    return result;
}

} // namespace ui
