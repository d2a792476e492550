#pragma once
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "server/Sql.h"

// Up to `size` open connections to one database, lent to one request at a
// time. Connections are opened on demand, so a server started while the
// database is down comes up and answers 503 until it is back.
class ConnectionPool {
  public:
    ConnectionPool(std::string database, size_t size)
        : database_(std::move(database)), size_(size) {}

    // A borrowed connection, returned to the pool when it goes out of scope.
    class Lease {
      public:
        Lease(ConnectionPool* pool, std::unique_ptr<SqlConnection> connection)
            : pool_(pool), connection_(std::move(connection)) {}
        Lease(Lease&&) = default;
        ~Lease() {
            if (pool_ && connection_) {
                pool_->Return(std::move(connection_));
            }
        }
        SqlConnection* get() const { return connection_.get(); }
        explicit operator bool() const { return connection_ != nullptr; }

      private:
        ConnectionPool* pool_;
        std::unique_ptr<SqlConnection> connection_;
    };

    // Waits for a free connection; an empty lease with `error` set when a new
    // one cannot be opened.
    Lease Acquire(std::string& error);
    const std::string& database() const { return database_; }

  private:
    void Return(std::unique_ptr<SqlConnection> connection);

    const std::string database_;
    const size_t size_;
    std::mutex mutex_;
    std::condition_variable returned_;
    std::vector<std::unique_ptr<SqlConnection>> idle_;
    size_t open_ = 0;
};
