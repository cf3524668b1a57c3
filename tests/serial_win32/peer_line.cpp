#include "peer_line.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace motor::testing {
namespace {

// The one connection to the peer, made on first use. Requests are answered in order, one line
// each way.
class PeerConnection {
  public:
    static PeerConnection& instance() {
        static PeerConnection connection;
        return connection;
    }

    // Sends a request; its answer without the leading "ok ". Throws when the peer refused it.
    std::string ask(const std::string& request) {
        const std::string line = request + '\n';
        for (std::size_t done = 0; done < line.size();) {
            const int n =
                send(socket_, line.data() + done, static_cast<int>(line.size() - done), 0);
            if (n <= 0) throw std::runtime_error("line peer: send failed");
            done += static_cast<std::size_t>(n);
        }
        const std::string answer = receive_line();
        if (answer == "ok") return {};
        if (answer.starts_with("ok ")) return answer.substr(3);
        throw std::runtime_error("line peer: " + request + ": " + answer);
    }

  private:
    PeerConnection() {
        const char* port = std::getenv("MOTOR_PANEL_LINE_PEER");
        if (!port)
            throw std::runtime_error("MOTOR_PANEL_LINE_PEER is not set: run under line-peer");
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
        socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (socket_ == INVALID_SOCKET) throw std::runtime_error("line peer: no socket");
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            throw std::runtime_error("line peer: cannot connect");
        }
    }
    ~PeerConnection() {
        closesocket(socket_);
        WSACleanup();
    }

    std::string receive_line() {
        for (;;) {
            if (const auto end = pending_.find('\n'); end != std::string::npos) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                return line;
            }
            char buffer[4096];
            const int n = recv(socket_, buffer, sizeof buffer, 0);
            if (n <= 0) throw std::runtime_error("line peer: connection lost");
            pending_.append(buffer, static_cast<std::size_t>(n));
        }
    }

    SOCKET socket_ = INVALID_SOCKET;
    std::string pending_;
};

std::string to_hex(std::span<const std::uint8_t> bytes) {
    static constexpr std::string_view digits = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

std::vector<std::uint8_t> from_hex(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        bytes.push_back(
            static_cast<std::uint8_t>(std::stoul(std::string(text.substr(i, 2)), nullptr, 16)));
    }
    return bytes;
}

std::string request(std::string_view verb, std::int32_t com, const std::string& rest = {}) {
    std::string line = std::string(verb) + ' ' + std::to_string(com);
    if (!rest.empty()) line += ' ' + rest;
    return PeerConnection::instance().ask(line);
}

}  // namespace

PeerLine::PeerLine(std::int32_t com) : com_(com), device_(request("plug", com)) {}

void PeerLine::write_to_port(std::span<const std::uint8_t> bytes) const {
    request("write", com_, to_hex(bytes));
}

std::vector<std::uint8_t> PeerLine::read_from_port(std::size_t count,
                                                   std::chrono::milliseconds limit) const {
    return from_hex(
        request("read", com_, std::to_string(count) + ' ' + std::to_string(limit.count())));
}

void PeerLine::write_as_port(std::span<const std::uint8_t> bytes) const {
    request("inject", com_, to_hex(bytes));
}

std::size_t PeerLine::clog() const {
    return std::stoul(request("clog", com_));
}

void PeerLine::close_master() const {
    request("unplug", com_);
}

}  // namespace motor::testing
