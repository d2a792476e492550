#include "ServerFixture.h"

#include <boost/asio.hpp>
#include <cstdlib>
#include <random>

std::string HttpExchange(unsigned short port, const std::string& request) {
    namespace asio = boost::asio;
    asio::io_context io;
    asio::ip::tcp::socket socket(io);
    boost::system::error_code ec;
    socket.connect({asio::ip::make_address("127.0.0.1"), port}, ec);
    if (ec) {
        return "";
    }
    asio::write(socket, asio::buffer(request), ec);
    std::string out;
    char buffer[4096];
    while (!ec) {
        out.append(buffer, socket.read_some(asio::buffer(buffer), ec));
    }
    return out;
}

HttpAnswer HttpCall(unsigned short port, const std::string& method, const std::string& target,
                    const std::string& body) {
    const std::string answer =
        HttpExchange(port, method + " " + target + " HTTP/1.1\r\nHost: t\r\nConnection: close\r\n" +
                               "Content-Type: application/json\r\nContent-Length: " +
                               std::to_string(body.size()) + "\r\n\r\n" + body);
    HttpAnswer out;
    if (answer.rfind("HTTP/1.1 ", 0) == 0) {
        out.status = std::atoi(answer.c_str() + 9);
        const size_t start = answer.find("\r\n\r\n");
        out.body = start == std::string::npos ? "" : answer.substr(start + 4);
    }
    return out;
}

void DatabaseTest::SetUp() {
    if (GetParam() == "postgresql") {
        const char* uri = std::getenv("QUORVAX_TEST_POSTGRES");
        if (uri == nullptr) {
            GTEST_SKIP() << "no PostgreSQL (the postgresql test runs these under pg_virtualenv)";
        }
        database_ = uri;
    } else {
        dir_ = std::filesystem::temp_directory_path() /
               ("quorvax-server-test-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir_);
        database_ = (dir_ / "table.sqlite").string();
    }
    std::string error;
    sql_ = OpenSqlConnection(database_, error);
    ASSERT_TRUE(sql_) << error;
    if (GetParam() == "postgresql") {
        ASSERT_TRUE(sql_->Exec("DROP SCHEMA public CASCADE").ok());
        ASSERT_TRUE(sql_->Exec("CREATE SCHEMA public").ok());
    }
    store_ = std::make_unique<Store>(*sql_);
    const SqlError migrated = store_->Migrate();
    ASSERT_FALSE(migrated) << migrated.message;
}

void DatabaseTest::TearDown() {
    store_.reset();
    sql_.reset();
    if (!dir_.empty()) {
        std::filesystem::remove_all(dir_);
    }
}
