#include "app/RecordingInfo.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/Cp1252.h"
#include "scores/ScoreTable.h"
#include "world/RulesVersion.h"

#ifndef QUORVAX_VERSION
#define QUORVAX_VERSION "unknown"
#endif

namespace {

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

std::string Describe(const RecordingInfo::File& f) {
    if (!f.present) {
        return "absent";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%" PRIu64 " crc32 %08" PRIx32, f.size, f.crc);
    return text;
}

// A name's Windows-1252 bytes as UTF-8, for a line of text; a control
// byte (which no recording line may hold) becomes '?'.
std::string Utf8FromCp1252(const std::string& bytes) {
    std::string out;
    for (const char b : bytes) {
        char32_t cp = Cp1252ToUnicode(static_cast<uint8_t>(b));
        cp = IsControlCodePoint(cp) ? U'?' : cp;
        AppendUtf8(out, cp);
    }
    return out;
}

std::string Cp1252FromUtf8(const std::string& text) {
    std::string out;
    for (size_t pos = 0; pos < text.size();) {
        out += Cp1252FromUnicode(NextUtf8(text, pos));
    }
    return out;
}

}  // namespace

const char* RecordingInfo::ThisSystem() {
#if defined(_WIN32)
    return "windows";
#elif defined(__EMSCRIPTEN__)
    return "web";
#else
    return "linux";
#endif
}

const std::vector<std::string>& RecordingInfo::PlayFiles() {
    static const std::vector<std::string> files = {ScoreTable::kFileName};
    return files;
}

RecordingInfo::File RecordingInfo::DescribeFile(const std::string& name) {
    RecordingInfo::File f;
    f.name = name;
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        return f;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    f.present = true;
    f.size = bytes.size();
    f.crc = Crc32(bytes);
    return f;
}

std::string RecordingInfo::FormatHeader() const {
    std::string text = std::string(kMagic) + "\n# version " + version + "\n";
    if (!rules.empty()) {
        text += "# rules " + rules + "\n";
    }
    if (!system.empty()) {
        text += "# system " + system + "\n";
    }
    for (const File& f : files) {
        text += "# file " + f.name + " " + Describe(f) + "\n";
    }
    for (const ScoreEntry& e : table) {
        text += "# table " + std::to_string(e.score) + " " + Utf8FromCp1252(e.name) + "\n";
    }
    return text;
}

std::string RecordingInfo::FormatFinal(const std::string& state) {
    return "# final " + state + "\n";
}

bool RecordingInfo::TakeComment(const std::string& line, std::string& why) {
    std::istringstream words(line.substr(1));
    std::string what;
    words >> what;
    if (what == "version") {
        words >> version;
        return true;
    }
    if (what == "rules" || what == "system") {
        std::string value, extra;
        if (!(words >> value) || (words >> extra)) {
            why = "a " + what + " line is \"# " + what + " NAME\"";
            return false;
        }
        (what == "rules" ? rules : system) = value;
        return true;
    }
    if (what == "file") {
        File f;
        std::string size, kind, crc;
        words >> f.name >> size >> kind >> crc;
        if (size == "absent" && kind.empty()) {
            files.push_back(f);
            return true;
        }
        unsigned long long n = 0;
        unsigned long c = 0;
        char end = 0;
        if (f.name.empty() || kind != "crc32" ||
            std::sscanf(size.c_str(), "%llu%c", &n, &end) != 1 || crc.size() != 8 ||
            std::sscanf(crc.c_str(), "%lx%c", &c, &end) != 1) {
            why = "a file line is \"# file NAME SIZE crc32 HEX\" or \"# file NAME absent\"";
            return false;
        }
        f.present = true;
        f.size = n;
        f.crc = static_cast<uint32_t>(c);
        files.push_back(f);
        return true;
    }
    if (what == "table") {
        ScoreEntry e;
        int length = 0;
        char space = 0;
        if (table.size() >= ScoreTable::kEntries ||
            std::sscanf(line.c_str(), "# table %d%c%n", &e.score, &space, &length) != 2 ||
            space != ' ') {
            why = "a table line is \"# table SCORE NAME\", five at most";
            return false;
        }
        e.name = Cp1252FromUtf8(line.substr(static_cast<size_t>(length)));
        table.push_back(e);
        return true;
    }
    if (what == "final") {
        // "# final" alone has no state after it (and no blank to skip).
        finalState = line.substr(std::min(line.size(), line.find("final") + 6));
        unsigned long long tick = 0;
        char end = 0;
        if (std::sscanf(finalState.c_str(), "state tick=%llu%c", &tick, &end) != 2 || end != ' ' ||
            tick > kLastTick) {
            why = "the final line is \"# final state tick=T ...\", T at most " +
                  std::to_string(kLastTick);
            return false;
        }
        finalTick = tick;
        return true;
    }
    return true;
}

std::string RecordingInfo::DifferencesFrom(const RecordingInfo& now) const {
    std::string differences;
    const auto add = [&](const std::string& what) {
        differences += (differences.empty() ? "" : "; ") + what;
    };
    if (!version.empty() && version != now.version) {
        add("it was made with version " + version + ", this is " + now.version);
    }
    if (!rules.empty() && rules != now.rules) {
        add("it was played by rules " + rules + ", this game plays rules " + now.rules);
    }
    for (const File& then : files) {
        // A recording that carries its table does not read the player's.
        if (!table.empty() && then.name == ScoreTable::kFileName) {
            continue;
        }
        for (const File& f : now.files) {
            if (f.name == then.name && Describe(f) != Describe(then)) {
                add(f.name + " was " + Describe(then) + ", now " + Describe(f));
            }
        }
    }
    return differences;
}
