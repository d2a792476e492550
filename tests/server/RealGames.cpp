#include "RealGames.h"

#include <fstream>
#include <sstream>

#include "server/GameVerifier.h"

namespace {

std::string Header() {
    return "# quorvax recording\n# rules " + std::string(RulesVersion()) +
           "\n# system linux\n# file scores.dat absent\n";
}

// The key lines of a pinned replay before tick `before`.
std::string PinnedKeys(const std::string& name, unsigned long before) {
    std::ifstream in(std::string(QUORVAX_REPLAYS_DIR) + "/" + name + ".txt");
    std::string keys, line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] != '#' && std::stoul(line) < before) {
            keys += line + "\n";
        }
    }
    return keys;
}

// Closes `recording` at `tick` with the state the program is in there, as
// the game writes it when it ends (read back from the replay's answer).
std::string Closed(const std::string& recording, unsigned long tick) {
    const std::string probe = recording + "# final state tick=" + std::to_string(tick) + " ?\n";
    const std::string reason = VerifyRecording(probe, {}).reason;
    const std::string marker = "replayed \"";
    const size_t at = reason.find(marker);
    if (at == std::string::npos) {
        return probe;
    }
    const std::string state =
        reason.substr(at + marker.size(), reason.size() - at - marker.size() - 1);
    return recording + "# final " + state + "\n";
}

}  // namespace

std::string WholeGameRecording() {
    return Closed(Header() + PinnedKeys("whole_game", 1000000), 774);
}

std::string BombedGameRecording(int wait) {
    std::ostringstream keys;
    // Space starts a game; a bomb dropped where the hero stands costs a life.
    const unsigned long start = 260 + static_cast<unsigned long>(wait);
    for (const unsigned long life : {start, start + 55, start + 110}) {
        keys << life << " down space\n"
             << life + 1 << " up space\n"
             << life + 5 << " down ctrl\n"
             << life + 6 << " up ctrl\n";
    }
    return Closed(Header() + PinnedKeys("bombs_and_lives", 244) + keys.str(), start + 200);
}
