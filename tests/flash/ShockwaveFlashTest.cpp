#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FakeFlash.h"
#include "TestFiles.h"
#include "core/MovieInfoUnit.h"
#include "rtl/Streams.h"
#include "rtl/ZStreams.h"
#include "system/Handle.h"
#include "ui/FlashPreview.h"

namespace {

using Lines = std::vector<std::string>;

const char* const NoPlayerNote =
    "No Flash player is installed; this is what the file's header says.";

// One visible top-level window for the whole run: under Wine without a window manager,
// taking a visible top-level window down costs seconds. OLE as the program entry has it.
class TTopWindow : public ::testing::Environment {
public:
    void SetUp() override {
        ole_ = std::make_unique<sys::TOleInitialization>();
        handle = CreateWindowExA(0, "STATIC", "Flash test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 600, 480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override {
        DestroyWindow(handle);
        ole_.reset();
    }

    static HWND handle;

private:
    std::unique_ptr<sys::TOleInitialization> ole_;
};

HWND TTopWindow::handle = nullptr;
const auto* const topWindow = ::testing::AddGlobalTestEnvironment(new TTopWindow);

// The host's parent, a child of the top-level window as the window's FlashPanel is.
class TParent {
public:
    TParent() {
        handle_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 482, 362,
                                  TTopWindow::handle, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TParent() {
        if (IsWindow(handle_))
            DestroyWindow(handle_);
    }
    TParent(const TParent&) = delete;
    TParent& operator=(const TParent&) = delete;

    HWND Handle() const { return handle_; }

private:
    HWND handle_;
};

std::unique_ptr<ui::TShockwaveFlash> MakeHost(const TParent& parent) {
    return ui::CreateFlashPlayer(parent.Handle(), {1, 1, 480, 360});
}

// The panel's text, which is what it shows, line by line.
Lines TextLines(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, &text[0], length + 1)));
    return testfiles::CrLfLines(text);
}

