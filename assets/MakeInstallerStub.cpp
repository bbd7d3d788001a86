// Writes installer.dat: the stub's program followed by the web player it carries and the
// wallpaper host it installs. The player is, from Ruffle's npm package, the loader ruffle.js, the
// core and WebAssembly pair it loads in a browser with every WebAssembly extension (current
// Chromium) and the licences; with them the page's own script. The pair's names carry content
// hashes, so they are read from ruffle.js, not written down here. The scripts, the module and
// the host are taken from PACKED_FOLDER as PackLzma.py left them, LZMA-compressed, which the
// installer unpacks: a third less to download than with zlib.
//     make-installer-stub PROGRAM RUFFLE_PACKAGE_FOLDER PACKED_FOLDER PAGE_SCRIPT OUTPUT
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/CompileUnit.h"
#include "rtl/Errors.h"
#include "rtl/Streams.h"
#include "wallpaper/SafeNames.h"
#include "wallpaper/WebPlayer.h"

namespace {

std::string ReadFile(const std::string& path) {
    rtl::TMemoryStream file;
    file.LoadFromFile(path);
    return file.ToString();
}

// The digits at text[at...].
std::string Digits(const std::string& text, size_t at) {
    size_t end = at;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    if (end == at)
        throw std::runtime_error("ruffle.js is not laid out as expected near offset " +
                                 std::to_string(at));
    return text.substr(at, end - at);
}

size_t Find(const std::string& text, const std::string& what, size_t from = 0) {
    const size_t at = text.find(what, from);
    if (at == std::string::npos)
        throw std::runtime_error("ruffle.js has no \"" + what + "\"");
    return at;
}

// The text between the quotes that follow marker.
std::string QuotedAfter(const std::string& text, const std::string& marker, size_t from) {
    const size_t start = Find(text, marker, from) + marker.size();
    return text.substr(start, Find(text, "\"", start) - start);
}

struct TPair {
    std::string Core; // core.ruffle.<hash>.js
    std::string Wasm; // <hash>.wasm
};

// The loader chooses its module right after saying it would fall back to the vanilla one:
//   n?a.e(655).then(()=>a(655)):a.e(482)...;const s=n?new URL(a(797),a.b):new URL(a(124),a.b)
// the first chunk and module named there are the ones with the extensions.
TPair ExtensionsPair(const std::string& loader) {
    const size_t choice = Find(loader, "falling back to the vanilla WebAssembly module");
    const std::string chunk = Digits(loader, Find(loader, ".e(", choice) + 3);
    const size_t url = Find(loader, "new URL(", choice) + 8;
    const std::string module = Digits(loader, Find(loader, "(", url) + 1);

    // "core.ruffle."+{482:"f000070ea72f8ae4fe3a",655:"c80159b526e567babaf5"}[e]+".js"
    const size_t names = Find(loader, "\"core.ruffle.\"+{");
    const size_t end = Find(loader, "}", names);
    size_t entry = loader.find("," + chunk + ":\"", names);
    if (entry == std::string::npos || entry > end)
        entry = loader.find("{" + chunk + ":\"", names);
    if (entry == std::string::npos || entry > end)
        throw std::runtime_error("ruffle.js names no file for chunk " + chunk);
    TPair pair;
    pair.Core = "core.ruffle." + QuotedAfter(loader, ":\"", entry) + ".js";

    // 797(e,n,a){e.exports=a.p+"826bb0938097485a2c9d.wasm"}
    for (size_t at = loader.find(module + "("); at != std::string::npos;
         at = loader.find(module + "(", at + 1)) {
        const char before = at > 0 ? loader[at - 1] : ' ';
        const size_t path = loader.find(".p+\"", at);
        if ((before != ',' && before != '{') || path == std::string::npos || path - at > 40)
            continue;
        pair.Wasm = QuotedAfter(loader, ".p+\"", at);
        break;
    }
    if (pair.Wasm.size() < 6 || pair.Wasm.compare(pair.Wasm.size() - 5, 5, ".wasm") != 0)
        throw std::runtime_error("ruffle.js names no WebAssembly file for module " + module);
    return pair;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: make-installer-stub PROGRAM RUFFLE_PACKAGE_FOLDER "
                             "PACKED_FOLDER PAGE_SCRIPT OUTPUT\n");
        return 2;
    }
    const std::string package = std::string(argv[2]) + "/";
    try {
        const std::string loader = ReadFile(package + wallpaper::TWebPlayer::PlayerScript);
        const TPair pair = ExtensionsPair(loader);

        using TFile = wallpaper::TWebPlayer::TFile;
        std::vector<TFile> files;
        std::vector<std::string> contents;
        const auto add = [&](TFile file, std::string content) {
            files.push_back(std::move(file));
            contents.push_back(std::move(content));
        };
        const std::string packed = std::string(argv[3]) + "/";
        const auto lzma = [&](TFile file) {
            file.Lzma = true;
            add(file, ReadFile(packed + file.Name + ".lzma"));
        };
        add({wallpaper::TWebPlayer::PageScript, "", "", false}, ReadFile(argv[4]));
        lzma({wallpaper::TWebPlayer::PlayerScript, "", "", false});
        lzma({pair.Core, "", "", false});
        TFile module{"ruffle-wasm.js", pair.Wasm, "application/wasm", false};
        module.Lzma = true;
        add(module, ReadFile(packed + pair.Wasm + ".lzma"));
        add({"ruffle-LICENSE_MIT.txt", "", "", false}, ReadFile(package + "LICENSE_MIT"));
        add({"ruffle-LICENSE_APACHE.txt", "", "", false}, ReadFile(package + "LICENSE_APACHE"));
        TFile host{wallpaper::HostFileName, "", "", false};
        host.Program = true;
        lzma(host);

        const std::string program = ReadFile(argv[1]);
        core::TCompileStream writer;
        const auto addEntry = [&](const std::string& bytes) {
            rtl::TMemoryView view(reinterpret_cast<const uint8_t*>(bytes.data()),
                                  static_cast<int64_t>(bytes.size()));
            writer.AddStream(view, true);
        };
        addEntry(wallpaper::TWebPlayer::ListText(files));
        for (const std::string& content : contents)
            addEntry(content);
        rtl::TMemoryStream stub;
        stub.WriteBuffer(program.data(), static_cast<int64_t>(program.size()));
        stub.CopyFrom(writer.Compile(), 0);
        stub.SaveToFileReplacing(argv[5]);
    } catch (const rtl::Exception& error) {
        std::fprintf(stderr, "make-installer-stub: %s\n", error.Message.c_str());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-installer-stub: %s\n", error.what());
        return 1;
    }
    return 0;
}
