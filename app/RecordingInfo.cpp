#include "app/RecordingInfo.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

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

RecordingInfo::File Describe(const std::string& name) {
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

std::string Describe(const RecordingInfo::File& f) {
    if (!f.present) {
        return "absent";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%" PRIu64 " crc32 %08" PRIx32, f.size, f.crc);
    return text;
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

RecordingInfo RecordingInfo::OfThisGame() {
    RecordingInfo info;
    info.isRecording = true;
    info.version = QUORVAX_VERSION;
    info.rules = RulesVersion();
    info.system = ThisSystem();
    for (const std::string& name : PlayFiles()) {
        info.files.push_back(Describe(name));
    }
    return info;
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
    if (what == "final") {
        finalState = line.substr(line.find("final") + 6);
        unsigned long long tick = 0;
        char end = 0;
        if (std::sscanf(finalState.c_str(), "state tick=%llu%c", &tick, &end) != 2 || end != ' ') {
            why = "the final line is \"# final state tick=T ...\"";
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
        for (const File& f : now.files) {
            if (f.name == then.name && Describe(f) != Describe(then)) {
                add(f.name + " was " + Describe(then) + ", now " + Describe(f));
            }
        }
    }
    return differences;
}
