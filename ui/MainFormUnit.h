#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/ProjectUnit.h"
#include "rtl/CodePage.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Dialogs.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/GroupBox.h"
#include "ui/Label.h"
#include "ui/Layout.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Panel.h"
#include "ui/ShockwaveFlash.h"
#include "ui/Timer.h"
#include "ui/WebPreview.h"
#include "wallpaper/FolderFromFiles.h"

namespace ui {

// The program's window: three pages of wallpaper settings, the menu and the dialogs. The
// settings live in the controls; the window keeps the current movie and output file itself.
class TMainForm : public TForm {
public:
    TMainForm();
    // The folders Play in Browser wrote go with the window.
    ~TMainForm() override;

    // The window as it is laid out; the controls below are made from it.
    static const TFormDescription Description;
    static TTable<TLayoutRow<TMainForm>> Layout();
    static TTable<TMenuRow<TMainForm>> MenuLayout();

    TPageControl* PageControl = nullptr;
    TTabSheet* InfoSheet = nullptr;
    TTabSheet* FlashSheet = nullptr;
    TTabSheet* OutputSheet = nullptr;

    TLabel* TitleLabel = nullptr;
    TEdit* TitleEdit = nullptr;
    TLabel* GUIDLabel = nullptr;
    TLabel* BGColorLabel = nullptr;
    TPanel* BGColorPanel = nullptr;
    TButton* BGColorBtn = nullptr;
    TCheckBox* BGTransparentCheckBox = nullptr;
    TCheckBox* ShowLicenseCheckBox = nullptr;
    TCheckBox* ShowTextCheckBox = nullptr;
    TGroupBox* LicenseGroupBox = nullptr;
    TMemo* LicenseMemo = nullptr;
    TGroupBox* TextGroupBox = nullptr;
    TLabel* TextLabel = nullptr;
    TMemo* TextMemo = nullptr;
    TLabel* WebLabel = nullptr;
    TEdit* WebEdit = nullptr;
    TLabel* TextColorLabel = nullptr;
    TPanel* TextColorPanel = nullptr;
    TButton* TextColorBtn = nullptr;
    TLabel* TextBGColorLabel = nullptr;
    TPanel* TextBGColorPanel = nullptr;
    TButton* TextBGColorBtn = nullptr;
    TCheckBox* TransparentCheckBox = nullptr;

    TLabel* FlashFileLabel = nullptr;
    TButton* OpenBtn = nullptr;
    TPanel* FlashPanel = nullptr;
    // Fills FlashPanel's inner area.
    std::unique_ptr<TShockwaveFlash> FlashPlayer;
    // Plays the movie over FlashPlayer, as it will be installed, where that is no Flash control
    // and the web view is at hand; null otherwise.
    std::unique_ptr<TWebPreview> WebPreview;
    TCheckBox* LoopCheckBox = nullptr;
    TButton* PlayBtn = nullptr;

    TLabel* OutputFileLabel = nullptr;
    TButton* ChangeFileBtn = nullptr;
    TLabel* LogLabel = nullptr;
    TMemo* LogMemo = nullptr;
    TCheckBox* RunCheckBox = nullptr;
    TButton* GenerateBtn = nullptr;

    TMainMenu* MainMenu = nullptr;
    TMenuItem* MMFile = nullptr;
    TMenuItem* MMNewProject = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* MMOpenProject = nullptr;
    TMenuItem* MMSaveProject = nullptr;
    TMenuItem* MMSaveForLively = nullptr;
    TMenuItem* N2 = nullptr;
    TMenuItem* MMExit = nullptr;
    TMenuItem* MMOptions = nullptr;
    TMenuItem* MMWallpaperInfo = nullptr;
    TMenuItem* MMFlashMovie = nullptr;
    TMenuItem* MMOutput = nullptr;
    TMenuItem* MMHelp = nullptr;
    TMenuItem* MMMuravelHelp = nullptr;
    TMenuItem* N3 = nullptr;
    TMenuItem* MMHomepage = nullptr;
    TMenuItem* N4 = nullptr;
    TMenuItem* MMAbout = nullptr;

    TOpenDialog OpenProjectDialog{"OpenProjectDialog", "Zenvoy Muravel Projects|*.zvrk", "zvrk",
                                  OFN_HIDEREADONLY | OFN_ENABLESIZING};
    TSaveDialog SaveProjectDialog{"SaveProjectDialog", "Zenvoy Muravel Projects|*.zvrk", "zvrk",
                                  OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING};
    TOpenDialog OpenDialog{"OpenDialog",
                           "All Flash Files|*.swf;*.flv|Flash Movies|*.swf|Flash Videos|*.flv", "",
                           OFN_HIDEREADONLY | OFN_ENABLESIZING};
    TSaveDialog SaveDialog{"SaveDialog", "Executable Files|*.exe", "exe",
                           OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING};
    TSaveDialog ZipDialog{"ZipDialog", "Lively Wallpaper Archives|*.zip", "zip",
                          OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING};
    TColorDialog ColorDialog{"ColorDialog", CC_FULLOPEN | CC_ANYCOLOR};
    TTimer AutoLoadTimer{"AutoLoadTimer", false, 100};
    // Writes the folder WebPreview plays a moment after the last change that needs one, so
    // typing writes it once.
    TTimer PreviewTimer{"PreviewTimer", false, 300};

