#include "ServerProcess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

ServerProcess::ServerProcess(const std::string& database, std::vector<std::string> extra) {
    const bool pg = database.rfind("postgresql://", 0) == 0;
    const std::string dir = std::filesystem::path(database).parent_path().string();
    std::vector<std::string> args = {QUORVAX_TEST_SERVER,
                                     pg ? "--database" : "--data",
                                     pg ? database : dir,
                                     "--port",
                                     "0",
                                     "--rate",
                                     "0",
                                     "--workers",
                                     "2"};
    args.insert(args.end(), extra.begin(), extra.end());
    int out[2];
    if (pipe(out) != 0) {
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], 1);
        close(out[0]);
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    // The first line names the port: "... listening on http://127.0.0.1:PORT/ ...".
    FILE* in = fdopen(out[0], "r");
    char line[512] = {};
    if (in != nullptr && std::fgets(line, sizeof line, in) != nullptr) {
        const char* colon = std::strstr(line, "127.0.0.1:");
        port_ = colon ? static_cast<unsigned short>(std::atoi(colon + 10)) : 0;
    }
    if (in != nullptr) {
        std::fclose(in);
    }
}

void ServerProcess::Stop(int signal) {
    if (pid_ > 0) {
        kill(pid_, signal);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}
