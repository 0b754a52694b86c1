// Connection and Recordset: the server access the program relies on, over ODBC.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

#include <QString>
#include <QStringList>
#include <QVariant>

namespace platform {

// A failed call. what() is the message in UTF-8: the text of the first error record that has
// one, whether the server or the driver wrote it; the driver's text for a lost link when the
// connection has died; else what failed, in plain words.
class AdoError final : public std::runtime_error {
public:
    explicit AdoError(const QString& text);
};

// Throws AdoError "Object required" when the object could not be created at start-up.
template <typename T>
T& Required(const std::unique_ptr<T>& object) {
    if (!object) throw AdoError(QStringLiteral("Object required"));
    return *object;
}

// What one batch gave: the rows of its first result with columns, read whole, and the rows
// that its other statements reported as affected.
struct BatchResult {
    QStringList columns;
    std::vector<std::vector<QVariant>> rows;
    qint64 rowsAffected = 0;
};

// Stops a batch that runs on another thread: the driver sends the server an attention, and
// the running call fails. A cancellation that comes between two batches stops the next one
// as soon as it starts. The attention waits until the batch has surely been written: the
// FreeTDS driver corrupts a request it is still writing when another thread cancels it. A
// batch that ends before then is not stopped, only the next one is.
class Cancellation final {
public:
    void Cancel();
    bool Cancelled() const;
    // Sends the attention that Cancel put off, once its time has come; call it now and then.
    void Poll();

private:
    friend class Connection;
    // Throws AdoError when already cancelled, before anything is sent.
    void Attach(void* statement, qsizetype bytes);
    void Detach();
    void SendWhenDue();  // under mutex_

    mutable std::mutex mutex_;
    void* statement_ = nullptr;                        // SQLHSTMT of the batch running now
    std::chrono::steady_clock::time_point written_{};  // when it has surely been written
    bool cancelled_ = false;
    bool sent_ = false;
};

class Connection final {
public:
    // Throws AdoError when the driver manager cannot be reached.
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Greater than 0 while open.
    int State() const { return open_ ? 1 : 0; }
    void Close();
    // connectionString: "Provider=SQLOLEDB.1;Data Source=..." with ";Integrated Security=SSPI;"
    // for the logged-on account. The password is used for the login and not kept.
    void Open(const QString& connectionString, const QString& user, const QString& password);

    // Runs one batch. result holds what was read so far also when a later statement of the
    // batch fails and this throws AdoError. May run on another thread than Open, never on two
    // at once.
    void Execute(const QString& sql, BatchResult& result, Cancellation* cancellation = nullptr);
    // Whether the link to the server died while open: nothing more can go through it.
    bool Lost() const;
    // The network packet size the server granted, in bytes.
    int PacketSize() const;

private:
    class Attached;
    void* handle_ = nullptr;  // SQLHDBC
    bool open_ = false;
};

// Runs one batch and holds the rows of its first result with columns, read whole, so that a
// failure in any later statement of the batch fails Open.
class Recordset final {
public:
    Recordset() = default;

    int State() const { return open_ ? 1 : 0; }
    void Close();
    void Open(const QString& sql, Connection& connection);
    bool Eof() const;
    // The column's value in the current row: its text, or a null QVariant for NULL.
    QVariant Field(const QString& name) const;
    void MoveNext();

private:
    bool open_ = false;
    BatchResult result_;
    size_t current_ = 0;
};

}  // namespace platform
