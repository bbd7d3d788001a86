#include "WebPlayer.h"

#include "SafeNames.h"
#include "core/PeImage.h"
#include "rtl/TextUtils.h"

namespace wallpaper {

namespace {

const char* const Damaged = "The web player it carries is damaged.";

} // namespace

std::string TWebPlayer::PartName(const TFile& file) {
    return "The web player's file \"" + file.Name + "\"";
}

std::string TWebPlayer::ListText(const std::vector<TFile>& files) {
    std::string text;
    for (const TFile& file : files) {
        text += file.Name;
        if (file.IsData())
            text += "\t" + file.Url + "\t" + file.Type + "\t" +
                    (file.Gzip   ? "gzip"
                     : file.Lzma ? "lzma"
                                 : "raw");
        else if (file.Program)
            text += "\tprogram";
        if (!file.IsData() && file.Lzma)
            text += "\tlzma";
        text += "\n";
    }
    return text;
}

TWebPlayer::TWebPlayer(const uint8_t* stub, int64_t size) {
    const std::optional<int64_t> end = core::ProgramEnd(stub, size);
    if (!end || *end >= size)
        throw EDamaged("The web player it should carry is not there.");
    programSize_ = *end;
    try {
        pack_.emplace(stub + *end, size - *end);
    } catch (const EDamaged&) {
        throw EDamaged(Damaged);
    }
    std::string list = pack_->InflateToString(0, "The web player's list of files");
    if (list.empty() || list.back() != '\n')
        throw EDamaged(Damaged);
    list.pop_back();
    bool page = false, player = false;
    for (const std::string& line : rtl::Split(list, '\n')) {
        const std::vector<std::string> fields = rtl::Split(line, '\t');
        TFile file;
        file.Name = fields[0];
        if (fields.size() == 4 && !fields[1].empty() &&
            (fields[3] == "gzip" || fields[3] == "raw" || fields[3] == "lzma")) {
            file.Url = fields[1];
            file.Type = fields[2];
            file.Gzip = fields[3] == "gzip";
            file.Lzma = fields[3] == "lzma";
        } else if (fields.size() <= 3) {
            size_t at = 1;
            file.Program = at < fields.size() && fields[at] == "program";
            at += file.Program ? 1 : 0;
            file.Lzma = at < fields.size() && fields[at] == "lzma";
            at += file.Lzma ? 1 : 0;
            if (at != fields.size())
                throw EDamaged(Damaged);
        } else {
            throw EDamaged(Damaged);
        }
        // The names go into the uninstaller's record, which takes plain names only.
        if (file.Name.empty() || SafeFileName(file.Name) != file.Name)
            throw EDamaged(Damaged);
        for (const TFile& earlier : files_)
            if (rtl::SameTextAscii(earlier.Name, file.Name))
                throw EDamaged(Damaged);
        page = page || file.Name == PageScript;
        player = player || file.Name == PlayerScript;
        files_.push_back(file);
    }
    if (!page || !player || static_cast<int32_t>(files_.size()) != pack_->Count() - 1)
        throw EDamaged(Damaged);
}

} // namespace wallpaper
