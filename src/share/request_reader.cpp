#include "share/request_reader.h"

#include <algorithm>

#include "share/secret.h"

namespace tavrin::share {
namespace {

constexpr std::size_t kNone = std::string::npos;

bool IsTokenCharacter(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
         });
}

std::string_view TrimmedValue(std::string_view value) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  return value;
}

}  // namespace

std::size_t RequestReader::Take(std::string_view bytes) {
  if (state_ != State::kMore) return 0;
  if (headEnd_ != kNone) return TakeBody(bytes);
  // Never more than the head may hold: a client's endless header lines
  // are refused at the limit, not kept.
  const std::size_t chunk = std::min(bytes.size(), limits_.headBytes - head_.size());
  head_.append(bytes.substr(0, chunk));
  ScanLines();
  if (state_ != State::kMore) return chunk;
  if (headEnd_ == kNone) {
    if (lineEnd_ == kNone && head_.size() > limits_.requestLine) {
      Refuse(414);
    } else if (head_.size() >= limits_.headBytes) {
      Refuse(431);
    }
    return chunk;
  }
  // What came after the head is the body's, or the next request's.
  const std::string after = head_.substr(headEnd_);
  head_.resize(headEnd_);
  const std::size_t taken = chunk - after.size();
  ParseHead();
  if (state_ != State::kMore) return taken;
  return taken + TakeBody(after);
}

void RequestReader::ScanLines() {
  for (; scanned_ < head_.size() && headEnd_ == kNone; ++scanned_) {
    if (head_[scanned_] != '\n') continue;
    std::size_t length = scanned_ - lineStart_;
    if (length > 0 && head_[scanned_ - 1] == '\r') --length;
    if (lineEnd_ == kNone && length == 0) {
      // Line ends before a request line (left over from a client's last
      // request) are passed over.
      head_.erase(0, scanned_ + 1);
      scanned_ = kNone;  // the loop's ++ makes it 0
      continue;
    }
    if (lineEnd_ == kNone) {
      lineEnd_ = lineStart_ + length;
      if (length > limits_.requestLine) return Refuse(414);
    }
    if (length == 0) {
      headEnd_ = scanned_ + 1;
    } else if (kept_.size() > limits_.headerLines) {
      return Refuse(431);
    } else {
      kept_.emplace_back(lineStart_, length);
    }
    lineStart_ = scanned_ + 1;
  }
}

std::size_t RequestReader::TakeBody(std::string_view bytes) {
  const std::size_t more = std::min(bytes.size(), bodyLength_ - body_.size());
  body_.append(bytes.substr(0, more));
  if (body_.size() == bodyLength_) state_ = State::kWhole;
  return more;
}

void RequestReader::ParseHead() {
  const std::string_view line(head_.data() + kept_[0].first, kept_[0].second);
  // METHOD SP TARGET SP HTTP/1.x, nothing else.
  const std::size_t first = line.find(' ');
  const std::size_t second = first == kNone ? kNone : line.find(' ', first + 1);
  if (second == kNone || line.find(' ', second + 1) != kNone) return Refuse(400);
  const std::string_view method = line.substr(0, first);
  const std::string_view target = line.substr(first + 1, second - first - 1);
  const std::string_view version = line.substr(second + 1);
  if (method.empty() || method.size() > 16 ||
      !std::all_of(method.begin(), method.end(), [](char c) { return c >= 'A' && c <= 'Z'; }) ||
      !target.starts_with('/') || (version != "HTTP/1.1" && version != "HTTP/1.0")) {
    return Refuse(400);
  }
  bool lengthSaid = false, transferCoded = false;
  std::vector<std::pair<std::size_t, std::size_t>> kept = {kept_[0]};
  for (std::size_t i = 1; i < kept_.size(); ++i) {
    const std::string_view header(head_.data() + kept_[i].first, kept_[i].second);
    const std::size_t colon = header.find(':');
    if (colon == 0 || colon == kNone ||
        !std::all_of(header.begin(), header.begin() + static_cast<std::ptrdiff_t>(colon), IsTokenCharacter)) {
      return Refuse(400);  // no name, a folded line or a name with blanks in it
    }
    const std::string_view name = header.substr(0, colon);
    const std::string_view value = TrimmedValue(header.substr(colon + 1));
    if (SameWord(name, "Content-Length")) {
      if (lengthSaid || value.empty() || value.size() > 18 ||
          !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return Refuse(400);
      }
      lengthSaid = true;
      bodyLength_ = std::stoull(std::string(value));
    } else if (SameWord(name, "Transfer-Encoding")) {
      transferCoded = true;
    } else if (SameWord(name, "Expect")) {
      if (!SameWord(value, "100-continue")) return Refuse(417);
      expectsContinue_ = true;
      continue;  // answered by the server, before the library reads the request
    }
    kept.push_back(kept_[i]);
  }
  kept_ = std::move(kept);
  // A body in chunks could be of any length: only bodies that say their
  // length are read, and only up to the limit.
  if (transferCoded) return Refuse(lengthSaid ? 400 : 411);
  if (bodyLength_ > limits_.bodyBytes) return Refuse(413);
}

std::string_view RequestReader::TargetSoFar() const {
  const std::string_view line = std::string_view(head_).substr(0, lineEnd_ == kNone ? head_.size() : lineEnd_);
  const std::size_t start = line.find(' ');
  if (start == kNone) return {};
  const std::string_view target = line.substr(start + 1);
  return target.substr(0, target.find(' '));
}

std::string RequestReader::Request() const {
  std::string request;
  request.reserve(head_.size() + body_.size());
  for (const auto& [start, length] : kept_) request.append(head_, start, length).append("\r\n");
  return request.append("\r\n").append(body_);
}

std::optional<bool> NamesSecret(std::string_view targetSoFar, bool whole, std::string_view secret) {
  if (targetSoFar.empty()) return whole ? std::optional(false) : std::nullopt;
  if (targetSoFar.front() != '/') return false;
  const std::string_view rest = targetSoFar.substr(1);
  const std::size_t end = rest.find_first_of("/?#");
  if (end != kNone) return SameSecret(rest.substr(0, end), secret);
  if (whole) return SameSecret(rest, secret);
  // Longer than the secret already: the length says so, not the letters.
  if (rest.size() > secret.size()) return false;
  return std::nullopt;
}

}  // namespace tavrin::share
