#pragma once

#include <string>
#include <vector>

#include "Arguments.h"
#include "core/Colors.h"
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

// A colour as the project file's texts give it (a name such as clWhite, $00BBGGRR or a decimal
// number) or as #RRGGBB; EUsage naming option otherwise.
core::TColor ParseColor(const std::string& option, const std::string& text);

} // namespace cli
