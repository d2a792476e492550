#include <cstdint>
#include <optional>
#include <sstream>
#include <string_view>

#include "app/Settings.h"
#include "platform/PhysicalKeys.h"

// The browser's build turns exceptions off; the library reports errors as results.
#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

namespace {

// Reads known names out of the parsed file into the settings; what is bad
// is logged with its line and left at its default.
class Reader {
  public:
    Reader(const toml::table& root, const std::string& fileName, std::vector<std::string>& log)
        : root_(root), fileName_(fileName), log_(log) {}

    // The section's table, or null (a section that is no table is logged).
    const toml::table* Section(const char* name) {
        const toml::node* node = root_.get(name);
        if (node == nullptr) {
            return nullptr;
        }
        if (!node->is_table()) {
            Bad(*node, name, "not a section");
            return nullptr;
        }
        return node->as_table();
    }

    void Int(const toml::table* t, const char* name, int lo, int hi, int& out) {
        const toml::node* node = Find(t, name);
        if (node == nullptr) {
            return;
        }
        const std::optional<int64_t> v = node->value_exact<int64_t>();
        if (!v || *v < lo || *v > hi) {
            Bad(*node, name,
                "not a whole number from " + std::to_string(lo) + " to " + std::to_string(hi));
            return;
        }
        out = static_cast<int>(*v);
    }

    void Bool(const toml::table* t, const char* name, bool& out) {
        const toml::node* node = Find(t, name);
        if (node == nullptr) {
            return;
        }
        if (!node->is_boolean()) {
            Bad(*node, name, "not true or false");
            return;
        }
        out = *node->value_exact<bool>();
    }

    void String(const toml::table* t, const char* name, size_t maxBytes, std::string& out) {
        const toml::node* node = Find(t, name);
        if (node == nullptr) {
            return;
        }
        const std::optional<std::string_view> v = node->value_exact<std::string_view>();
        if (!v || v->size() > maxBytes || v->find('\0') != std::string_view::npos) {
            Bad(*node, name, "not a text of at most " + std::to_string(maxBytes) + " bytes");
            return;
        }
        out = std::string(*v);
    }

    // One of the given words.
    void Word(const toml::table* t, const char* name, std::initializer_list<const char*> words,
              std::string& out) {
        const toml::node* node = Find(t, name);
        if (node == nullptr) {
            return;
        }
        const std::optional<std::string_view> v = node->value_exact<std::string_view>();
        for (const char* w : words) {
            if (v && *v == w) {
                out = w;
                return;
            }
        }
        std::string list;
        for (const char* w : words) {
            list += (list.empty() ? "" : ", ") + std::string(w);
        }
        Bad(*node, name, "not one of " + list);
    }

    // "tick", "display" or 1 to 1000.
    void FrameRate(const toml::table* t, int& out) {
        const toml::node* node = Find(t, "frame_rate");
        if (node == nullptr) {
            return;
        }
        if (const auto word = node->value_exact<std::string_view>()) {
            if (*word == "tick" || *word == "display") {
                out = *word == "tick" ? Settings::kFramePerTick : 0;
                return;
            }
        }
        if (const auto n = node->value_exact<int64_t>(); n && *n >= 1 && *n <= 1000) {
            out = static_cast<int>(*n);
            return;
        }
        Bad(*node, "frame_rate", "not tick, display or 1 to 1000");
    }

    // An array of at most two names, each known to `parse` or "" for none.
    template <typename Value, typename Parse>
    bool Slots(const toml::node& node, const char* name, Parse parse,
               std::array<Value, kBindingSlots>& out) {
        const toml::array* list = node.as_array();
        bool good = list != nullptr && list->size() <= kBindingSlots;
        std::array<Value, kBindingSlots> slots{};
        for (size_t i = 0; good && i < list->size(); ++i) {
            const auto text = list->get(i)->value_exact<std::string_view>();
            good = text && parse(*text, slots[i]);
        }
        if (!good) {
            Bad(node, name, "not a list of at most two known names");
            return false;
        }
        out = slots;
        return true;
    }

    const toml::node* Find(const toml::table* t, const char* name) {
        return t == nullptr ? nullptr : t->get(name);
    }

    void Bad(const toml::node& node, const std::string& name, const std::string& why) {
        Log(node.source().begin.line, name + ": " + why + "; the default is kept");
    }

    void Log(uint32_t line, const std::string& text) {
        log_.push_back(fileName_ + ": line " + std::to_string(line) + ": " + text);
    }

  private:
    const toml::table& root_;
    const std::string& fileName_;
    std::vector<std::string>& log_;
};

void ReadKeys(Reader& r, const toml::table* keys, Settings& s) {
    for (int a = 0; keys != nullptr && a < kGameActionCount; ++a) {
        const GameAction action = static_cast<GameAction>(a);
        const toml::node* node = keys->get(ActionFileName(action));
        KeyBindings::Slots slots{};
        const auto parse = [](std::string_view name, int& key) {
            key = PhysicalKeys::FromCodeName(name);
            return key != 0 || name.empty();
        };
        if (node != nullptr && r.Slots(*node, ActionFileName(action), parse, slots)) {
            for (int slot = 0; slot < kBindingSlots; ++slot) {
                s.keys.Bind(action, slot, slots[slot]);
            }
        }
    }
}

void ReadPad(Reader& r, const toml::table* pad, Settings& s) {
    for (int a = 0; pad != nullptr && a < kGameActionCount; ++a) {
        const GameAction action = static_cast<GameAction>(a);
        const toml::node* node = pad->get(ActionFileName(action));
        PadBindings::Slots slots{};
        if (node != nullptr && r.Slots(*node, ActionFileName(action), PadButtonFromName, slots)) {
            for (int slot = 0; slot < kBindingSlots; ++slot) {
                s.pad.Bind(action, slot, slots[slot]);
            }
        }
    }
    r.Int(pad, "dead_zone", PadBindings::kMinDeadZone, PadBindings::kMaxDeadZone, s.pad.deadZone);
}

template <typename Slots, typename Name>
toml::array SlotArray(const Slots& slots, Name name) {
    toml::array list;
    for (const auto& v : slots) {
        list.push_back(std::string(name(v)));
    }
    return list;
}

}  // namespace

