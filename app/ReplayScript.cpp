#include "app/ReplayScript.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "game/Game.h"
#include "platform/Keys.h"

int ReplayKeyCode(const std::string& name) {
    static const struct {
        const char* name;
        int vk;
    } kKeys[] = {{"up", VK_UP},       {"down", VK_DOWN},      {"left", VK_LEFT},
                 {"right", VK_RIGHT}, {"ctrl", VK_CONTROL},   {"shift", VK_SHIFT},
                 {"space", VK_SPACE}, {"escape", VK_ESCAPE},  {"enter", VK_RETURN},
                 {"f1", VK_F1},       {"backspace", VK_BACK}, {"delete", VK_DELETE},
                 {"home", VK_HOME},   {"end", VK_END}};
    for (const auto& k : kKeys) {
        if (name == k.name) {
            return k.vk;
        }
    }
    return 0;
}

bool ParseReplayScript(std::istream& in, std::vector<ScriptEvent>& events, std::string& error) {
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::istringstream words(line);
        std::string tickText, verb;
        if (!(words >> tickText) || tickText[0] == '#') {
            continue;
        }
        char* end = nullptr;
        const unsigned long long tick = std::strtoull(tickText.c_str(), &end, 10);
        if (*end != '\0' || tick == 0 || tickText[0] == '-') {
            error = "line " + std::to_string(lineNo) + ": tick must be a number from 1";
            return false;
        }
        if (!(words >> verb)) {
            error = "line " + std::to_string(lineNo) + ": missing action";
            return false;
        }
        ScriptEvent ev;
        ev.tick = tick;
        if (verb == "down" || verb == "up") {
            std::string key;
            words >> key;
            const int vk = ReplayKeyCode(key);
            if (vk == 0) {
                error = "line " + std::to_string(lineNo) + ": unknown key '" + key + "'";
                return false;
            }
            ev.msg.kind = verb == "down" ? MessageKind::KeyDown : MessageKind::KeyUp;
            ev.msg.key = vk;
        } else if (verb == "text") {
            // Everything after the one blank that follows the verb, blanks included.
            const size_t at = line.find("text") + 4;
            ev.msg.kind = MessageKind::Text;
            ev.msg.text = at < line.size() ? line.substr(at + 1) : std::string();
        } else {
            error = "line " + std::to_string(lineNo) + ": unknown action '" + verb + "'";
            return false;
        }
        events.push_back(ev);
    }
    return true;
}

std::string FormatState(const Game& game, uint64_t tick) {
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
