#include "server/HttpServer.h"

#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/version.hpp>
#include <cstdio>
#include <thread>

#include "server/StaticFiles.h"

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

// What every connection of one server shares.
struct HttpServer::Shared {
    Shared(const HttpOptions& o, Api& a)
        : options(o), api(a), limiter(o.ratePerSecond, o.rateBurst), workers(o.workerThreads) {}
    const HttpOptions& options;
    Api& api;
    RateLimiter limiter;
    asio::thread_pool workers;
    std::atomic<size_t> connections{0};
    std::atomic<size_t> queued{0};
};

namespace {

using Response = http::response<http::string_body>;

Response MakeResponse(const ApiResponse& api, unsigned version, bool keepAlive) {
    Response res{static_cast<http::status>(api.status), version};
    res.set(http::field::server, "quorvax-server");
    res.set(http::field::content_type, api.contentType);
    res.set(http::field::cache_control, "no-store");
    res.set("X-Content-Type-Options", "nosniff");
    for (const auto& [name, value] : api.headers) {
        res.set(name, value);
    }
    res.keep_alive(keepAlive);
    res.body() = api.body;
    res.prepare_payload();
    return res;
}

// One client connection: reads a request (head, then body, each against its
// own deadline), answers it, and waits for the next one.
class Session : public std::enable_shared_from_this<Session> {
  public:
    Session(tcp::socket socket, std::shared_ptr<HttpServer::Shared> shared)
        : stream_(std::move(socket)), shared_(std::move(shared)) {
        ++shared_->connections;
        beast::error_code ec;
        const auto endpoint = stream_.socket().remote_endpoint(ec);
        if (!ec) {
            peer_ = endpoint.address().to_string();
            peerIsLoopback_ = endpoint.address().is_loopback();
        }
    }
    ~Session() { --shared_->connections; }

    void Start(bool first) {
        parser_.emplace();
        parser_->header_limit(16 * 1024);
        parser_->body_limit(shared_->options.maxBody);
        const HttpOptions& o = shared_->options;
        stream_.expires_after(
            std::chrono::milliseconds(first ? o.headerTimeoutMs : o.idleTimeoutMs));
        http::async_read_header(
            stream_, buffer_, *parser_,
            [self = shared_from_this()](beast::error_code ec, size_t) { self->OnHeader(ec); });
    }

  private:
    void OnHeader(beast::error_code ec) {
        if (ec) {
            return Refuse(ec);
        }
        const auto length = parser_->content_length();
        if (length && *length > shared_->options.maxBody) {
            return Send(ErrorResponse(413, "the body is larger than this server takes"), false);
        }
        stream_.expires_after(std::chrono::milliseconds(shared_->options.bodyTimeoutMs));
        http::async_read(
            stream_, buffer_, *parser_,
            [self = shared_from_this()](beast::error_code e, size_t) { self->OnRequest(e); });
    }

    // A read that ended without a whole request: answer what can be answered.
    void Refuse(beast::error_code ec) {
        if (ec == http::error::body_limit) {
            return Send(ErrorResponse(413, "the body is larger than this server takes"), false);
        }
        if (ec == http::error::header_limit) {
            return Send(ErrorResponse(431, "the request head is too large"), false);
        }
        if (std::string_view(ec.category().name()) == "beast.http" &&
            ec != http::error::end_of_stream && ec != http::error::partial_message) {
            return Send(ErrorResponse(400, "the request is not HTTP/1.1"), false);
        }
        Close();
    }

    std::string ClientAddress(const http::request<http::string_body>& req) const {
        if (shared_->options.trustForwardedFor && peerIsLoopback_) {
            const auto forwarded = req["X-Forwarded-For"];
            if (!forwarded.empty()) {
                std::string last(forwarded.substr(forwarded.rfind(',') + 1));
                last.erase(0, last.find_first_not_of(' '));
                return last;
            }
        }
        return peer_;
    }

    void OnRequest(beast::error_code ec) {
        if (ec) {
            return Refuse(ec);
        }
        stream_.expires_never();
        request_ = parser_->release();
        const auto& req = request_;
        keepAlive_ = req.keep_alive();
        head_ = req.method() == http::verb::head;
        const std::string origin(req[http::field::origin]);
        corsOrigin_.clear();
        for (const std::string& allowed : shared_->options.allowOrigins) {
            if (!origin.empty() && origin == allowed) {
                corsOrigin_ = origin;
            }
        }
        if (!shared_->limiter.Allow(ClientAddress(req))) {
            ApiResponse busy = ErrorResponse(429, "too many requests; slow down");
            busy.headers.emplace_back("Retry-After", "1");
            return Send(busy, keepAlive_);
        }
        if (req.method() == http::verb::options) {
            return Preflight(origin);
        }
        const std::string target(req.target());
        if (req.method() == http::verb::get) {
            if (std::optional<ApiResponse> cached = shared_->api.FromCache({"GET", target, ""})) {
                return Send(std::move(*cached), keepAlive_);
            }
        }
        if (shared_->queued.load() >= shared_->options.maxQueue) {
            return Send(ErrorResponse(503, "the server is busy; try again shortly"), keepAlive_);
        }
        ++shared_->queued;
        // The site's files are read on the workers too: the network threads never wait on a disk.
        const bool site = !shared_->options.siteDir.empty() && target.rfind("/play", 0) == 0;
        const bool readable = req.method() == http::verb::get || head_;
        ApiRequest api{std::string(req.method_string()), target, std::move(request_.body())};
        asio::post(
            shared_->workers, [self = shared_from_this(), api = std::move(api), site, readable] {
                ApiResponse response =
                    site ? ServeStatic(self->shared_->options.siteDir, api.target, readable)
                         : self->shared_->api.Handle(api);
                --self->shared_->queued;
                asio::post(self->stream_.get_executor(), [self, response = std::move(response)] {
                    self->Send(response, self->keepAlive_);
                });
            });
    }

