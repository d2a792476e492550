#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/Store.h"

// What the table's page shows: one page of games, where the next starts,
// and the best game of the player asked for.
struct TableView {
    std::vector<GameRecord> games;
    std::string next;  // cursor of the next page, or ""
    bool firstPage = true;
    std::string player;  // the name asked for, or ""
    std::optional<GameRecord> best;
};

// The table's page in plain HTML; every stored text is escaped.
std::string RenderTablePage(const TableView& view);
// Escapes & < > " ' for HTML text and attribute values.
std::string HtmlEscape(std::string_view text);
// Escapes a query component (RFC 3986 unreserved characters stay).
std::string UrlEncode(std::string_view text);
// "2026-12-08 15:16" in UTC.
std::string FormatDate(int64_t ms);
// "m:ss" of play for a count of 40 ms ticks.
std::string FormatLength(int64_t ticks);
