// The small replies of the family's page: the headers every reply carries,
// the replies made before the HTTP library has seen a request, and the JSON
// and refusals the routes answer with.
#pragma once

#include <httplib.h>

#include <nlohmann/json.hpp>
#include <string>

#include "share/vote_book.h"

namespace tavrin::share {

using Json = nlohmann::json;

// The page may load its own script and style and talk to its own server;
// nothing inline, nothing from elsewhere, in no frame.
extern const httplib::Headers kSafeHeaders;

// The statuses the reader answers itself, with their reason phrases and,
// for a request with the secret, what the page shows.
struct Refusal {
  int status;
  const char* reason;
  const char* words;
};
// The refusal of `status` (400's when it is none of them).
const Refusal& RefusalOf(int status);

// A reply made before the HTTP library has seen the request: with the safe
// headers, and the connection closed after it.
std::string RawReply(int status, const std::string& body);
std::string ErrorBody(const std::string& why);

void Reply(httplib::Response& res, int status, const std::string& body, const char* type);
void ReplyJson(httplib::Response& res, int status, const Json& body);
// A refused request: a short reason the page can show, and the connection
// closed (a body it did not read must not be taken for the next request).
void Refuse(httplib::Response& res, int status, const std::string& why);

Json VoteJson(const Vote& v);

}  // namespace tavrin::share