    void Preflight(const std::string& origin) {
        ApiResponse response;
        response.status = 204;
        if (!origin.empty() && corsOrigin_.empty()) {
            return Send(ErrorResponse(403, "this origin is not allowed"), keepAlive_);
        }
        response.headers = {{"Allow", "GET, HEAD, POST, OPTIONS"},
                            {"Access-Control-Allow-Methods", "GET, HEAD, POST, OPTIONS"},
                            {"Access-Control-Allow-Headers", "Content-Type"},
                            {"Access-Control-Max-Age", "600"}};
        Send(response, keepAlive_);
    }

    void Send(ApiResponse api, bool keepAlive) {
        if (!corsOrigin_.empty()) {
            api.headers.emplace_back("Access-Control-Allow-Origin", corsOrigin_);
            api.headers.emplace_back("Vary", "Origin");
        }
        auto res = std::make_shared<Response>(
            MakeResponse(api, request_.version() ? request_.version() : 11, keepAlive));
        if (head_) {
            const auto size = res->body().size();
            res->body().clear();
            res->content_length(size);
        }
        stream_.expires_after(std::chrono::milliseconds(shared_->options.bodyTimeoutMs));
        http::async_write(
            stream_, *res,
            [self = shared_from_this(), res, keepAlive](beast::error_code ec, size_t) {
                if (ec || !keepAlive) {
                    return self->Close();
                }
                self->head_ = false;
                self->corsOrigin_.clear();
                self->Start(false);
            });
    }

    void Close() {
        beast::error_code ec;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ec);
        stream_.close();
    }

    beast::tcp_stream stream_;
    std::shared_ptr<HttpServer::Shared> shared_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    http::request<http::string_body> request_;
    std::string peer_;
    bool peerIsLoopback_ = false;
    bool keepAlive_ = false;
    bool head_ = false;
    std::string corsOrigin_;
};

}  // namespace

HttpServer::HttpServer(HttpOptions options, Api& api)
    : options_(std::move(options)),
      acceptor_(ioc_),
      shared_(std::make_shared<Shared>(options_, api)) {}

HttpServer::~HttpServer() {
    Stop();
    shared_->workers.join();
}

bool HttpServer::Listen(std::string& error) {
    beast::error_code ec;
    const auto address = asio::ip::make_address(options_.address, ec);
    if (ec) {
        error = "not an address: " + options_.address;
        return false;
    }
    const tcp::endpoint endpoint(address, options_.port);
    acceptor_.open(endpoint.protocol(), ec);
    if (!ec) {
        acceptor_.set_option(asio::socket_base::reuse_address(true), ec);
    }
    if (!ec) {
        acceptor_.bind(endpoint, ec);
    }
    if (!ec) {
        acceptor_.listen(asio::socket_base::max_listen_connections, ec);
    }
    if (ec) {
        error = "cannot listen on " + options_.address + ":" + std::to_string(options_.port) +
                ": " + ec.message();
        return false;
    }
    port_ = acceptor_.local_endpoint().port();
    Accept();
    return true;
}

void HttpServer::Accept() {
    acceptor_.async_accept(asio::make_strand(ioc_), [this](beast::error_code ec,
                                                           tcp::socket socket) {
        if (ec == asio::error::operation_aborted) {
            return;
        }
        if (ec) {
            // Out of descriptors or the like: again a little later, not in a busy loop.
            auto timer = std::make_shared<asio::steady_timer>(ioc_, std::chrono::milliseconds(50));
            timer->async_wait([this, timer](beast::error_code) { Accept(); });
            return;
        }
        {
            if (shared_->connections.load() >= options_.maxConnections) {
                // Over the cap: the newcomer is closed, the others keep their turn.
                beast::error_code ignored;
                socket.close(ignored);
            } else {
                std::make_shared<Session>(std::move(socket), shared_)->Start(true);
            }
        }
        Accept();
    });
}

void HttpServer::Run() {
    std::vector<std::thread> extra;
    for (int i = 1; i < options_.networkThreads; ++i) {
        extra.emplace_back([this] { ioc_.run(); });
    }
    ioc_.run();
    for (std::thread& thread : extra) {
        thread.join();
    }
}

void HttpServer::Stop() {
    asio::post(ioc_, [this] {
        beast::error_code ec;
        acceptor_.close(ec);
    });
    ioc_.stop();
}
