// Plain HTTP and WebSocket clients over loopback sockets for the page server's tests:
// every header and byte of the request is the test's own, including the ones a browser
// would never send.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace tarvenox::test {

struct HttpReply {
    int status = 0;  // 0 when no answer came
    std::string headers;
    std::string body;
    // The value of a header (name without case), "" when absent.
    std::string header(std::string_view name) const;
};

// Sends "METHOD TARGET HTTP/1.1" with the header lines given ("Host: ...\r\n" and so on,
// as they are) and "Connection: close", and reads the whole answer.
HttpReply httpRequest(int port, std::string_view target, std::string_view headerLines, std::string_view method = "GET");

// "Host: 127.0.0.1:PORT\r\n", the header a browser sends to the server.
std::string ownHost(int port);
// "Origin: http://127.0.0.1:PORT\r\n", the origin of the server's own page.
std::string ownOrigin(int port);

// A connection that sends the start of a request and then nothing, as a process that
// would hold the server's threads does.
class StalledConnection {
public:
    StalledConnection(int port, std::string_view start);
    ~StalledConnection();
    StalledConnection(const StalledConnection&) = delete;
    StalledConnection& operator=(const StalledConnection&) = delete;

    bool connected() const { return fd_ >= 0; }
    // Whether the server closed the connection (whatever it sent first) within the time.
    bool closedWithin(std::chrono::milliseconds timeout);

private:
    int fd_ = -1;
};

// A WebSocket client that speaks just enough of the protocol: masked text frames out,
// text and close frames in.
class WebSocketClient {
public:
    // Connects and asks for the upgrade with the header lines given (Host, Origin);
    // upgradeStatus() is the server's answer, 101 when the socket is open.
    WebSocketClient(int port, std::string_view target, std::string_view headerLines);
    ~WebSocketClient();
    WebSocketClient(const WebSocketClient&) = delete;
    WebSocketClient& operator=(const WebSocketClient&) = delete;

    int upgradeStatus() const { return status_; }
    bool sendText(std::string_view text);
    // The next text message; nullopt on a close frame, a dropped connection or timeout.
    std::optional<std::string> receiveText(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // The code of the close frame the server sent, once receiveText has met it.
    std::optional<int> closeCode() const { return closeCode_; }
    // Ends the TCP connection without a close frame, as a crashed browser tab does.
    void drop();

private:
    int fd_ = -1;
    int status_ = 0;
    std::string buffer_;
    std::optional<int> closeCode_;
};

// The page's WebSocket as a browser opens it: at PREFIX + "ws", with the server's own Host
// and Origin. Check upgradeStatus() for 101.
std::unique_ptr<WebSocketClient> connectPage(int port, std::string_view prefix);

// The page's side of the protocol: the next message parsed, null when none came.
nlohmann::json receiveMessage(WebSocketClient& page);

}  // namespace tarvenox::test
