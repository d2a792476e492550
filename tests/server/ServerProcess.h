#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>
#include <vector>

// One quorvax-server process on a free port of 127.0.0.1, on the database
// a DatabaseTest made (a SQLite file's path or a postgresql:// URI), with
// no rate limit and two workers unless `extra` options say more. The
// server tests that need a real process start one; it stops when it goes.
class ServerProcess {
  public:
    explicit ServerProcess(const std::string& database, std::vector<std::string> extra = {});
    ~ServerProcess() { Stop(SIGTERM); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Ends the process with `signal` and waits for it.
    void Stop(int signal);
    // The port it listens on; 0 when it did not start.
    unsigned short port() const { return port_; }

  private:
    pid_t pid_ = -1;
    unsigned short port_ = 0;
};
