// What a typed port of another service, or a firewall that swallows packets, looks like to a
// client: a listener on loopback that takes connections and never answers, or answers the
// prelogin and then says nothing more.
#pragma once

#include <thread>
#include <vector>

#include <QString>

class SilentServer final {
public:
    enum class Answers { Nothing, PreloginOnly };

    explicit SilentServer(Answers answers);
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    // "127.0.0.1,PORT", as typed into the Server box.
    const QString& ServerText() const { return server_; }

private:
    void Serve();

    Answers answers_;
    int listener_ = -1;
    QString server_;
    std::vector<int> clients_;
    std::thread thread_;
};