bool Settings::operator==(const Settings& o) const {
    return musicVolume == o.musicVolume && effectsVolume == o.effectsVolume && mute == o.mute &&
           keys == o.keys && pad == o.pad && frameRate == o.frameRate &&
           fullScreen == o.fullScreen && playerName == o.playerName &&
           leaderboard == o.leaderboard && leaderboardUrl == o.leaderboardUrl && touch == o.touch &&
           touchSize == o.touchSize && leftHanded == o.leftHanded && vibrate == o.vibrate;
}

Settings ParseSettings(const std::string& text, const std::string& fileName,
                       std::vector<std::string>& log) {
    return ParseSettings(text, fileName, log, Settings{});
}

Settings ParseSettings(const std::string& text, const std::string& fileName,
                       std::vector<std::string>& log, const Settings& base) {
    Settings s = base;
    toml::parse_result parsed = toml::parse(text, fileName);
    if (!parsed) {
        const toml::parse_error& error = parsed.error();
        log.push_back(fileName + ": line " + std::to_string(error.source().begin.line) + ": " +
                      std::string(error.description()) + "; nothing of it is read");
        return s;
    }
    const toml::table& root = parsed.table();
    Reader r(root, fileName, log);
    int version = Settings::kFormatVersion;
    r.Int(&root, "version", 1, 1000000, version);
    if (version > Settings::kFormatVersion) {
        r.Log(root.get("version")->source().begin.line,
              "written by a newer game; the settings this one knows are read");
    }

    const toml::table* sound = r.Section("sound");
    r.Int(sound, "music_volume", 0, Settings::kMaxVolume, s.musicVolume);
    r.Int(sound, "effects_volume", 0, Settings::kMaxVolume, s.effectsVolume);
    r.Bool(sound, "mute", s.mute);

    ReadKeys(r, r.Section("keys"), s);
    ReadPad(r, r.Section("pad"), s);
    if (s.keys.FillEmptyFromDefaults()) {
        log.push_back(fileName + ": an action without a key got its default keys back");
    }
    for (int a = 0; a < kGameActionCount; ++a) {
        if (!s.keys.HasKey(static_cast<GameAction>(a))) {
            // Its defaults are held by others: every key goes back to its default.
            s.keys = KeyBindings::Defaults();
            log.push_back(fileName + ": " + ActionTitle(static_cast<GameAction>(a)) +
                          " had no key left; all keys are the defaults");
            break;
        }
    }

    const toml::table* display = r.Section("display");
    r.FrameRate(display, s.frameRate);
    r.Bool(display, "full_screen", s.fullScreen);

    const toml::table* player = r.Section("player");
    r.String(player, "name", Settings::kMaxNameBytes, s.playerName);
    r.Bool(player, "leaderboard", s.leaderboard);
    r.String(player, "leaderboard_url", Settings::kMaxUrlBytes, s.leaderboardUrl);

    const toml::table* touch = r.Section("touch");
    r.Word(touch, "mode", {"auto", "on", "off"}, s.touch);
    r.Int(touch, "size", Settings::kMinTouchSize, Settings::kMaxTouchSize, s.touchSize);
    r.Bool(touch, "left_handed", s.leftHanded);
    r.Bool(touch, "vibrate", s.vibrate);
    return s;
}

std::string FormatSettings(const Settings& s) {
    toml::table keys;
    toml::table pad;
    for (int a = 0; a < kGameActionCount; ++a) {
        const GameAction action = static_cast<GameAction>(a);
        keys.insert(ActionFileName(action), SlotArray(s.keys.Keys(action), PhysicalKeys::CodeName));
        pad.insert(ActionFileName(action), SlotArray(s.pad.Buttons(action), PadButtonName));
    }
    pad.insert("dead_zone", s.pad.deadZone);
    toml::table display{{"full_screen", s.fullScreen}};
    if (s.frameRate > 0) {
        display.insert("frame_rate", s.frameRate);
    } else {
        display.insert("frame_rate", s.frameRate == 0 ? "display" : "tick");
    }
    const toml::table root{
        {"version", Settings::kFormatVersion},
        {"sound", toml::table{{"music_volume", s.musicVolume},
                              {"effects_volume", s.effectsVolume},
                              {"mute", s.mute}}},
        {"keys", keys},
        {"pad", pad},
        {"display", display},
        {"player", toml::table{{"name", s.playerName},
                               {"leaderboard", s.leaderboard},
                               {"leaderboard_url", s.leaderboardUrl}}},
        {"touch", toml::table{{"mode", s.touch},
                              {"size", s.touchSize},
                              {"left_handed", s.leftHanded},
                              {"vibrate", s.vibrate}}},
    };
    std::ostringstream out;
    out << "# Quorvax settings: keys are named by their place on the keyboard.\n" << root << "\n";
    return out.str();
}

std::string FormatSettingsJson(const Settings& s) {
    const toml::parse_result parsed = toml::parse(FormatSettings(s));
    std::ostringstream out;
    if (parsed) {
        out << toml::json_formatter{parsed.table()};
    }
    return out.str();
}
