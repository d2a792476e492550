#include "server/TablePage.h"

#include <ctime>

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string UrlEncode(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            u == '-' || u == '_' || u == '.' || u == '~') {
            out += c;
        } else {
            out += '%';
            out += hex[u >> 4];
            out += hex[u & 15];
        }
    }
    return out;
}

std::string FormatDate(int64_t ms) {
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &utc);
    return text;
}

std::string FormatLength(int64_t ticks) {
    const int64_t seconds = ticks * 40 / 1000;
    const int64_t s = seconds % 60;
    return std::to_string(seconds / 60) + ":" + (s < 10 ? "0" : "") + std::to_string(s);
}

namespace {

void Row(std::string& html, const GameRecord& game) {
    const std::string id = std::to_string(game.id);
    html += "<tr><td class=\"rank\">" + std::to_string(game.rank) + "</td><td>" +
            HtmlEscape(game.name) + "</td><td class=\"score\">" + std::to_string(game.score) +
            "</td><td>" + std::to_string(game.level) + "</td><td>" + FormatLength(game.ticks) +
            "</td><td>" + FormatDate(game.submittedMs) + "</td><td>" + HtmlEscape(game.system) +
            "</td><td>" +
            (game.live ? "<span class=\"mark\" title=\"played live: the game arrived no sooner "
                         "than its own length after it started\">live</span>"
                       : "") +
            "</td><td><a href=\"/play/?watch=/api/games/" + id +
            "/recording\">watch</a> "
            "<a href=\"/api/games/" +
            id + "/recording\">download</a></td></tr>\n";
}

const char* const kHead =
    "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
    "<title>Quorvax - the world's table</title><style>"
    "body{font-family:sans-serif;margin:2em auto;max-width:60em;padding:0 1em}"
    "table{border-collapse:collapse;width:100%}th,td{padding:.3em .6em;text-align:left;"
    "border-bottom:1px solid #ccc}td.rank,td.score{text-align:right}"
    ".mark{background:#2a7;color:#fff;border-radius:.3em;padding:0 .3em;font-size:.85em}"
    "nav{margin:1em 0}</style></head><body>\n"
    "<h1>Quorvax - the world's table</h1>\n"
    "<p>Every game here was played again on the server with the game's own rules; the score is "
    "the one that replay reached. Games marked <span class=\"mark\">live</span> were played as "
    "they were sent.</p>\n";

const char* const kColumns =
    "<tr><th>Rank</th><th>Name</th><th>Score</th><th>Level</th><th>Length</th><th>Date (UTC)"
    "</th><th>System</th><th>Marks</th><th></th></tr>\n";

}  // namespace

std::string RenderTablePage(const TableView& view) {
    std::string html = kHead;
    html +=
        "<form method=\"get\" action=\"/\"><label>Your best: <input name=\"name\" maxlength=\"96\" "
        "value=\"" +
        HtmlEscape(view.player) + "\"></label> <button>Show</button></form>\n";
    if (!view.player.empty()) {
        html += "<section id=\"best\">";
        if (view.best) {
            html += "<table>";
            html += kColumns;
            Row(html, *view.best);
            html += "</table>";
        } else {
            html += "<p>No game under the name " + HtmlEscape(view.player) + " yet.</p>";
        }
        html += "</section>\n";
    }
    html += "<table id=\"table\">\n";
    html += kColumns;
    for (const GameRecord& game : view.games) {
        Row(html, game);
    }
    html += "</table>\n";
    if (view.games.empty()) {
        html += "<p>No games yet.</p>\n";
    }
    html += "<nav>";
    if (!view.firstPage) {
        html += "<a href=\"/\">Top</a> ";
    }
    if (!view.next.empty()) {
        html += "<a rel=\"next\" href=\"/?after=" + UrlEncode(view.next) + "\">Next page</a>";
    }
    html += "</nav>\n</body></html>\n";
    return html;
}
