// The web page of a saved movie.
#include "publish/WebPage.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "common/FileIO.h"
#include "common/PercentEncoding.h"
#include "common/SystemReason.h"
#include "common/Texts.h"
#include "publish/ProgramFiles.h"
#include "publish/Refusal.h"
#include "publish/WebPageName.h"
#include "swf/MovieProbe.h"

namespace tarvenox {

namespace fs = std::filesystem;

std::string htmlEscaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

namespace {

std::string hexColor(std::int32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb) & 0xFFFFFFu);
    return text;
}

// The player's own files: its script, the chunks it loads and their WebAssembly, and
// its licences; the source maps are only for debugging the player.
Report copyPlayer(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::create_directories(to, error);
    if (error || !fs::is_directory(to)) return failedWith(text("html.noPlayerFolder", {to.string()}));
    for (const auto& entry : fs::directory_iterator(from, error)) {
        const fs::path name = entry.path().filename();
        if (!entry.is_regular_file() || name.extension() == ".map" || name == "package.json") continue;
        fs::copy_file(entry.path(), to / name, fs::copy_options::overwrite_existing, error);
        if (error) return failedWith((to / name).string() + ": " + systemReason(error));
    }
    if (error) return failedWith(from.string() + ": " + systemReason(error));
    return {};
}

}  // namespace

std::string webPageHtml(const WebPageMovie& movie) {
    const std::string title = htmlEscaped(fs::path(movie.fileName).stem().string());
    const std::string movieUrl = htmlEscaped(percentEncoded(movie.fileName));
    const std::string filesUrl = htmlEscaped(percentEncoded(movie.filesName) + "/");
    const std::string width = std::to_string(movie.width);
    const std::string height = std::to_string(movie.height);
    return "<!doctype html>\n<html><head><meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<title>" +
           title +
           "</title>\n<style>\n"
           "  html, body { margin: 0; height: 100%; background: " +
           hexColor(movie.background) +
           "; }\n"
           "  body { display: flex; align-items: center; justify-content: center; overflow: hidden; }\n"
           "  /* As large as the window allows, in the movie's proportions. */\n"
           "  #movie { width: min(100vw, calc(100vh * " +
           width + " / " + height + ")); aspect-ratio: " + width + " / " + height +
           "; }\n"
           "  #movie > * { width: 100%; height: 100%; }\n"
           "  noscript p { font: 16px sans-serif; padding: 1em; }\n"
           "</style></head>\n<body>\n"
           "<div id=\"movie\"></div>\n"
           "<noscript><p>This page plays a Flash movie with the Ruffle player, which needs JavaScript. "
           "Turn JavaScript on, or <a href=\"" +
           movieUrl +
           "\">download the movie</a>.</p></noscript>\n"
           "<script>\n"
           "  window.RufflePlayer = window.RufflePlayer || {};\n"
           "  window.RufflePlayer.config = { publicPath: \"" +
           filesUrl +
           "\", polyfills: false };\n"
           "</script>\n"
           "<script src=\"" +
           filesUrl +
           "ruffle.js\"></script>\n"
           "<script>\n"
           "  const player = window.RufflePlayer.newest().createPlayer();\n"
           "  document.getElementById(\"movie\").appendChild(player);\n"
           "  player.ruffle().load({ url: \"" +
           movieUrl +
           "\", autoplay: \"on\", unmuteOverlay: \"hidden\",\n"
           "    splashScreen: false, backgroundColor: \"" +
           hexColor(movie.background) +
           "\", letterbox: \"on\",\n"
           "    openUrlMode: \"deny\", allowScriptAccess: false, contextMenu: \"rightClickOnly\" });\n"
           "</script>\n</body></html>\n";
}

std::string movieOutput(const std::string& output, bool html) {
    if (!html) return output;
    return pageMoviePath(output).value_or(output);
}

Report writeWebPage(const std::string& moviePath) {
    const auto share = programFilesFolder();
    const ProgramFiles files = programFilesIn(share.value_or(""));
    if (!share || !playerInstalled(files)) {
        return failedWith("--html: " + text("html.noPlayer"));
    }
    const fs::path movie(moviePath);
    const auto frame = probeFrameSize(moviePath);
    if (!frame) return failedWith(text("html.noStageSize", {moviePath}));
    WebPageMovie page;
    page.fileName = movie.filename().string();
    page.filesName = movie.stem().string() + "_files";
    page.width = std::max(1, static_cast<int>(std::lround(frame->first / 20.0)));
    page.height = std::max(1, static_cast<int>(std::lround(frame->second / 20.0)));
    page.background = probeBackgroundColor(moviePath).value_or(0xFFFFFF);

    if (Report copied = copyPlayer(files.player, movie.parent_path() / page.filesName); copied.failed()) return copied;
    fs::path html = movie;
    html.replace_extension(".html");
    if (Report written = writeFileAtomically(html.string(), asBytes(webPageHtml(page))); written.failed()) {
        return failedWith(written.reason());
    }
    return {};
}

}  // namespace tarvenox