    // The movie shown in the preview; empty when none.
    std::string FlashPath;
    // The installer file to generate; empty when none.
    std::string OutputPath;

    // Shows the movie at path in the preview and makes it the current movie; nothing happens
    // when path is the current movie already.
    void LoadFlash(const std::string& path);
    // Copies the project file at path into the controls and names it in the caption.
    void LoadProject(const std::string& path);
    // Writes the controls as a project file to path; the window does not change.
    void SaveProject(const std::string& path);

    void FormShow(TComponent* Sender);
    void FormCloseQuery(TComponent* Sender, bool& CanClose);
    void AutoLoadTimerTimer(TComponent* Sender);
    void PreviewTimerTimer(TComponent* Sender);

    void TitleEditKeyPress(TComponent* Sender, char& Key);
    // The title, the licence, the website text and the link keep to the code page the project
    // holds its text in: a character outside it is refused as it arrives, the rest kept.
    void TextEditChange(TComponent* Sender);
    void BGColorBtnClick(TComponent* Sender);
    void TextColorBtnClick(TComponent* Sender);
    void TextBGColorBtnClick(TComponent* Sender);
    void ShowLicenseCheckBoxClick(TComponent* Sender);
    void ShowTextCheckBoxClick(TComponent* Sender);
    void OpenBtnClick(TComponent* Sender);
    // Writes the wallpaper folder of the settings as they are now under the temporary folder
    // and opens its page with the default browser.
    void PlayBtnClick(TComponent* Sender);
    void ChangeFileBtnClick(TComponent* Sender);
    void GenerateBtnClick(TComponent* Sender);

    void MMNewProjectClick(TComponent* Sender);
    void MMOpenProjectClick(TComponent* Sender);
    void MMSaveProjectClick(TComponent* Sender);
    // Writes the wallpaper folder of the settings as they are now as a .zip that Lively
    // Wallpaper imports by drag and drop, where the user chooses.
    void MMSaveForLivelyClick(TComponent* Sender);
    void MMExitClick(TComponent* Sender);
    void MMWallpaperInfoClick(TComponent* Sender);
    void MMFlashMovieClick(TComponent* Sender);
    void MMOutputClick(TComponent* Sender);
    void MMMuravelHelpClick(TComponent* Sender);
    void MMHomepageClick(TComponent* Sender);
    void MMAboutClick(TComponent* Sender);

    // Whether the settings differ from those last loaded or saved.
    bool Modified() const;

private:
    std::string TemplatePath() const;
    // "Zenvoy Muravel - " and name in the window caption and the application title, which
    // always carry the same text.
    void SetProjectName(const std::string& name);
    // The settings as the controls hold them.
    void CopySettingsTo(core::TProject& project) const;
    void RememberSettings();
    // Saves to path, or to the file chosen in SaveProjectDialog when path is empty, and makes it
    // the project's file; false when the dialog was cancelled.
    bool SaveProjectFile(const std::string& path);
    // True when the settings may be replaced: unchanged, or the user said to save them (and
    // they were saved) or to drop them; false when the user cancelled.
    bool CanDropSettings();
    // What the three colour buttons share: the colour dialog on one swatch; false when the
    // user cancelled.
    bool ChangeSwatchColor(TPanel& swatch);
    // Writes the wallpaper folder of the settings as they are now at folder, made anew; the
    // folder goes when the window does.
    // Writes the folder of the window's settings; reuse is a folder written before whose web
    // player files it copies instead of unpacking them again.
    void WritePreviewFolder(const std::string& folder, const std::string& reuse = "");
    // What a folder of the window's settings is written from: the movie, the files beside the
    // program and the web preview's picture of the movie.
    wallpaper::TFolderSources FolderSources() const;
    // A change that WebPreview shows by playing the folder written again, a moment later.
    void PreviewFolderChanged();
    // A change the page that WebPreview plays takes at once, as one of its properties.
    void PreviewPropertyChanged(const std::string& name, const std::string& value);
    // The panel's line that says why the movie does not play in the window; empty for none.
    void SetPlayNote(const std::string& line);

    // The settings as last loaded or saved, the file they came from or went to (empty for a
    // project made from the template), and the name the caption gives the project.
    std::unique_ptr<core::TProject> savedSettings_;
    std::string projectPath_;
    std::string projectName_ = "Untitled";
    std::vector<std::string> previewFolders_;
    // The folder WebPreview plays; empty when none.
    std::string webFolder_;
    // The code page of the project's text: the one the project records, else the system's.
    rtl::TCodePage codePage_ = rtl::TCodePage::System();
    // While the background is the template's and nobody chose one, a Flash movie brings its
    // own stage colour; a video brings back the template's.
    bool backgroundFollowsMovie_ = false;
    core::TColor templateBackground_ = core::clBlack;
};

} // namespace ui
