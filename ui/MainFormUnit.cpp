#include "ui/MainFormUnit.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <initializer_list>

#include "core/InstallerBuilder.h"
#include "core/InstallerUnit.h"
#include "core/MovieInfoUnit.h"
#include "core/ProjectUnit.h"
#include "rtl/Guid.h"
#include "rtl/Paths.h"
#include "rtl/TextUtils.h"
#include "system/SystemInfoUnit.h"
#include "ui/AboutFormUnit.h"
#include "ui/Application.h"
#include "ui/BusyOperation.h"
#include "ui/FlashPreview.h"
#include "ui/MessageBoxes.h"
#include "ui/ProductInfo.h"
#include "ui/Shell.h"
#include "wallpaper/FolderFromFiles.h"
#include "wallpaper/SafeNames.h"
#include "wallpaper/SystemColors.h"
#include "wallpaper/WallpaperPage.h"

namespace ui {

namespace {

using K = TKind;
using F = TMainForm;

// clang-format off
const TLayoutRow<F> LayoutRows[] = {
    // Name, member, kind, options, parent, caption, left, top, width, height, tab, handler
    {"PageControl", Keep<&F::PageControl>, K::PageControl, loNone, "", "", 0, 0, 496, 453, 0, {}},
    {"InfoSheet", Keep<&F::InfoSheet>, K::TabSheet, loNone, "PageControl", "Wallpaper Info", 0, 0, 0, 0, 0, {}},
    {"FlashSheet", Keep<&F::FlashSheet>, K::TabSheet, loNone, "PageControl", "Flash Movie", 0, 0, 0, 0, 1, {}},
    {"OutputSheet", Keep<&F::OutputSheet>, K::TabSheet, loNone, "PageControl", "Output", 0, 0, 0, 0, 2, {}},

    {"TitleLabel", Keep<&F::TitleLabel>, K::Label, loNone, "InfoSheet", "Wallpaper Title:", 3, 6, 75, 13, NoTab, {}},
    {"TitleEdit", Keep<&F::TitleEdit>, K::Edit, loNone, "InfoSheet", "", 93, 3, 392, 21, 0, &F::TitleEditKeyPress},
    {"GUIDLabel", Keep<&F::GUIDLabel>, K::Label, loNone, "InfoSheet", "GUID:", 3, 30, 29, 13, NoTab, {}},
    {"BGColorLabel", Keep<&F::BGColorLabel>, K::Label, loNone, "InfoSheet", "Background Color:", 3, 56, 88, 13, NoTab, {}},
    {"BGColorPanel", Keep<&F::BGColorPanel>, K::ColorSwatch, loNone, "InfoSheet", "", 98, 54, 17, 17, 7, {}},
    {"BGColorBtn", Keep<&F::BGColorBtn>, K::Button, loNone, "InfoSheet", "Change Color", 121, 51, 88, 25, 1, &F::BGColorBtnClick},
    {"BGTransparentCheckBox", Keep<&F::BGTransparentCheckBox>, K::CheckBox, loNone, "InfoSheet", "Transparent Background", 215, 55, 142, 17, 2, {}},
    {"ShowLicenseCheckBox", Keep<&F::ShowLicenseCheckBox>, K::CheckBox, loNone, "InfoSheet", "Display license information before installation.", 3, 82, 482, 17, 3, &F::ShowLicenseCheckBoxClick},
    {"ShowTextCheckBox", Keep<&F::ShowTextCheckBox>, K::CheckBox, loNone, "InfoSheet", "Show text and website link.", 3, 105, 482, 17, 4, &F::ShowTextCheckBoxClick},
    {"LicenseGroupBox", Keep<&F::LicenseGroupBox>, K::GroupBox, loNone, "InfoSheet", "License Information", 3, 128, 482, 114, 5, {}},
    {"LicenseMemo", Keep<&F::LicenseMemo>, K::Memo, loNone, "LicenseGroupBox", "", 13, 24, 452, 81, 0, {}},
    {"TextGroupBox", Keep<&F::TextGroupBox>, K::GroupBox, loNone, "InfoSheet", "Text and Website Link", 3, 248, 482, 172, 6, {}},
    {"TextLabel", Keep<&F::TextLabel>, K::Label, loNone, "TextGroupBox", "Text:", 13, 22, 26, 13, NoTab, {}},
    {"TextMemo", Keep<&F::TextMemo>, K::Memo, loNone, "TextGroupBox", "", 13, 41, 452, 62, 0, {}},
    {"WebLabel", Keep<&F::WebLabel>, K::Label, loNone, "TextGroupBox", "Website Link:", 13, 112, 64, 13, NoTab, {}},
    {"WebEdit", Keep<&F::WebEdit>, K::Edit, loNone, "TextGroupBox", "", 83, 109, 382, 21, 1, {}},
    {"TextColorLabel", Keep<&F::TextColorLabel>, K::Label, loNone, "TextGroupBox", "Text Color:", 13, 141, 54, 13, NoTab, {}},
    {"TextColorPanel", Keep<&F::TextColorPanel>, K::ColorSwatch, loNone, "TextGroupBox", "", 73, 139, 17, 17, 5, {}},
    {"TextColorBtn", Keep<&F::TextColorBtn>, K::Button, loNone, "TextGroupBox", "Change", 94, 136, 49, 25, 2, &F::TextColorBtnClick},
    {"TextBGColorLabel", Keep<&F::TextBGColorLabel>, K::Label, loNone, "TextGroupBox", "Text Background Color:", 162, 141, 113, 13, NoTab, {}},
    {"TextBGColorPanel", Keep<&F::TextBGColorPanel>, K::ColorSwatch, loNone, "TextGroupBox", "", 281, 139, 17, 17, 6, {}},
    {"TextBGColorBtn", Keep<&F::TextBGColorBtn>, K::Button, loNone, "TextGroupBox", "Change", 304, 136, 49, 25, 3, &F::TextBGColorBtnClick},
    {"TransparentCheckBox", Keep<&F::TransparentCheckBox>, K::CheckBox, loNone, "TextGroupBox", "Transparent", 384, 139, 81, 17, 4, {}},

    {"FlashFileLabel", Keep<&F::FlashFileLabel>, K::Label, loNone, "FlashSheet", "Flash:", 3, 8, 29, 13, NoTab, {}},
    {"OpenBtn", Keep<&F::OpenBtn>, K::Button, loNone, "FlashSheet", "Open...", 428, 3, 57, 25, 0, &F::OpenBtnClick},
    {"FlashPanel", Keep<&F::FlashPanel>, K::Panel, loNone, "FlashSheet", "", 3, 34, 482, 362, 2, {}},
    {"LoopCheckBox", Keep<&F::LoopCheckBox>, K::CheckBox, loNone, "FlashSheet", "Loop Flash Movie", 3, 402, 360, 17, 1, {}},
    {"PlayBtn", Keep<&F::PlayBtn>, K::Button, loNone, "FlashSheet", "Play in Browser", 370, 398, 115, 25, 3, &F::PlayBtnClick},

    {"OutputFileLabel", Keep<&F::OutputFileLabel>, K::Label, loNone, "OutputSheet", "Output File:", 3, 8, 57, 13, NoTab, {}},
    {"ChangeFileBtn", Keep<&F::ChangeFileBtn>, K::Button, loNone, "OutputSheet", "Change File Path", 384, 3, 101, 25, 0, &F::ChangeFileBtnClick},
    {"LogLabel", Keep<&F::LogLabel>, K::Label, loNone, "OutputSheet", "Log Message:", 3, 40, 66, 13, NoTab, {}},
    {"LogMemo", Keep<&F::LogMemo>, K::Memo, loReadOnly, "OutputSheet", "", 3, 59, 482, 319, 1, {}},
    {"RunCheckBox", Keep<&F::RunCheckBox>, K::CheckBox, loChecked, "OutputSheet", "Run installer after it is generated.", 96, 392, 186, 17, 2, {}},
    {"GenerateBtn", Keep<&F::GenerateBtn>, K::Button, loDefault | loBold, "OutputSheet", "Generate Wallpaper Installer", 288, 384, 197, 36, 3, &F::GenerateBtnClick},
};

const TMenuRow<F> MenuRows[] = {
    // Name, member, parent, caption, handler
    {"MMFile", Keep<&F::MMFile>, "", "File", nullptr},
    {"MMNewProject", Keep<&F::MMNewProject>, "MMFile", "New Project", &F::MMNewProjectClick},
    {"N1", Keep<&F::N1>, "MMFile", "-", nullptr},
    {"MMOpenProject", Keep<&F::MMOpenProject>, "MMFile", "Open Project", &F::MMOpenProjectClick},
    {"MMSaveProject", Keep<&F::MMSaveProject>, "MMFile", "Save Project", &F::MMSaveProjectClick},
    {"MMSaveForLively", Keep<&F::MMSaveForLively>, "MMFile", "Save for Lively Wallpaper (.zip)...", &F::MMSaveForLivelyClick},
    {"N2", Keep<&F::N2>, "MMFile", "-", nullptr},
    {"MMExit", Keep<&F::MMExit>, "MMFile", "Exit", &F::MMExitClick},
    {"MMOptions", Keep<&F::MMOptions>, "", "Options", nullptr},
    {"MMWallpaperInfo", Keep<&F::MMWallpaperInfo>, "MMOptions", "Wallpaper Info", &F::MMWallpaperInfoClick},
    {"MMFlashMovie", Keep<&F::MMFlashMovie>, "MMOptions", "Flash Movie", &F::MMFlashMovieClick},
    {"MMOutput", Keep<&F::MMOutput>, "MMOptions", "Output", &F::MMOutputClick},
    {"MMHelp", Keep<&F::MMHelp>, "", "Help", nullptr},
    {"MMMuravelHelp", Keep<&F::MMMuravelHelp>, "MMHelp", "Muravel Help", &F::MMMuravelHelpClick},
    {"N3", Keep<&F::N3>, "MMHelp", "-", nullptr},
    {"MMHomepage", Keep<&F::MMHomepage>, "MMHelp", "Homepage", &F::MMHomepageClick},
    {"N4", Keep<&F::N4>, "MMHelp", "-", nullptr},
    {"MMAbout", Keep<&F::MMAbout>, "MMHelp", "About", &F::MMAboutClick},
};
// clang-format on

} // namespace

const TFormDescription TMainForm::Description{"TMainForm",
                                              ProductName,
                                              TBorderStyle::Single,
                                              TPosition::Designed,
                                              0,
                                              0,
                                              496,
                                              453,
                                              TFont{"Tahoma", 11, false, false},
                                              IDI_MURAVEL};

TTable<TLayoutRow<TMainForm>> TMainForm::Layout() {
    return Table(LayoutRows);
}

TTable<TMenuRow<TMainForm>> TMainForm::MenuLayout() {
    return Table(MenuRows);
}

TMainForm::TMainForm() : TForm(Description, nullptr) {
    BuildLayout(*this, Layout());
    MainMenu = &BuildMenu(*this, "MainMenu", MenuLayout());
    OnShow = [this](TComponent* sender) { FormShow(sender); };
    OnCloseQuery = [this](TComponent* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    AutoLoadTimer.OnTimer = [this](TComponent* sender) { AutoLoadTimerTimer(sender); };
    PlayBtn->SetEnabled(false);
    for (TCustomEdit* edit :
         std::initializer_list<TCustomEdit*>{TitleEdit, LicenseMemo, TextMemo, WebEdit})
        edit->OnChange = [this](TComponent* sender) { TextEditChange(sender); };
    BGColorPanel->SetColor(core::clBlack);
    TextColorPanel->SetColor(core::clBackground);
    TextBGColorPanel->SetColor(core::clWhite);
    const TBounds playerBounds{Scale(1), Scale(1), Scale(480), Scale(360)};
    FlashPlayer = CreateFlashPlayer(FlashPanel->Handle(), playerBounds);
    PreviewTimer.OnTimer = [this](TComponent* sender) { PreviewTimerTimer(sender); };
    for (TCheckBox* box : {BGTransparentCheckBox, TransparentCheckBox, LoopCheckBox})
        box->OnClick = [this](TComponent*) { PreviewFolderChanged(); };
    if (!FlashPlayer->HostsControl()) {
        try {
            WebPreview =
                std::make_unique<TWebPreview>(FlashPanel->Handle(), playerBounds,
                                              [this](const std::string& why) { SetPlayNote(why); });
        } catch (const webview::EWebView& missing) {
            SetPlayNote(missing.Message);
        }
    }
}

namespace {

// A scratch file name in the user's temporary directory, unique to this call.
std::string ScratchPath(const std::string& extension) {
    return sys::TSystemInfo().GetTempDirectory() + rtl::NewGuidText() + extension;
}

const char* const RefusedTitleCharacters = "\\/:*?\"<>|";

// Each line converted.
template <typename Convert>
rtl::TStringList EachLine(const rtl::TStringList& lines, const Convert& convert) {
    rtl::TStringList converted;
    for (const std::string& line : lines.Items())
        converted.Add(convert(line));
    return converted;
}

} // namespace

TMainForm::~TMainForm() {
    // The web view lets go of its folder first.
    WebPreview.reset();
    // A browser may still hold a file open; what stays is in the temporary folder.
    for (const std::string& folder : previewFolders_) {
        std::error_code ignored;
        std::filesystem::remove_all(rtl::FsPath(folder), ignored);
    }
}

std::string TMainForm::TemplatePath() const {
    return Application().ExeFolder() + core::TemplateFileName;
}

void TMainForm::SetProjectName(const std::string& name) {
    projectName_ = name;
    const std::string caption = std::string(ProductName) + " - " + name;
    SetCaption(caption);
    Application().SetTitle(caption);
}

void TMainForm::FormShow(TComponent*) {
    FlashPath.clear();
    OutputPath.clear();
    RememberSettings();
    if (rtl::FileExists(TemplatePath()))
        LoadProject(TemplatePath());
    if (!Application().Arguments().empty())
        AutoLoadTimer.SetEnabled(true);
}

void TMainForm::AutoLoadTimerTimer(TComponent*) {
    AutoLoadTimer.SetEnabled(false);
    const std::string path = Application().Arguments().front();
    const std::string extension = rtl::LowerFileExt(path);
    if (extension == ".swf" || extension == ".flv") {
        PageControl->SetActivePage(FlashSheet);
        LoadFlash(path);
    } else if (extension == ".zvrk") {
        LoadProject(path);
    }
}

void TMainForm::LoadProject(const std::string& path) {
    core::TProject project(ScratchPath(""));
    project.LoadFromFile(path);
    const bool fromTemplate = path == TemplatePath();
    // A new project's text is in the system's code page, as the window has always kept it.
    codePage_ = fromTemplate || project.CodePage == 0 ? rtl::TCodePage::System()
                                                      : rtl::TCodePage(project.CodePage);
    backgroundFollowsMovie_ = fromTemplate;
    templateBackground_ = project.BackgroundColor;
    const auto native = [this](const std::string& text) { return codePage_.ToNative(text); };
    TitleEdit->SetText(codePage_.ToNative(project.FileTitle));
    BGColorPanel->SetColor(project.BackgroundColor);
    BGTransparentCheckBox->SetChecked(project.TransparentBackground);
    ShowLicenseCheckBox->SetChecked(project.ShowLicense);
    ShowTextCheckBox->SetChecked(project.ShowText);
    LicenseMemo->SetLines(EachLine(project.LicenseLines, native));
    TextMemo->SetLines(EachLine(project.TextLines, native));
    WebEdit->SetText(codePage_.ToNative(project.URL));
    TextColorPanel->SetColor(project.TextColor);
    TextBGColorPanel->SetColor(project.TextBGColor);
    TransparentCheckBox->SetChecked(project.TextBGTransparent);
    LoopCheckBox->SetChecked(project.Loop);
    OutputPath = codePage_.ToNativePath(project.OutputFile);
    OutputFileLabel->SetCaption("Output File: " + OutputPath);
    if (fromTemplate) {
        // Every project made from the template is a wallpaper of its own.
        project.GUID = rtl::NewGuidText();
        projectPath_.clear();
        SetProjectName("Blank");
    } else {
        projectPath_ = path;
        SetProjectName(rtl::ExtractFileName(path));
    }
    GUIDLabel->SetCaption("GUID: " + project.GUID);
    // A project without movies is one whose movie is still to be chosen.
    LoadFlash(project.FlashFiles.Count() > 0 ? codePage_.ToNativePath(project.FlashFiles.Get(0))
                                             : std::string());
    ShowLicenseCheckBoxClick(ShowLicenseCheckBox);
    ShowTextCheckBoxClick(ShowTextCheckBox);
    RememberSettings();
    PreviewFolderChanged();
}

void TMainForm::SaveProject(const std::string& path) {
    core::TProject project(ScratchPath(""));
    CopySettingsTo(project);
    project.SaveToFile(path);
}

void TMainForm::CopySettingsTo(core::TProject& project) const {
    // Every text edit holds text of the code page only.
    const auto stored = [this](const std::string& text) { return codePage_.FromNative(text); };
    project.FlashFiles.Clear();
    project.FlashFiles.Add(codePage_.FromNativePath(FlashPath));
    const std::string guidCaption = GUIDLabel->Caption();
    project.GUID = guidCaption.size() > 6 ? guidCaption.substr(6) : std::string();
    project.CodePage = codePage_.Number();
    project.FileTitle = codePage_.FromNative(TitleEdit->Text());
    project.BackgroundColor = BGColorPanel->Color();
    project.TransparentBackground = BGTransparentCheckBox->Checked();
    project.ShowLicense = ShowLicenseCheckBox->Checked();
    project.ShowText = ShowTextCheckBox->Checked();
    project.LicenseLines = EachLine(LicenseMemo->Lines(), stored);
    project.TextLines = EachLine(TextMemo->Lines(), stored);
    project.URL = codePage_.FromNative(WebEdit->Text());
    project.TextColor = TextColorPanel->Color();
    project.TextBGColor = TextBGColorPanel->Color();
    project.TextBGTransparent = TransparentCheckBox->Checked();
    project.Loop = LoopCheckBox->Checked();
    project.OutputFile = codePage_.FromNativePath(OutputPath);
}

void TMainForm::RememberSettings() {
    savedSettings_ = std::make_unique<core::TProject>("");
    CopySettingsTo(*savedSettings_);
}

bool TMainForm::Modified() const {
    core::TProject now("");
    CopySettingsTo(now);
    return savedSettings_ != nullptr && !now.SameSettings(*savedSettings_);
}

bool TMainForm::SaveProjectFile(const std::string& path) {
    std::string target = path;
    if (target.empty()) {
        if (!SaveProjectDialog.Execute())
            return false;
        target = SaveProjectDialog.FileName;
    }
    SaveProject(target);
    projectPath_ = target;
    SetProjectName(rtl::ExtractFileName(target));
    RememberSettings();
    return true;
}

bool TMainForm::CanDropSettings() {
    if (!Modified())
        return true;
    switch (AskYesNoCancel("Save changes to " + projectName_ + "?")) {
    case IDYES:
        return SaveProjectFile(projectPath_);
    case IDNO:
        return true;
    default:
        return false;
    }
}

void TMainForm::FormCloseQuery(TComponent*, bool& CanClose) {
    CanClose = CanDropSettings();
}

void TMainForm::MMNewProjectClick(TComponent*) {
    // Unsaved settings bring their own question, which takes the place of the confirmation.
    if (Modified() ? CanDropSettings() : Confirm("Do you really want to create a new project?"))
        LoadProject(TemplatePath());
}

void TMainForm::MMOpenProjectClick(TComponent*) {
    if (CanDropSettings() && OpenProjectDialog.Execute())
        LoadProject(OpenProjectDialog.FileName);
}

void TMainForm::MMSaveProjectClick(TComponent*) {
    // Every save asks for a name.
    SaveProjectFile("");
}

void TMainForm::LoadFlash(const std::string& path) {
    if (path == FlashPath)
        return;
    const bool video = core::IsVideoPath(path);
    if (video) {
        FlashPlayer->PutBackgroundColor(0);
        FlashPlayer->PutMovie(Application().ExeFolder() + core::PreviewPlayerFileName);
        FlashPlayer->SetVariable("FLVPath", path);
        LoopCheckBox->SetChecked(false);
    } else {
        FlashPlayer->PutBackgroundColor(-1);
        FlashPlayer->PutMovie(path);
        LoopCheckBox->SetEnabled(true);
    }
    if (backgroundFollowsMovie_) {
        const std::optional<core::TColor> own =
            video ? std::nullopt : core::TMovieInfo::Read(path).OwnBackground();
        BGColorPanel->SetColor(own.value_or(templateBackground_));
    }
    FlashPath = path;
    FlashFileLabel->SetCaption("Flash: " + FlashPath);
    PlayBtn->SetEnabled(!FlashPath.empty());
    PreviewFolderChanged();
}

void TMainForm::OpenBtnClick(TComponent*) {
    if (OpenDialog.Execute())
        LoadFlash(OpenDialog.FileName);
}

void TMainForm::PlayBtnClick(TComponent*) {
    const std::string fault = core::TMovieInfo::Check(FlashPath);
    if (!fault.empty()) {
        ShowInformation(fault);
        return;
    }
    core::TProject project("");
    CopySettingsTo(project);
    // One folder per wallpaper, so a second look replaces the first.
    const std::string folder = sys::TSystemInfo().GetTempDirectory() + "Zenvoy Muravel Preview\\" +
                               (project.GUID.empty() ? "Untitled" : project.GUID);
    {
        TBusyOperation busy(Handle());
        WritePreviewFolder(folder);
    }
    ExecuteShell(Handle(), std::string("open"), folder + "\\" + wallpaper::PageFileName,
                 SW_SHOWNORMAL);
}

void TMainForm::WritePreviewFolder(const std::string& folder, const std::string& reuse) {
    core::TProject project("");
    CopySettingsTo(project);
    std::error_code ignored;
    std::filesystem::remove_all(rtl::FsPath(folder), ignored);
    std::filesystem::create_directories(rtl::FsPath(folder));
    if (std::find(previewFolders_.begin(), previewFolders_.end(), folder) == previewFolders_.end())
        previewFolders_.push_back(folder);
    try {
        wallpaper::TFolderSources sources = FolderSources();
        sources.Reuse = reuse;
        wallpaper::WriteWallpaperFolder(project, codePage_, sources, folder, false);
    } catch (...) {
        std::filesystem::remove_all(rtl::FsPath(folder), ignored);
        throw;
    }
}

void TMainForm::PreviewFolderChanged() {
    if (!WebPreview || !WebPreview->Usable())
        return;
    // Started again, so a run of changes writes the folder once, after the last.
    PreviewTimer.SetEnabled(false);
    PreviewTimer.SetEnabled(true);
}

void TMainForm::PreviewTimerTimer(TComponent*) {
    PreviewTimer.SetEnabled(false);
    const std::string previous = webFolder_;
    webFolder_.clear();
    std::string why;
    if (!FlashPath.empty())
        why = core::TMovieInfo::Check(FlashPath);
    if (!FlashPath.empty() && why.empty()) {
        // A folder of its own each time: the page shown may still be reading the last one.
        const std::string folder =
            sys::TSystemInfo().GetTempDirectory() + "Zenvoy Muravel Preview\\" + rtl::NewGuidText();
        try {
            WritePreviewFolder(folder, previous);
            webFolder_ = folder;
        } catch (const rtl::Exception& failure) {
            why = failure.Message;
        }
    }
    if (webFolder_.empty())
        WebPreview->Hide();
    else
        WebPreview->ShowFolder(webFolder_);
    SetPlayNote(why);
    if (!previous.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(rtl::FsPath(previous), ignored);
    }
}

void TMainForm::PreviewPropertyChanged(const std::string& name, const std::string& value) {
    // A folder about to be written holds the change already.
    if (WebPreview && !PreviewTimer.Enabled())
        WebPreview->ExecuteScript(wallpaper::PropertyScript(name, value));
}

void TMainForm::SetPlayNote(const std::string& line) {
    if (auto* panel = dynamic_cast<TFlashPreview*>(FlashPlayer.get()))
        panel->SetPlayNote(line);
}

void TMainForm::MMSaveForLivelyClick(TComponent*) {
    const std::string fault =
        FlashPath.empty() ? core::NoMovieMessage : core::TMovieInfo::Check(FlashPath);
    if (!fault.empty()) {
        ShowInformation(fault);
        return;
    }
    if (!ZipDialog.Execute())
        return;
    core::TProject project("");
    CopySettingsTo(project);
    TBusyOperation busy(Handle());
    wallpaper::WriteWallpaperZip(project, codePage_, FolderSources(), ZipDialog.FileName);
}

wallpaper::TFolderSources TMainForm::FolderSources() const {
    const std::string exe = Application().ExeFolder();
    return {FlashPath, exe + core::PlayerFileName, exe + core::StubFileName,
            WebPreview ? WebPreview->Frame() : "", ""};
}

bool TMainForm::ChangeSwatchColor(TPanel& swatch) {
    ColorDialog.Color = swatch.Color();
    if (!ColorDialog.Execute())
        return false;
    swatch.SetColor(ColorDialog.Color);
    return true;
}

void TMainForm::BGColorBtnClick(TComponent*) {
    if (!ChangeSwatchColor(*BGColorPanel))
        return;
    backgroundFollowsMovie_ = false;
    // A transparent page shows no colour of its own.
    if (!BGTransparentCheckBox->Checked())
        PreviewPropertyChanged(
            "background",
            "\"" + core::CssColor(BGColorPanel->Color(), wallpaper::SystemColor) + "\"");
}

void TMainForm::TextColorBtnClick(TComponent*) {
    if (ChangeSwatchColor(*TextColorPanel))
        PreviewFolderChanged();
}

void TMainForm::TextBGColorBtnClick(TComponent*) {
    if (ChangeSwatchColor(*TextBGColorPanel))
        PreviewFolderChanged();
}

void TMainForm::ShowLicenseCheckBoxClick(TComponent*) {
    LicenseMemo->SetEnabled(ShowLicenseCheckBox->Checked());
}

void TMainForm::ShowTextCheckBoxClick(TComponent*) {
    const bool shown = ShowTextCheckBox->Checked();
    for (TControl* control : std::initializer_list<TControl*>{TextMemo, WebEdit, TextColorBtn,
                                                              TextBGColorBtn, TransparentCheckBox})
        control->SetEnabled(shown);
    // A page written without its text has none to show.
    if (shown)
        PreviewFolderChanged();
    else
        PreviewPropertyChanged("showText", "false");
}

void TMainForm::TitleEditKeyPress(TComponent*, char& Key) {
    const unsigned char code = static_cast<unsigned char>(Key);
    if (code < 32 || code > 127 || std::strchr(RefusedTitleCharacters, Key) == nullptr)
        return;
    ShowPlainMessage("A file name cannot contain any of the following characters:\r\n"
                     " \\ / : * ? \" < > |");
    Key = '\0';
}

void TMainForm::TextEditChange(TComponent* Sender) {
    auto& edit = static_cast<TCustomEdit&>(*Sender);
    // The page shows the text and its link, not the title or the licence.
    if (Sender == TextMemo || Sender == WebEdit)
        PreviewFolderChanged();
    std::vector<std::string> lacking;
    const std::string held = codePage_.Held(edit.Text(), lacking);
    if (lacking.empty())
        return;
    edit.ReplaceBeforeCaret(held);
    std::string names;
    for (const std::string& character : lacking)
        names += (names.empty() ? "\"" : ", \"") + character + "\"";
    const std::string refusal = names + " cannot be kept: a project holds its text in code page " +
                                std::to_string(codePage_.Number()) + ", which lacks " +
                                (lacking.size() == 1 ? "it." : "them.");
    // A balloon leaves the keys typed next to the edit, where a message box would take them.
    edit.ShowBalloonTip("Not in the project's code page", refusal);
}

void TMainForm::ChangeFileBtnClick(TComponent*) {
    if (!SaveDialog.Execute())
        return;
    OutputPath = SaveDialog.FileName;
    OutputFileLabel->SetCaption("Output File: " + OutputPath);
}

void TMainForm::GenerateBtnClick(TComponent*) {
    core::TInstallerInputs inputs;
    inputs.StubPath = Application().ExeFolder() + core::StubFileName;
    inputs.FlashPath = FlashPath;
    inputs.PlayerFolder = Application().ExeFolder();
    inputs.OutputPath = OutputPath;
    if (const auto refusal = core::CheckInputs(inputs, TitleEdit->Text())) {
        // The page that needs attention comes to the front before the message is read.
        switch (refusal->Problem) {
        case core::TInputProblem::NoMovie:
        case core::TInputProblem::BadMovie:
            PageControl->SetActivePage(FlashSheet);
            break;
        case core::TInputProblem::NoTitle:
            PageControl->SetActivePage(InfoSheet);
            break;
        case core::TInputProblem::NoOutput:
        case core::TInputProblem::OutputIsInput:
            PageControl->SetActivePage(OutputSheet);
            break;
        }
        ShowInformation(refusal->Message);
        return;
    }
    GenerateBtn->SetEnabled(false);
    LogMemo->Clear();
    inputs.ScratchPath = ScratchPath(".zvrk");
    // The progress counts every input's bytes; the scratch project is too small to count.
    int64_t total = 0, finished = 0, current = 0;
    std::string currentPath;
    for (const std::string& file : inputs.InputFiles()) {
        std::error_code unknown;
        const auto size = std::filesystem::file_size(rtl::FsPath(file), unknown);
        total += unknown ? 0 : static_cast<int64_t>(size);
    }
    try {
        TBusyOperation busy(Handle());
        core::TInstallerBuilder().Build(
            inputs, [this](const std::string& path) { SaveProject(path); },
            [this](const std::string& line) { LogMemo->Append(line); },
            [&](const std::string& path, int64_t done, int64_t) {
                if (path != currentPath) {
                    finished += current;
                    currentPath = path;
                }
                current = done;
                busy.Progress(finished + current, total);
            });
    } catch (...) {
        // The error still reaches the user, and stays in the log after the steps that ran; the
        // button must not stay dead after it.
        LogMemo->Append(ExceptionMessage(std::current_exception()));
        GenerateBtn->SetEnabled(true);
        throw;
    }
    GenerateBtn->SetEnabled(true);
    if (RunCheckBox->Checked())
        ExecuteShell(Handle(), std::string("open"), OutputPath, SW_SHOWNORMAL);
}

void TMainForm::MMExitClick(TComponent*) {
    Close();
}

void TMainForm::MMWallpaperInfoClick(TComponent*) {
    PageControl->SetActivePage(InfoSheet);
}

void TMainForm::MMFlashMovieClick(TComponent*) {
    PageControl->SetActivePage(FlashSheet);
}

void TMainForm::MMOutputClick(TComponent*) {
    PageControl->SetActivePage(OutputSheet);
}

void TMainForm::MMMuravelHelpClick(TComponent*) {
    ExecuteShell(Handle(), std::nullopt, Application().ExeFolder() + core::HelpFileName,
                 SW_SHOWNORMAL);
}

void TMainForm::MMHomepageClick(TComponent*) {
    ExecuteShell(Handle(), std::string("open"), HomePageAddress, SW_SHOWNORMAL);
}

void TMainForm::MMAboutClick(TComponent*) {
    TAboutForm about(*this);
    about.ShowModal();
}

} // namespace ui
