#pragma once
// The ports this process has open. Windows refuses a second open of a port that is open; Wine
// does not, so the backend also keeps this table, and a second start of an open port in this
// process fails the same way everywhere.

#include <string>

namespace motor::serial_backend {

// Holds one entry of the table while it lives.
class OpenPortClaim {
  public:
    // Claims `device`; check held() to see whether it was free.
    explicit OpenPortClaim(std::string device);
    ~OpenPortClaim();
    OpenPortClaim(OpenPortClaim&& other) noexcept;
    OpenPortClaim(const OpenPortClaim&) = delete;
    OpenPortClaim& operator=(const OpenPortClaim&) = delete;
    OpenPortClaim& operator=(OpenPortClaim&&) = delete;

    bool held() const { return held_; }

  private:
    std::string device_;
    bool held_;
};

}  // namespace motor::serial_backend
