#include "server/GameVerifier.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

#include "app/Keyboard.h"
#include "app/RecordingInfo.h"
#include "app/ReplayScript.h"
#include "platform/Keys.h"
#include "world/RulesVersion.h"
#include "world/World.h"

namespace {

// The world as a verification plays it: the end of a game is noted; no
// sound, no pause, no table.
class ReplayedWorld : public World {
  public:
    void InsertScore() override { ended = true; }
    bool ended = false;
};

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The scores of the high-score table, where the recording tells them (a
// game started without scores.dat starts from the cleared table): a
// finished game that enters it opens the name dialog, which takes the keys
// until it closes.
struct ScoreTableScores {
    bool known = false;
    int scores[5] = {};

    bool Enters(int score) const {
        return std::any_of(std::begin(scores), std::end(scores),
                           [score](int s) { return s < score; });
    }
    void Insert(int score) {
        int* at = std::find_if(std::begin(scores), std::end(scores),
                               [score](int s) { return s < score; });
        if (at != std::end(scores)) {
            std::move_backward(at, std::end(scores) - 1, std::end(scores));
            *at = score;
        }
    }
    void Clear() { std::fill(std::begin(scores), std::end(scores), 0); }
};

// Where the starting table is not known: whether the input after a game's
// end went to the name dialog. Only the dialog takes typed text or Enter,
// and Escape outside it ends the program; a SPACE that the dialog took
// comes with its typed blank.
bool NameDialogTookInput(const std::vector<ScriptEvent>& events, size_t from) {
    for (size_t i = from; i < events.size(); ++i) {
        const Message& m = events[i].msg;
        if (m.kind == MessageKind::Text) {
            return true;
        }
        if (m.kind != MessageKind::KeyDown) {
            continue;
        }
        const bool more = i + 1 < events.size();
        switch (m.key) {
            case VK_RETURN:
                return true;
            case VK_ESCAPE:
                return more;
            case VK_SPACE:
                return more && events[i + 1].tick == events[i].tick &&
                       events[i + 1].msg.kind == MessageKind::Text;
            default:
                break;
        }
    }
    return false;
}

std::string EventLine(const ScriptEvent& ev) {
    const std::string tick = std::to_string(ev.tick);
    if (ev.msg.kind == MessageKind::Text) {
        return tick + " text " + ev.msg.text + "\n";
    }
    const char* verb = ev.msg.kind == MessageKind::KeyDown ? " down " : " up ";
    return tick + verb + ReplayKeyName(ev.msg.key) + "\n";
}

VerifiedGame Refused(const std::string& why) {
    VerifiedGame v;
    v.reason = why;
    return v;
}

enum class Modal { None, About, Name };

struct EndedGame {
    bool any = false;
    uint64_t startTick = 0;
    uint64_t endTick = 0;
    int score = 0;
    int level = 0;
    std::string state;
    size_t eventsBefore = 0;  // the events delivered up to its end
};

}  // namespace

VerifiedGame VerifyRecording(std::string_view recording, const VerifyLimits& limits) {
    const double cpuStart = ThreadCpuSeconds();
    if (recording.size() > limits.maxBytes) {
        return Refused("too large: " + std::to_string(recording.size()) + " bytes, at most " +
                       std::to_string(limits.maxBytes));
    }
    const std::string_view magic = RecordingInfo::kMagic;
    if (recording.substr(0, magic.size()) != magic ||
        (recording.size() > magic.size() && recording[magic.size()] != '\n' &&
         recording[magic.size()] != '\r')) {
        return Refused("not a recording");
    }
    std::istringstream in{std::string(recording)};
    std::vector<ScriptEvent> events;
    std::string error;
    RecordingInfo info;
    if (!ParseReplayScript(in, events, error, &info)) {
        return Refused(error);
    }
    if (info.rules.empty()) {
        return Refused("the recording states no rules version; this server plays rules " +
                       std::string(RulesVersion()));
    }
    if (info.rules != RulesVersion()) {
        return Refused("recorded with rules " + info.rules + ", this server plays rules " +
                       RulesVersion());
    }
    uint64_t lastTick = info.finalTick;
    for (const ScriptEvent& ev : events) {
        lastTick = std::max(lastTick, ev.tick);
    }
    if (lastTick > limits.maxTicks) {
        return Refused("too long: " + std::to_string(lastTick) + " ticks, at most " +
                       std::to_string(limits.maxTicks));
    }

    ScoreTableScores table;
    for (const RecordingInfo::File& f : info.files) {
        if (f.name == "scores.dat" && !f.present) {
            table.known = true;
        }
    }

    // As MainWindow runs the recorded input: each tick's keys go to the
    // innermost dialog, or to the main window's keys, before the tick runs.
    ReplayedWorld w;
    w.InitBoard();
    w.InitHero();
    w.InitEnemies();
    Modal modal = Modal::None;
    bool inGame = false;
    bool quit = false;
    uint64_t gameStart = 0;
    uint64_t ticksRun = 0;
    EndedGame last;
    size_t next = 0;
    for (uint64_t t = 1; t <= lastTick && !quit; ++t) {
        if ((t & 255) == 0 && ThreadCpuSeconds() - cpuStart > limits.maxCpuSeconds) {
            return Refused("took too long to verify (over " + std::to_string(limits.maxCpuSeconds) +
                           " s of CPU time)");
        }
        for (; next < events.size() && events[next].tick == t && !quit; ++next) {
            const Message& m = events[next].msg;
            if (modal != Modal::None) {
                if (m.kind == MessageKind::KeyDown &&
                    (m.key == VK_RETURN || m.key == VK_ESCAPE ||
                     (modal == Modal::About && m.key == VK_SPACE))) {
                    modal = Modal::None;
                }
                continue;
            }
            if (m.kind == MessageKind::KeyUp) {
                w.keyFlags &= ~KeyBit(m.key);
                continue;
            }
            if (m.kind != MessageKind::KeyDown) {
                continue;  // typed text with no dialog open reaches nothing
            }
            w.keyFlags |= KeyBit(m.key);
            if (m.key == VK_SPACE && w.waitingForStart) {
                if (!inGame) {
                    inGame = true;
                    gameStart = t;
                }
                w.LeaveTitle();
            }
            if (m.key == VK_SHIFT && w.gameOver) {
                table.Clear();
            }
            if (m.key == VK_F1) {
                modal = Modal::About;
            }
            if (m.key == VK_ESCAPE) {
                quit = true;
            }
        }
        if (quit) {
            break;
        }
        w.RunHeldKeys();
        FrameState shown;
        w.Tick(shown);
        ticksRun = t;
        if (w.ended) {
            w.ended = false;
            inGame = false;
            last =
                EndedGame{true, gameStart, t, w.score, w.board.level + 1, FormatState(w, t), next};
            const bool dialog =
                table.known ? table.Enters(w.score) : NameDialogTookInput(events, next);
            if (table.known) {
                table.Insert(w.score);
            }
            if (dialog) {
                modal = Modal::Name;
            }
        }
    }

    // The program ends at the Escape; the releases of keys still held then
    // reach nothing.
    for (size_t i = next; i < events.size(); ++i) {
        if (events[i].msg.kind != MessageKind::KeyUp) {
            return Refused("keys after the program ended (tick " + std::to_string(events[i].tick) +
                           ")");
        }
    }
    if (!last.any) {
        if (!inGame) {
            return Refused("no game ends in the recording");
        }
        return Refused(quit ? "the game was quit before its end"
                            : "the game does not end in the recording (a truncated game)");
    }
    // A game begun after the last one that ended, and left unfinished, is
    // part only of a whole run closed by its final state (checked below).
    if (info.finalState.empty()) {
        // Without a closing state nothing may follow the game's end.
        if (last.eventsBefore < next) {
            return Refused("keys after the game's end at tick " + std::to_string(last.endTick));
        }
    } else {
        if (ticksRun > info.finalTick) {
            return Refused("keys after the end: the final state is at tick " +
                           std::to_string(info.finalTick) + ", the keys go on to tick " +
                           std::to_string(ticksRun));
        }
        const std::string reached = FormatState(w, ticksRun);
        if (reached != info.finalState) {
            return Refused("the recorded final state is not the replay's: recorded \"" +
                           info.finalState + "\", replayed \"" + reached + "\"");
        }
    }

    VerifiedGame v;
    v.ok = true;
    v.score = last.score;
    v.level = last.level;
    v.startTick = last.startTick;
    v.endTick = last.endTick;
    v.rules = info.rules;
    v.system = info.system;
    v.finalState = last.state;
    // The canonical text holds only what decides the game: the rules, the
    // files that shape play, the keys up to its end and the state there.
    v.canonical = std::string(RecordingInfo::kMagic) + "\n# rules " + info.rules + "\n";
    for (const RecordingInfo::File& f : info.files) {
        char line[128];
        if (f.present) {
            std::snprintf(line, sizeof line, " %llu crc32 %08x\n",
                          static_cast<unsigned long long>(f.size), static_cast<unsigned>(f.crc));
        } else {
            std::snprintf(line, sizeof line, " absent\n");
        }
        v.canonical += "# file " + f.name + line;
    }
    for (size_t i = 0; i < last.eventsBefore; ++i) {
        v.canonical += EventLine(events[i]);
    }
    v.canonical += RecordingInfo::FormatFinal(last.state);
    return v;
}
