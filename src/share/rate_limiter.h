// Requests per client: a bucket of tokens for each client address, filled at
// a steady rate up to its size; a request takes one token, and a client
// whose bucket is empty is refused until it has filled again.
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tavrin::share {

struct RateLimit {
  double burst = 120;     // tokens a full bucket holds
  double perSecond = 20;  // tokens added each second
};

class RateLimiter {
 public:
  using Clock = std::chrono::steady_clock;
  explicit RateLimiter(RateLimit limit, std::size_t maxClients = 4096) : limit_(limit), maxClients_(maxClients) {}
  // Takes a token of the client's bucket; false when it has none.
  bool Allow(const std::string& client, Clock::time_point now = Clock::now());

 private:
  struct Bucket {
    double tokens;
    Clock::time_point filled;
  };
  RateLimit limit_;
  std::size_t maxClients_;
  std::mutex mutex_;
  std::unordered_map<std::string, Bucket> buckets_;
};

}  // namespace tavrin::share
