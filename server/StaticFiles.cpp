#include "server/StaticFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const char* MediaType(const std::string& extension) {
    static const std::pair<const char*, const char*> kTypes[] = {
        {".html", "text/html; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".mjs", "text/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".json", "application/json"},
        {".wasm", "application/wasm"},
        {".txt", "text/plain; charset=utf-8"},
        {".png", "image/png"},
        {".jpg", "image/jpeg"},
        {".bmp", "image/bmp"},
        {".ico", "image/x-icon"},
        {".svg", "image/svg+xml"},
        {".wav", "audio/wav"},
        {".mid", "audio/midi"},
        {".MID", "audio/midi"},
    };
    for (const auto& [ext, type] : kTypes) {
        if (extension == ext) {
            return type;
        }
    }
    return "application/octet-stream";
}

}  // namespace

ApiResponse ServeStatic(const std::string& siteDir, const std::string& target, bool readable) {
    const std::string path = target.substr(0, target.find('?'));
    if (path == "/play") {
        ApiResponse moved = ErrorResponse(301, "moved to /play/");
        moved.headers.emplace_back("Location", "/play/");
        return moved;
    }
    if (path.rfind("/play/", 0) != 0) {
        return ErrorResponse(404, "no such page");
    }
    if (!readable) {
        ApiResponse response = ErrorResponse(405, "use GET");
        response.headers.emplace_back("Allow", "GET, HEAD");
        return response;
    }
    std::string relative;
    if (!PercentDecode(path.substr(6), relative) || relative.find('\0') != std::string::npos) {
        return ErrorResponse(400, "the path has a malformed %-escape");
    }
    // No segment may climb out of the site, however it is spelled.
    std::stringstream segments(relative);
    for (std::string segment; std::getline(segments, segment, '/');) {
        if (segment == ".." || segment.find('\\') != std::string::npos) {
            return ErrorResponse(404, "no such page");
        }
    }
    std::filesystem::path file = std::filesystem::path(siteDir) / relative;
    std::error_code ec;
    if (relative.empty() || relative.back() == '/' || std::filesystem::is_directory(file, ec)) {
        file /= "index.html";
    }
    if (!std::filesystem::is_regular_file(file, ec)) {
        return ErrorResponse(404, "no such page");
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in) {
        return ErrorResponse(404, "no such page");
    }
    ApiResponse response;
    response.contentType = MediaType(file.extension().string());
    response.body = bytes.str();
    return response;
}
