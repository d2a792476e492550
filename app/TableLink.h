#pragma once

#include <string>

// The world's table as a system without an HttpClient of the game's own
// reaches it (the page: its script keeps and sends the games). GameApp
// calls it where the desktop calls its Submitter.
class TableLink {
  public:
    virtual ~TableLink() = default;

    // As the program starts with the world table on: its address ("" for
    // the page's own site); what an earlier run could not send goes now.
    virtual void Open(const std::string& url) = 0;
    // As a game begins: the start token is asked for.
    virtual void GameStarted() = 0;
    // After a game's end: the request body of POST /api/games (without
    // the token, which the link adds).
    virtual void Submit(const std::string& body) = 0;
    // The high-score screen's line: the world rank, or why the game was not sent.
    virtual std::string Status() const = 0;
};
