#pragma once
#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/thread_pool.hpp>
#include <memory>
#include <string>
#include <vector>

#include "server/Api.h"
#include "server/RateLimiter.h"

// How the server meets the network.
struct HttpOptions {
    std::string address = "127.0.0.1";
    unsigned short port = 8026;
    size_t maxBody = (4u << 20) + (64u << 10);  // a recording at its cap, in JSON
    int headerTimeoutMs = 10000;                // the whole request head, however slowly it comes
    int bodyTimeoutMs = 30000;                  // the whole body
    int idleTimeoutMs = 30000;                  // a kept-alive connection between requests
    size_t maxConnections = 1024;
    size_t maxQueue = 512;      // requests waiting for a worker before 503
    double ratePerSecond = 20;  // per client address; 0 turns the limit off
    double rateBurst = 60;
    int networkThreads = 1;
    int workerThreads = 2;  // verification and database work
    std::vector<std::string> allowOrigins;
    std::string siteDir;             // the browser build, served under /play/
    bool trustForwardedFor = false;  // behind a proxy on loopback
};

// The HTTP/1.1 server: network threads only read and write; every request
// is handled on a bounded pool of worker threads.
class HttpServer {
  public:
    HttpServer(HttpOptions options, Api& api);
    ~HttpServer();

    // Binds the listening socket; false with `error` set when it cannot.
    bool Listen(std::string& error);
    // The bound port (useful when 0 was asked for).
    unsigned short port() const { return port_; }
    // Serves until Stop(); called on the main thread.
    void Run();
    // Ends Run(); any thread, or a signal handler's completion.
    void Stop();

    struct Shared;

  private:
    void Accept();

    HttpOptions options_;
    boost::asio::io_context ioc_;
    boost::asio::ip::tcp::acceptor acceptor_;
    std::shared_ptr<Shared> shared_;
    unsigned short port_ = 0;
};
