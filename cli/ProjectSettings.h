#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Arguments.h"
#include "core/Colors.h"
#include "core/MovieInfoUnit.h"
#include "core/ProjectUnit.h"
#include "rtl/CodePage.h"

namespace cli {

// The options that set a project's settings, one for each setting of the project file.
const std::vector<TArguments::TOption>& SettingOptions();

// Whether any of the setting options was given.
bool HasSettings(const TArguments& args);

// Applies the setting options given, in their order, to project: text is converted into the
// code page, paths are made full first, as the window's dialogs give them. A value that is not
// one the setting takes raises EUsage naming the option and the value; an unreadable licence or
// text file raises its file error.
void ApplySettings(const TArguments& args, const rtl::TCodePage& codePage, core::TProject& project);

// A file name in the temporary folder for a project's scratch INI, unique to this call.
std::string ScratchIniPath();

// The code page of --codepage, 1252 when it is not given; EUsage for a value that is no number.
rtl::TCodePage CodePageOf(const TArguments& args);

// The code page of a project read from a file: the one the file records. A file of an earlier
// version records none: --codepage then says which, and the project records it from now on;
// without it the text is taken as 1252, as it always was, and nothing is recorded. A
// --codepage other than the recorded one raises EUsage, since the text would then mix two.
rtl::TCodePage CodePageOf(const TArguments& args, core::TProject& project);

// options followed by the setting options and --codepage.
std::vector<TArguments::TOption> WithSettings(std::vector<TArguments::TOption> options);

// Where installer.dat, the player files and the template project are: --assets, else beside
// the tool.
std::string AssetsFolder(const TArguments& parsed);

// The settings given, after which a movie given must pass the check an installer's movie must;
// a movie that does not raises rtl::Exception with why. Returns what the movie's header says,
// where one was given.
std::optional<core::TMovieInfo> ApplyCheckedSettings(const TArguments& parsed,
                                                     const rtl::TCodePage& codePage,
                                                     core::TProject& project);

// A new project as the window starts one: the template's settings under a GUID of their own,
// or with --no-template the plain defaults, its text in codePage; then the settings given.
// Without --background a Flash movie brings its own stage colour.
void NewProject(const TArguments& parsed, const rtl::TCodePage& codePage, core::TProject& project);

// A colour as the project file's texts give it (a name such as clWhite, $00BBGGRR or a decimal
// number) or as #RRGGBB; EUsage naming option otherwise.
core::TColor ParseColor(const std::string& option, const std::string& text);

} // namespace cli
