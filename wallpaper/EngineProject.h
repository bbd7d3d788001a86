#pragma once

#include <string>

#include "LivelyInfo.h"

namespace wallpaper {

// Wallpaper Engine's project.json, which makes the folder one of its web wallpapers: the page,
// its title and description, and under general.properties the settings the page takes, the
// same as LivelyProperties.json's with the same defaults, in Wallpaper Engine's kinds: the
// background a "color" ("r g b", each 0 to 1), the text a "bool", the fit a "combo", the volume
// a "slider". Its keys are lower case, as Wallpaper Engine's are; the page's
// wallpaperPropertyListener takes them.
std::string EngineProjectJson(const TLivelyInfo& info, const TLivelyProperties& properties);

} // namespace wallpaper