RECT BoundsInParent(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// Movies written byte by byte: 480 x 360 pixels (15-bit RECT fields of twips), 24 frames per
// second, one frame.
std::string MovieBody() {
    return testfiles::Hex("78 00 04 B0 00 00 0E 10 00 00 18 01 00 40 00 00 00");
}

std::string Fws() {
    return "FWS" + std::string(1, 10) + testfiles::Le32(8 + 17) + MovieBody();
}

std::string Cws() {
    rtl::TMemoryStream packed;
    {
        rtl::TCompressionStream z(packed);
        const std::string body = MovieBody();
        z.WriteBuffer(body.data(), static_cast<int64_t>(body.size()));
        z.Finish();
    }
    return "CWS" + std::string(1, 10) + testfiles::Le32(8 + 17) + packed.ToString();
}

std::string Be32(uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

std::string AmfNumber(const std::string& name, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return std::string{0, static_cast<char>(name.size())} + name + std::string(1, 0) +
           Be32(static_cast<uint32_t>(bits >> 32)) + Be32(static_cast<uint32_t>(bits));
}

std::string FlvTag(char type, const std::string& data) {
    const auto size = static_cast<uint32_t>(data.size());
    return std::string(1, type) + Be32(size).substr(1) + std::string(7, 0) + data + Be32(11 + size);
}

// An FLV with a video tag, and an onMetaData script tag before it when asked.
std::string Flv(char flags, bool metaData, char codec = '\x22') {
    std::string flv = "FLV\x01" + std::string(1, flags) + Be32(9) + Be32(0);
    if (metaData) {
        const std::string meta = std::string("\x02\x00\x0AonMetaData\x08", 14) + Be32(4) +
                                 AmfNumber("duration", 12.5) + AmfNumber("width", 320) +
                                 AmfNumber("height", 240) + AmfNumber("framerate", 25) +
                                 std::string("\x00\x00\x09", 3);
        flv += FlvTag(18, meta);
    }
    return flv + FlvTag(9, std::string(1, codec) + std::string(40, '\x55'));
}

// The panel's client area as the window paints it.
class TPicture {
public:
    explicit TPicture(HWND window) {
        RECT client;
        GetClientRect(window, &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        const HDC dc = CreateCompatibleDC(nullptr);
        const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ old = SelectObject(dc, bitmap);
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        const auto* pixels = static_cast<const uint32_t*>(bits);
        pixels_.assign(pixels, pixels + static_cast<size_t>(width_) * height_);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }

    COLORREF At(int x, int y) const {
        const uint32_t p = pixels_[static_cast<size_t>(y) * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int CountOther(COLORREF colour) const {
        int n = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                n += At(x, y) != colour;
        return n;
    }
    // The largest difference in brightness from colour of any pixel, 0 to 255.
    int Contrast(COLORREF colour) const {
        int most = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const int d = Brightness(At(x, y)) - Brightness(colour);
                most = std::max(most, d < 0 ? -d : d);
            }
        return most;
    }
    static int Brightness(COLORREF c) {
        return (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000;
    }

private:
    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
};

bool NeedsRepaint(HWND window) {
    return GetUpdateRect(window, nullptr, FALSE) != 0;
}

// With the fake control registered for the Flash class identifier.
class FlashHost : public ::testing::Test {
protected:
    fakeflash::TRecord& Record() { return fake_.Record(); }
    fakeflash::TBehaviour& Behaviour() { return fake_.Behaviour(); }
    // What reached the control's automation interfaces.
    Lines Automation() const {
        return fake_.Record().Calls({"IDispatch::", "IShockwaveFlash", "QueryInterface("});
    }

    fakeflash::TRegistration fake_;
    TParent parent_;
};

TEST_F(FlashHost, InitialisesTheControlWithThePropertyBlockAndSetsNothingElse) {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(96, dpi) << "the extents below are 480 x 360 pixels in HIMETRIC at 96 dpi";

    const auto host = MakeHost(parent_);
    ASSERT_TRUE(host->HostsControl());
    EXPECT_EQ(
        (Lines{"IClassFactory::CreateInstance(IOleObject)", "IOleObject::SetClientSite(site)",
               "IPersistPropertyBag::Load(WMode=\"Window\", Quality=\"High\", "
               "Scale=\"ShowAll\")",
               "IOleObject::SetExtent(1, 12700 x 9525)", "IOleObject::DoVerb(-5, 0,0,480,360)"}),
        Record().Calls(
            {"IClassFactory::", "IOleObject::", "IPersist", "IDispatch::", "IShockwaveFlash"}));
    EXPECT_EQ(1, Record().liveObjects);
}

TEST_F(FlashHost, ControlIsActivatedInPlaceFillingThePanel) {
    const auto host = MakeHost(parent_);
    EXPECT_EQ(parent_.Handle(), GetParent(host->Handle()));
    EXPECT_EQ("1,1,481,361", RectText(BoundsInParent(host->Handle())));
    EXPECT_EQ(host->Handle(), Record().siteWindow);
    EXPECT_EQ("0,0,480,360", RectText(Record().position));
    EXPECT_EQ("0,0,480,360", RectText(Record().clip));
    EXPECT_TRUE(Record().frameGiven);
    EXPECT_EQ(TTopWindow::handle, Record().frameWindow);
    ASSERT_NE(nullptr, Record().controlWindow);
    EXPECT_EQ(host->Handle(), GetParent(Record().controlWindow));
    EXPECT_EQ("0,0,480,360", RectText(BoundsInParent(Record().controlWindow)));
}

TEST_F(FlashHost, MovieIsPutByDispatchIdAsLoadFlashDoes) {
    const auto host = MakeHost(parent_);
    host->PutBackgroundColor(-1);
    host->PutMovie("C:\\Movies\\intro.swf");
    EXPECT_EQ((Lines{
                  "IDispatch::Invoke(123, DISPATCH_PROPERTYPUT, named DISPID_PROPERTYPUT, "
                  "VT_I4 -1)",
                  "IDispatch::Invoke(102, DISPATCH_PROPERTYPUT, named DISPID_PROPERTYPUT, "
                  "VT_BSTR \"C:\\Movies\\intro.swf\")",
              }),
              Automation());
}

TEST_F(FlashHost, VideoGoesThroughIShockwaveFlashAskedForOnceAndKept) {
    const auto host = MakeHost(parent_);
    for (const char* video : {"C:\\Videos\\one.flv", "D:\\two.FLV"}) {
        host->PutBackgroundColor(0);
        host->PutMovie("C:\\Program\\nsFLVPlayer.dat");
        host->SetVariable("FLVPath", video);
    }
    const std::string putBlack =
        "IDispatch::Invoke(123, DISPATCH_PROPERTYPUT, named DISPID_PROPERTYPUT, VT_I4 0)";
    const std::string putPlayer =
        "IDispatch::Invoke(102, DISPATCH_PROPERTYPUT, named DISPID_PROPERTYPUT, "
        "VT_BSTR \"C:\\Program\\nsFLVPlayer.dat\")";
    EXPECT_EQ((Lines{putBlack, putPlayer, "QueryInterface(IShockwaveFlash)",
                     "IShockwaveFlash::SetVariable(\"FLVPath\", \"C:\\Videos\\one.flv\")", putBlack,
                     putPlayer, "IShockwaveFlash::SetVariable(\"FLVPath\", \"D:\\two.FLV\")"}),
              Automation());
}

TEST_F(FlashHost, EmptyMoviePathIsAnEmptyStringNotANullOne) {
    const auto host = MakeHost(parent_);
    host->PutMovie("");
    EXPECT_EQ((Lines{"IDispatch::Invoke(102, DISPATCH_PROPERTYPUT, named DISPID_PROPERTYPUT, "
                     "VT_BSTR \"\" (empty))"}),
              Automation());
}

TEST_F(FlashHost, TextIsConvertedFromTheSystemCodePage) {
    if (GetACP() != 1252)
        GTEST_SKIP() << "the bytes below are Windows-1252";
    const auto host = MakeHost(parent_);
    host->PutMovie("C:\\Filme\\\xE9t\xE9.swf");
    host->SetVariable("FLVPath", "C:\\\x80 5.flv");
    EXPECT_EQ((Lines{"IDispatch::Invoke(102, DISPATCH_PROPERTYPUT, named DISPID_PROPERTYPUT, "
                     "VT_BSTR \"C:\\Filme\\\\u00E9t\\u00E9.swf\")",
                     "QueryInterface(IShockwaveFlash)",
                     "IShockwaveFlash::SetVariable(\"FLVPath\", \"C:\\\\u20AC 5.flv\")"}),
              Automation());
}

TEST_F(FlashHost, FailedPutRaisesTheControlsDescriptionAndTheNextCallStillWorks) {
    Behaviour().failingDispid = 102;
    Behaviour().invokeResult = DISP_E_EXCEPTION;
    Behaviour().exceptionText = L"Cannot load the movie";
    const auto host = MakeHost(parent_);
    EXPECT_EQ("Cannot load the movie",
              testfiles::MessageOf<ui::EOleException>([&] { host->PutMovie("C:\\broken.swf"); }));
    try {
        host->PutMovie("C:\\broken.swf");
    } catch (const ui::EOleException& error) {
        EXPECT_EQ(E_FAIL, error.ErrorCode);
    }
    Behaviour().failingDispid = DISPID_UNKNOWN;
    host->PutMovie("C:\\good.swf");
    EXPECT_EQ(3u, Automation().size());
    EXPECT_NE(std::string::npos, Automation().back().find("good.swf"));
}

TEST_F(FlashHost, DeferredDescriptionIsFilledInBeforeItIsRead) {
    Behaviour().failingDispid = 123;
    Behaviour().invokeResult = DISP_E_EXCEPTION;
    Behaviour().exceptionText = L"Colour refused";
    Behaviour().deferExceptionText = true;
    const auto host = MakeHost(parent_);
    EXPECT_EQ("Colour refused",
              testfiles::MessageOf<ui::EOleException>([&] { host->PutBackgroundColor(0); }));
}

TEST_F(FlashHost, FailedPutWithoutDescriptionGivesTheSystemsText) {
    Behaviour().failingDispid = 123;
    Behaviour().invokeResult = E_ACCESSDENIED;
    const auto host = MakeHost(parent_);
    EXPECT_EQ("Access denied.",
              testfiles::MessageOf<ui::EOleException>([&] { host->PutBackgroundColor(-1); }));
}

TEST_F(FlashHost, ResultTheSystemHasNoTextForIsStillNamed) {
    Behaviour().failingDispid = 102;
    Behaviour().invokeResult = static_cast<HRESULT>(0x8004ABCD);
    const auto host = MakeHost(parent_);
    EXPECT_EQ("Flash control error 8004ABCD",
              testfiles::MessageOf<ui::EOleException>([&] { host->PutMovie("C:\\a.swf"); }));
}

TEST_F(FlashHost, FailedSetVariableRaisesTheControlsErrorInfo) {
    Behaviour().setVariableResult = E_FAIL;
    Behaviour().errorInfoText = L"FLVPath cannot be set now";
    const auto host = MakeHost(parent_);
    EXPECT_EQ("FLVPath cannot be set now", testfiles::MessageOf<ui::EOleException>(
                                               [&] { host->SetVariable("FLVPath", "C:\\a.flv"); }));
}

TEST_F(FlashHost, FailedSetVariableWithoutErrorInfoGivesTheSystemsText) {
    Behaviour().setVariableResult = E_ACCESSDENIED;
    const auto host = MakeHost(parent_);
    EXPECT_EQ("Access denied.", testfiles::MessageOf<ui::EOleException>(
                                    [&] { host->SetVariable("FLVPath", "C:\\a.flv"); }));
}

TEST_F(FlashHost, ErrorInfoLeftByAnEarlierCallIsNotTakenForTheControls) {
    Behaviour().setVariableResult = E_ACCESSDENIED;
    Behaviour().supportsErrorInfo = false;
    const auto host = MakeHost(parent_);
    ICreateErrorInfo* create = nullptr;
    ASSERT_EQ(S_OK, CreateErrorInfo(&create));
    create->SetDescription(const_cast<LPOLESTR>(L"left over"));
    IErrorInfo* info = nullptr;
    create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
    SetErrorInfo(0, info);
    info->Release();
    create->Release();
    EXPECT_EQ("Access denied.", testfiles::MessageOf<ui::EOleException>(
                                    [&] { host->SetVariable("FLVPath", "C:\\a.flv"); }));
}

TEST_F(FlashHost, ControlWithoutIShockwaveFlashRaisesOnSetVariableOnly) {
    Behaviour().offersShockwaveFlash = false;
    const auto host = MakeHost(parent_);
    host->PutMovie("C:\\Program\\nsFLVPlayer.dat");
    for (int i = 0; i < 2; ++i) {
        try {
            host->SetVariable("FLVPath", "C:\\a.flv");
            ADD_FAILURE() << "SetVariable went through";
        } catch (const ui::EOleException& error) {
            EXPECT_EQ(E_NOINTERFACE, error.ErrorCode);
            EXPECT_FALSE(error.Message.empty());
        }
    }
    // Not kept after a failure: the second call asks again.
    EXPECT_EQ(2u, Record().Calls({"QueryInterface(IShockwaveFlash)"}).size());
    EXPECT_TRUE(Record().Calls({"IShockwaveFlash"}).empty());
}

TEST_F(FlashHost, ControlThatCannotBeActivatedIsReleasedForThePreview) {
    Behaviour().doVerbResult = E_OUTOFMEMORY;
    const auto host = MakeHost(parent_);
    EXPECT_FALSE(host->HostsControl());
    EXPECT_EQ(0, Record().liveObjects);
    const Lines closing = Record().Calls({"IOleObject::Close", "IOleObject::SetClientSite"});
    EXPECT_EQ((Lines{"IOleObject::SetClientSite(site)", "IOleObject::Close(OLECLOSE_NOSAVE)",
                     "IOleObject::SetClientSite(null)"}),
              closing);
    const Lines text = TextLines(host->Handle());
    ASSERT_EQ(1u, text.size());
    EXPECT_EQ(0u, text[0].find("The Flash player could not be started (")) << text[0];
    EXPECT_EQ(std::string::npos, text[0].find(".)")) << text[0];
    // The preview takes over the calls; the released control sees none of them.
    host->PutMovie("C:\\missing.swf");
    EXPECT_TRUE(Automation().empty());
}

TEST_F(FlashHost, DestroyingTheHostDeactivatesClosesAndReleasesTheControl) {
    auto host = MakeHost(parent_);
    const HWND panel = host->Handle();
    const HWND control = Record().controlWindow;
    const size_t before = Record().calls.size();
    host.reset();
    const Lines after(Record().calls.begin() + static_cast<long>(before), Record().calls.end());
    EXPECT_EQ((Lines{"IOleInPlaceObject::InPlaceDeactivate", "IOleObject::Close(OLECLOSE_NOSAVE)",
                     "IOleObject::SetClientSite(null)"}),
              after);
    EXPECT_EQ(0, Record().liveObjects);
    EXPECT_FALSE(IsWindow(control));
    EXPECT_FALSE(IsWindow(panel));
}

TEST_F(FlashHost, ParentDestroyedFirstStillEndsWithTheControlClosedAndReleased) {
    auto host = MakeHost(parent_);
    const HWND control = Record().controlWindow;
    DestroyWindow(parent_.Handle());
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(nullptr, host->Handle());
    EXPECT_EQ(1u, Record().Calls({"IOleInPlaceObject::InPlaceDeactivate"}).size());
    host.reset();
    EXPECT_EQ(1u, Record().Calls({"IOleObject::Close(OLECLOSE_NOSAVE)"}).size());
    EXPECT_EQ("IOleObject::SetClientSite(null)", Record().calls.back());
    EXPECT_EQ(0, Record().liveObjects);
}

TEST(FlashPanel, WithoutAParentWindowRaisesTheSystemsReason) {
    const std::string message = testfiles::MessageOf<rtl::Exception>([] {
        ui::CreateFlashPlayer(nullptr, {0, 0, 480, 360});
    });
    EXPECT_EQ(0u, message.find("Cannot create the Flash panel. ")) << message;
    EXPECT_GT(message.size(), std::string("Cannot create the Flash panel. ").size());
}

// No Flash control is installed under Wine: the preview of our own.
class FlashPreview : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = MakeHost(parent_);
        ASSERT_FALSE(host_->HostsControl()) << "a Flash control is installed here";
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        testfiles::WriteFile(folder_ / name, bytes);
        return folder_ / name;
    }
    Lines Shown() const { return TextLines(host_->Handle()); }
    void ShowMovie(const std::string& path) {
        host_->PutBackgroundColor(-1);
        host_->PutMovie(path);
    }
    void ShowVideo(const std::string& path) {
        host_->PutBackgroundColor(0);
        host_->PutMovie(Write("nsFLVPlayer.dat", Fws()));
        host_->SetVariable("FLVPath", path);
    }
    // The panel is background to its corners, with text that stands out well from it.
    void ExpectTextOnAPlainBackground(COLORREF background) const {
        const TPicture picture(host_->Handle());
        EXPECT_EQ(background, picture.At(0, 0));
        EXPECT_EQ(background, picture.At(479, 359));
        EXPECT_GT(picture.CountOther(background), 200);
        EXPECT_GE(picture.Contrast(background), 200);
    }

    testfiles::TempFolder folder_;
    TParent parent_;
    std::unique_ptr<ui::TShockwaveFlash> host_;
};

TEST_F(FlashPreview, TakesThePanelsPlaceAndSaysWhyBeforeAnyMovie) {
    EXPECT_EQ(parent_.Handle(), GetParent(host_->Handle()));
    EXPECT_EQ("1,1,481,361", RectText(BoundsInParent(host_->Handle())));
    EXPECT_TRUE(IsWindowVisible(host_->Handle()));
    EXPECT_EQ((Lines{NoPlayerNote}), Shown());
}

TEST_F(FlashPreview, UncompressedFlashMovie) {
    ShowMovie(Write("intro.swf", Fws()));
    EXPECT_EQ((Lines{"intro.swf",
                     "Flash movie, version 10, uncompressed (FWS): 480 x 360 pixels, "
                     "24 frames per second, 1 frame",
                     NoPlayerNote}),
              Shown());
}

TEST_F(FlashPreview, ZlibCompressedFlashMovie) {
    ShowMovie(Write("packed.swf", Cws()));
    EXPECT_EQ((Lines{"packed.swf",
                     "Flash movie, version 10, zlib-compressed (CWS): 480 x 360 pixels, "
                     "24 frames per second, 1 frame",
                     NoPlayerNote}),
              Shown());
}

TEST_F(FlashPreview, VideoWithMetaDataShownInsteadOfThePlayerMovie) {
    ShowVideo(Write("clip.flv", Flv(0x05, true)));
    EXPECT_EQ((Lines{"clip.flv",
                     "Flash video with audio and video, Sorenson H.263: 12.5 seconds, "
                     "320 x 240 pixels, 25 frames per second",
                     NoPlayerNote}),
              Shown());
}

TEST_F(FlashPreview, VideoWithoutMetaData) {
    ShowVideo(Write("bare.flv", Flv(0x01, false)));
    EXPECT_EQ((Lines{"bare.flv", "Flash video with video only, Sorenson H.263; no metadata",
                     NoPlayerNote}),
              Shown());
}

TEST_F(FlashPreview, AVideoTheWebPlayerMayNotDecodeIsWarnedOf) {
    ShowVideo(Write("modern.flv", Flv(0x01, false, '\x17')));
    EXPECT_EQ((Lines{"modern.flv", "Flash video with video only, H.264; no metadata",
                     "Installed wallpapers show H.264 only in browsers with WebCodecs; Sorenson "
                     "H.263 or VP6 plays everywhere.",
                     NoPlayerNote}),
              Shown());
}

TEST_F(FlashPreview, MissingFilesAreExplainedInThePanel) {
    ShowMovie(folder_ / "gone.swf");
    EXPECT_EQ((Lines{"gone.swf", "File not found.", NoPlayerNote}), Shown());
    ShowVideo(folder_ / "gone.flv");
    EXPECT_EQ((Lines{"gone.flv", "File not found.", NoPlayerNote}), Shown());
}

TEST_F(FlashPreview, TextFileIsExplainedInThePanel) {
    ShowMovie(Write("notes.swf", "These are my notes.\r\n"));
    EXPECT_EQ((Lines{"notes.swf", "Not a Flash movie or Flash video.", NoPlayerNote}), Shown());
}

TEST_F(FlashPreview, FileOpenedExclusivelyElsewhereIsExplainedInThePanel) {
    const std::string path = Write("locked.swf", Fws());
    const HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    ShowMovie(path);
    CloseHandle(lock);
    const Lines shown = Shown();
    ASSERT_EQ(3u, shown.size());
    EXPECT_EQ(0u, shown[1].find("Cannot open the file. ")) << shown[1];
    EXPECT_GT(shown[1].size(), std::string("Cannot open the file. ").size());
}

TEST_F(FlashPreview, ANewMovieReplacesTheVideoAndAnEmptyOneClearsThePanel) {
    ShowVideo(Write("clip.flv", Flv(0x05, true)));
    ShowMovie(Write("intro.swf", Fws()));
    EXPECT_EQ("intro.swf", Shown()[0]);
    ShowMovie("");
    EXPECT_EQ((Lines{NoPlayerNote}), Shown());
}

TEST_F(FlashPreview, VariablesOtherThanTheVideoPathChangeNothing) {
    ShowMovie(Write("intro.swf", Fws()));
    const Lines before = Shown();
    host_->SetVariable("flvpath", Write("clip.flv", Flv(0x05, true)));
    host_->SetVariable("Title", "clip.flv");
    EXPECT_EQ(before, Shown());
}

TEST_F(FlashPreview, DefaultBackgroundIsWhiteWithDarkText) {
    ShowMovie(Write("intro.swf", Fws()));
    ExpectTextOnAPlainBackground(RGB(255, 255, 255));
}

TEST_F(FlashPreview, BlackBackgroundForAVideoWithLightText) {
    ShowVideo(Write("clip.flv", Flv(0x05, true)));
    ExpectTextOnAPlainBackground(RGB(0, 0, 0));
}

TEST_F(FlashPreview, OtherColoursAreReadAsTheControlsRedGreenBlue) {
    host_->PutBackgroundColor(0x336699);
    const TPicture picture(host_->Handle());
    EXPECT_EQ(RGB(0x33, 0x66, 0x99), picture.At(0, 0));
    EXPECT_GE(picture.Contrast(RGB(0x33, 0x66, 0x99)), 100);
}

TEST_F(FlashPreview, EveryChangeRepaintsThePanel) {
    const std::string movie = Write("intro.swf", Fws());
    const std::string video = Write("clip.flv", Flv(0x05, true));
    UpdateWindow(TTopWindow::handle);
    ASSERT_FALSE(NeedsRepaint(host_->Handle()));
    host_->PutBackgroundColor(0);
    EXPECT_TRUE(NeedsRepaint(host_->Handle()));
    UpdateWindow(host_->Handle());
    host_->PutMovie(movie);
    EXPECT_TRUE(NeedsRepaint(host_->Handle()));
    UpdateWindow(host_->Handle());
    host_->SetVariable("FLVPath", video);
    EXPECT_TRUE(NeedsRepaint(host_->Handle()));
}

// The movie the build makes to play videos with, in the preview and in installed pages.
TEST(PlayerMovie, PlaysAStreamInANamedVideoObjectOfTheStagesSize) {
    const std::string movie = testfiles::ReadFile(MURAVEL_PLAYER_MOVIE);
    const core::TMovieInfo info = core::TMovieInfo::Read(MURAVEL_PLAYER_MOVIE);
    EXPECT_EQ("Flash movie, version 8, uncompressed (FWS): 480 x 360 pixels, "
              "24 frames per second, 1 frame",
              info.Summary());
    ASSERT_EQ(movie.size(), info.FileLength);

    // The tags after the header: RECT of 5 + 4 * 15 bits, rate and count.
    std::map<int, std::string> tags;
    for (size_t at = 8 + 9 + 4; at + 2 <= movie.size();) {
        const uint32_t header =
            static_cast<uint8_t>(movie[at]) | static_cast<uint8_t>(movie[at + 1]) << 8;
        size_t length = header & 63;
        at += 2;
        if (length == 63) {
            ASSERT_LE(at + 4, movie.size());
            length = testfiles::Le32At(movie, at);
            at += 4;
        }
        ASSERT_LE(at + length, movie.size());
        tags[static_cast<int>(header >> 6)] = movie.substr(at, length);
        at += length;
    }
    ASSERT_EQ(1u, tags.count(60)) << "DefineVideoStream";
    // Id 1, no frames, 480 x 360, smoothing on, Sorenson H.263.
    EXPECT_EQ(std::string("\x01\x00\x00\x00\xE0\x01\x68\x01\x01\x02", 10), tags[60]);
    ASSERT_EQ(1u, tags.count(26)) << "PlaceObject2";
    EXPECT_EQ(std::string("\x22\x01\x00\x01\x00video\x00", 11), tags[26]);
    ASSERT_EQ(1u, tags.count(12)) << "DoAction";
    for (const char* name :
         {"NetConnection", "NetStream", "attachVideo", "FLVPath", "file", "NetStream.Play.Stop",
          "onMetaData", "ExternalInterface", "addCallback", "SetVariable", "onEnterFrame", "Stage"})
        EXPECT_NE(std::string::npos, tags[12].find(std::string(name) + '\0')) << name;
    EXPECT_EQ(std::string("\x07\x00", 2), tags[12].substr(tags[12].size() - 2)) << "stop(), end";
    EXPECT_EQ(1u, tags.count(0)) << "End";
}

} // namespace
