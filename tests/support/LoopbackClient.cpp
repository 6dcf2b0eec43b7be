// Plain HTTP and WebSocket clients over loopback sockets for the page server's tests.
#include "support/LoopbackClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace tarvenox::test {
namespace {

using Clock = std::chrono::steady_clock;

int connectLoopback(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// Reads into the buffer until the predicate holds, the peer closes or the deadline.
template <typename Done>
void readUntil(int fd, std::string& buffer, Clock::time_point deadline, Done done) {
    char chunk[4096];
    while (!done()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd ready{fd, POLLIN, 0};
        if (left <= 0 || ::poll(&ready, 1, static_cast<int>(left)) <= 0) return;
        ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) return;
        buffer.append(chunk, static_cast<std::size_t>(got));
    }
}

int statusOf(std::string_view head) {
    // "HTTP/1.1 403 Forbidden"
    if (head.size() < 12 || head.substr(0, 5) != "HTTP/") return 0;
    return std::atoi(std::string(head.substr(9, 3)).c_str());
}

}  // namespace

StalledConnection::StalledConnection(int port, std::string_view start) : fd_(connectLoopback(port)) {
    if (fd_ >= 0 && !sendAll(fd_, start)) {
        ::close(fd_);
        fd_ = -1;
    }
}

StalledConnection::~StalledConnection() {
    if (fd_ >= 0) ::close(fd_);
}

bool StalledConnection::closedWithin(std::chrono::milliseconds timeout) {
    if (fd_ < 0) return false;
    bool closed = false;
    auto deadline = Clock::now() + timeout;
    char chunk[4096];
    while (!closed) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd ready{fd_, POLLIN, 0};
        if (left <= 0 || ::poll(&ready, 1, static_cast<int>(left)) <= 0) return false;
        closed = ::recv(fd_, chunk, sizeof chunk, 0) <= 0;
    }
    return true;
}

std::string HttpReply::header(std::string_view name) const {
    std::string lowerHeaders = headers;
    std::string lowerName(name);
    for (auto* text : {&lowerHeaders, &lowerName}) {
        std::transform(text->begin(), text->end(), text->begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    std::size_t at = lowerHeaders.find("\r\n" + lowerName + ":");
    if (at == std::string::npos) return "";
    std::size_t start = at + 2 + lowerName.size() + 1;
    std::size_t end = headers.find("\r\n", start);
    std::string value = headers.substr(start, end - start);
    value.erase(0, value.find_first_not_of(' '));
    return value;
}

std::string ownHost(int port) { return "Host: 127.0.0.1:" + std::to_string(port) + "\r\n"; }

std::string ownOrigin(int port) { return "Origin: http://127.0.0.1:" + std::to_string(port) + "\r\n"; }

std::unique_ptr<WebSocketClient> connectPage(int port, std::string_view prefix) {
    return std::make_unique<WebSocketClient>(port, std::string(prefix) + "ws", ownHost(port) + ownOrigin(port));
}

nlohmann::json receiveMessage(WebSocketClient& page) {
    auto text = page.receiveText();
    return text ? nlohmann::json::parse(*text) : nlohmann::json();
}

HttpReply httpRequest(int port, std::string_view target, std::string_view headerLines, std::string_view method) {
    HttpReply reply;
    int fd = connectLoopback(port);
    if (fd < 0) return reply;
    std::string request = std::string(method) + " " + std::string(target) + " HTTP/1.1\r\n" + std::string(headerLines) +
                          "Connection: close\r\n\r\n";
    std::string answer;
    if (sendAll(fd, request)) readUntil(fd, answer, Clock::now() + std::chrono::seconds(5), [] { return false; });
    ::close(fd);
    std::size_t end = answer.find("\r\n\r\n");
    if (end == std::string::npos) return reply;
    reply.status = statusOf(answer);
    reply.headers = answer.substr(0, end + 2);
    reply.body = answer.substr(end + 4);
    return reply;
}

WebSocketClient::WebSocketClient(int port, std::string_view target, std::string_view headerLines) {
    fd_ = connectLoopback(port);
    if (fd_ < 0) return;
    std::string request = "GET " + std::string(target) + " HTTP/1.1\r\n" + std::string(headerLines) +
                          "Upgrade: websocket\r\nConnection: Upgrade\r\n"
                          "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n";
    if (!sendAll(fd_, request)) return;
    readUntil(fd_, buffer_, Clock::now() + std::chrono::seconds(5),
              [this] { return buffer_.find("\r\n\r\n") != std::string::npos; });
    std::size_t end = buffer_.find("\r\n\r\n");
    if (end == std::string::npos) return;
    status_ = statusOf(buffer_);
    buffer_.erase(0, end + 4);
}

WebSocketClient::~WebSocketClient() { drop(); }

void WebSocketClient::drop() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool WebSocketClient::sendText(std::string_view text) {
    if (fd_ < 0) return false;
    std::string frame;
    frame += static_cast<char>(0x81);  // FIN, text
    std::size_t length = text.size();
    if (length < 126) {
        frame += static_cast<char>(0x80 | length);  // masked, as a client must
    } else if (length < 65536) {
        frame += static_cast<char>(0x80 | 126);
        frame += static_cast<char>(length >> 8);
        frame += static_cast<char>(length & 0xFF);
    } else {
        frame += static_cast<char>(0x80 | 127);
        for (int shift = 56; shift >= 0; shift -= 8) frame += static_cast<char>((length >> shift) & 0xFF);
    }
    const char mask[4] = {0x12, 0x34, 0x56, 0x78};
    frame.append(mask, 4);
    for (std::size_t i = 0; i < length; ++i) frame += static_cast<char>(text[i] ^ mask[i % 4]);
    return sendAll(fd_, frame);
}

std::optional<std::string> WebSocketClient::receiveText(std::chrono::milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    while (fd_ >= 0) {
        // A server frame: FIN and opcode, unmasked length (7, 16 or 64 bits), payload.
        std::size_t head = 2, length = 0;
        bool whole = false;
        if (buffer_.size() >= 2) {
            length = static_cast<std::uint8_t>(buffer_[1]) & 0x7F;
            std::size_t extra = length == 126 ? 2 : length == 127 ? 8 : 0;
            if (buffer_.size() >= head + extra) {
                if (extra) {
                    length = 0;
                    for (std::size_t i = 0; i < extra; ++i)
                        length = length << 8 | static_cast<std::uint8_t>(buffer_[2 + i]);
                }
                head += extra;
                whole = buffer_.size() >= head + length;
            }
        }
        if (!whole) {
            std::size_t had = buffer_.size();
            readUntil(fd_, buffer_, deadline, [&] { return buffer_.size() > had; });
            if (buffer_.size() == had) return std::nullopt;
            continue;
        }
        int opcode = buffer_[0] & 0x0F;
        std::string payload = buffer_.substr(head, length);
        buffer_.erase(0, head + length);
        if (opcode == 0x1) return payload;
        if (opcode == 0x8) {
            if (payload.size() >= 2) {
                closeCode_ = static_cast<std::uint8_t>(payload[0]) << 8 | static_cast<std::uint8_t>(payload[1]);
            }
            drop();
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace tarvenox::test
