#include "app/ReplayScript.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "platform/Keys.h"
#include "world/World.h"

namespace {

const struct {
    const char* name;
    int vk;
} kKeys[] = {{"up", VK_UP},       {"down", VK_DOWN},      {"left", VK_LEFT},
             {"right", VK_RIGHT}, {"ctrl", VK_CONTROL},   {"shift", VK_SHIFT},
             {"space", VK_SPACE}, {"escape", VK_ESCAPE},  {"enter", VK_RETURN},
             {"f1", VK_F1},       {"backspace", VK_BACK}, {"delete", VK_DELETE},
             {"home", VK_HOME},   {"end", VK_END}};

// Where a line holds something other than text: a control character or
// bytes that are not UTF-8. -1 when it is all text.
int FirstNonText(const std::string& line) {
    size_t i = 0;
    while (i < line.size()) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c < 0x80) {
            if ((c < 0x20 && c != '\t') || c == 0x7F) {
                return static_cast<int>(i);
            }
            ++i;
            continue;
        }
        const size_t n = c >= 0xC2 && c <= 0xDF   ? 2
                         : c >= 0xE0 && c <= 0xEF ? 3
                         : c >= 0xF0 && c <= 0xF4 ? 4
                                                  : 0;
        if (n == 0 || i + n > line.size()) {
            return static_cast<int>(i);
        }
        for (size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(line[i + k]) & 0xC0) != 0x80) {
                return static_cast<int>(i);
            }
        }
        i += n;
    }
    return -1;
}

}  // namespace

int ReplayKeyCode(const std::string& name) {
    for (const auto& k : kKeys) {
        if (name == k.name) {
            return k.vk;
        }
    }
    return 0;
}

std::string ReplayKeyName(int vk) {
    for (const auto& k : kKeys) {
        if (vk == k.vk) {
            return k.name;
        }
    }
    return "";
}

bool ParseReplayScript(std::istream& in, std::vector<ScriptEvent>& events, std::string& error,
                       RecordingInfo* info) {
    RecordingInfo own;
    RecordingInfo& rec = info != nullptr ? *info : own;
    rec = RecordingInfo{};
    std::vector<ScriptEvent> read;
    std::string line;
    int lineNo = 0;
    const auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (const int at = FirstNonText(line); at >= 0) {
            char why[96];
            std::snprintf(why, sizeof why, "not a line of text (byte 0x%02X at column %d)",
                          static_cast<unsigned char>(line[static_cast<size_t>(at)]), at + 1);
            return fail(why);
        }
        if (lineNo == 1 && line == RecordingInfo::kMagic) {
            rec.isRecording = true;
        }
        if (rec.isRecording && in.eof()) {
            // A recording ends every line it writes; this one was cut short.
            return fail("cut off (the last line has no end of line)");
        }
        std::istringstream words(line);
        std::string tickText, verb;
        if (!(words >> tickText)) {
            continue;
        }
        if (tickText[0] == '#') {
            std::string why;
            if (rec.isRecording && lineNo > 1 && !rec.TakeComment(line, why)) {
                return fail(why);
            }
            continue;
        }
        if (!rec.finalState.empty()) {
            return fail("an event after the final state");
        }
        char* end = nullptr;
        const unsigned long long tick = std::strtoull(tickText.c_str(), &end, 10);
        if (*end != '\0' || tick == 0 || tickText[0] == '-' || tick > RecordingInfo::kLastTick) {
            return fail("tick must be a number from 1 to " +
                        std::to_string(RecordingInfo::kLastTick));
        }
        if (rec.isRecording && !read.empty() && tick < read.back().tick) {
            return fail("tick " + std::to_string(tick) + " comes after tick " +
                        std::to_string(read.back().tick));
        }
        if (!(words >> verb)) {
            return fail("missing action");
        }
        ScriptEvent ev;
        ev.tick = tick;
        if (verb == "down" || verb == "up") {
            std::string key;
            words >> key;
            const int vk = ReplayKeyCode(key);
            if (vk == 0) {
                return fail("unknown key '" + key + "'");
            }
            ev.msg.kind = verb == "down" ? MessageKind::KeyDown : MessageKind::KeyUp;
            ev.msg.key = vk;
        } else if (verb == "text") {
            // Everything after the one blank that follows the verb, blanks included.
            const size_t at = line.find("text") + 4;
            ev.msg.kind = MessageKind::Text;
            ev.msg.text = at < line.size() ? line.substr(at + 1) : std::string();
        } else {
            return fail("unknown action '" + verb + "'");
        }
        read.push_back(ev);
    }
    events.insert(events.end(), read.begin(), read.end());
    return true;
}

std::string StateDifferences(const std::string& now, const std::string& recorded) {
    const auto words = [](const std::string& line) {
        std::vector<std::string> out;
        size_t at = 0;
        while (at < line.size()) {
            const size_t end = std::min(line.find(' ', at), line.size());
            out.push_back(line.substr(at, end - at));
            at = end + 1;
        }
        return out;
    };
    const std::vector<std::string> a = words(now);
    const std::vector<std::string> b = words(recorded);
    std::string text;
    for (size_t i = 1; i < a.size(); ++i) {
        const size_t eq = a[i].find('=');
        if (eq == std::string::npos || (i < b.size() && a[i] == b[i])) {
            continue;
        }
        const std::string then = i < b.size() && b[i].compare(0, eq + 1, a[i], 0, eq + 1) == 0
                                     ? b[i].substr(eq + 1)
                                     : "none";
        text += (text.empty() ? "" : ", ") + a[i].substr(0, eq) + " " + a[i].substr(eq + 1) +
                " (recorded: " + then + ")";
    }
    return text;
}

std::string FormatState(const World& game, uint64_t tick) {
    const char* screen = !game.waitingForStart ? "playing" : game.gameOver ? "scores" : "title";
    const double facing =
        std::atan2(game.hero.orientation[1], game.hero.orientation[0]) * 180.0 / M_PI;
    char text[256];
    std::snprintf(text, sizeof text,
                  "state tick=%llu screen=%s level=%d lives=%d score=%d enemies=%d bombs=%d "
                  "hero=%.3f,%.3f,%.3f facing=%.1f",
                  static_cast<unsigned long long>(tick), screen, game.board.level + 1, game.lives,
                  game.score, game.enemies.enemies.count, game.bombs.bombs.count,
                  game.hero.position.x, game.hero.position.y, game.hero.position.z,
                  facing == 0.0 ? 0.0 : facing);
    return text;
}
