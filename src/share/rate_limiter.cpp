#include "share/rate_limiter.h"

#include <algorithm>

namespace tavrin::share {

bool RateLimiter::Allow(const std::string& client, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  auto found = buckets_.find(client);
  if (found == buckets_.end()) {
    // Too many clients remembered: forget those whose buckets have filled
    // again (they are as if new); if none has, the newcomer waits its turn.
    if (buckets_.size() >= maxClients_) {
      std::erase_if(buckets_, [&](const auto& entry) {
        const double seconds = std::chrono::duration<double>(now - entry.second.filled).count();
        return entry.second.tokens + seconds * limit_.perSecond >= limit_.burst;
      });
      if (buckets_.size() >= maxClients_) return false;
    }
    found = buckets_.emplace(client, Bucket{limit_.burst, now}).first;
  }
  Bucket& bucket = found->second;
  const double seconds = std::chrono::duration<double>(now - bucket.filled).count();
  bucket.tokens = std::min(limit_.burst, bucket.tokens + std::max(0.0, seconds) * limit_.perSecond);
  bucket.filled = now;
  if (bucket.tokens < 1) return false;
  bucket.tokens -= 1;
  return true;
}

}  // namespace tavrin::share
