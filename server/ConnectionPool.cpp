#include "server/ConnectionPool.h"

#include "server/PgConnection.h"
#include "server/SqliteConnection.h"

std::unique_ptr<SqlConnection> OpenSqlConnection(const std::string& database, std::string& error) {
    if (database.rfind("postgresql://", 0) == 0 || database.rfind("postgres://", 0) == 0) {
        return PgConnection::Open(database, error);
    }
    return SqliteConnection::Open(database, error);
}

ConnectionPool::Lease ConnectionPool::Acquire(std::string& error) {
    std::unique_lock lock(mutex_);
    returned_.wait(lock, [&] { return !idle_.empty() || open_ < size_; });
    if (!idle_.empty()) {
        std::unique_ptr<SqlConnection> connection = std::move(idle_.back());
        idle_.pop_back();
        return Lease(this, std::move(connection));
    }
    ++open_;
    lock.unlock();
    std::unique_ptr<SqlConnection> connection = OpenSqlConnection(database_, error);
    if (!connection) {
        lock.lock();
        --open_;
        returned_.notify_one();
    }
    return Lease(this, std::move(connection));
}

void ConnectionPool::Return(std::unique_ptr<SqlConnection> connection) {
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(connection));
    returned_.notify_one();
}
