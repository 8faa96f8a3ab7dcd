// A request read as it comes, before the HTTP library sees it: the request
// line, the header lines and the body, each bounded in size and count, so
// that what a client sends can never take more memory than the limits. The
// server gives the library only requests this reader has found whole, and
// turns away the others itself.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrin::share {

struct RequestLimits {
  std::size_t requestLine = 2048;  // the request line alone
  std::size_t headBytes = 8192;    // the request line and every header line together
  std::size_t headerLines = 40;
  std::size_t bodyBytes = 4096;
};

class RequestReader {
 public:
  enum class State {
    kMore,     // takes more bytes
    kWhole,    // head and body are in; Request() is what the library reads
    kRefused,  // refused with Refusal(), whatever follows
  };

  explicit RequestReader(RequestLimits limits = {}) : limits_(limits) {}

  // Takes bytes of the connection as they come; returns how many it took.
  // It takes none once the request is whole or refused: what follows is
  // the next request's.
  std::size_t Take(std::string_view bytes);
  State Status() const { return state_; }
  // The HTTP status of a refused request: 400 (malformed), 411 (a body
  // without a length), 413 (a body too long), 414 (a request line too
  // long), 417 (an expectation other than 100-continue) or 431 (too many or
  // too long header lines).
  int Refusal() const { return refusal_; }

  // The request target as far as it has come (the whole of it once the
  // request line is in); empty before the method has ended.
  std::string_view TargetSoFar() const;
  bool TargetWhole() const { return lineEnd_ != std::string::npos; }
  // The head is in and asks to be told to go on before it sends its body.
  bool WaitsForContinue() const { return expectsContinue_ && headEnd_ != std::string::npos && state_ == State::kMore; }

  // The request as the library is to read it: its head without the Expect
  // line (answered here already), then the body.
  std::string Request() const;
  // Bytes held: never more than the head's and the body's limits.
  std::size_t Held() const { return head_.size() + body_.size(); }

 private:
  void Refuse(int status) {
    state_ = State::kRefused;
    refusal_ = status;
  }
  // Finds the head's lines in what has come of it, up to its empty line;
  // refuses a request line too long or too many header lines.
  void ScanLines();
  // Reads the head once its empty line has come.
  void ParseHead();
  // Takes of `bytes` what the body still lacks; the request is whole once
  // the body is.
  std::size_t TakeBody(std::string_view bytes);

  RequestLimits limits_;
  State state_ = State::kMore;
  int refusal_ = 0;
  std::string head_;  // up to and with the empty line that ends it
  std::size_t scanned_ = 0;
  std::size_t lineEnd_ = std::string::npos;  // end of the request line
  std::size_t headEnd_ = std::string::npos;
  // The head's lines the library reads: where each starts in head_, and
  // its length without the line end.
  std::vector<std::pair<std::size_t, std::size_t>> kept_;
  std::size_t lineStart_ = 0;  // of the line being read
  std::size_t bodyLength_ = 0;
  bool expectsContinue_ = false;
  std::string body_;
};

// Whether a request target names `secret` as its first path segment:
// nullopt while the segment has not ended yet (more of the target will
// tell). The comparison takes the same time wherever the texts differ, and
// no answer is given before the segment is whole, so that a client cannot
// learn the secret a character at a time.
std::optional<bool> NamesSecret(std::string_view targetSoFar, bool whole, std::string_view secret);

}  // namespace tavrin::share
