#include "share/replies.h"

namespace tavrin::share {

const httplib::Headers kSafeHeaders = {
    {"Content-Security-Policy",
     "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; connect-src 'self'; "
     "base-uri 'none'; form-action 'none'; frame-ancestors 'none'"},
    {"X-Content-Type-Options", "nosniff"},
    {"X-Frame-Options", "DENY"},
    {"Referrer-Policy", "no-referrer"},
    {"Cache-Control", "no-store"},
    {"Cross-Origin-Opener-Policy", "same-origin"},
    {"Cross-Origin-Resource-Policy", "same-origin"},
    {"Permissions-Policy", "camera=(), microphone=(), geolocation=(), interest-cohort=()"},
};

namespace {

constexpr Refusal kRefusals[] = {
    {100, "Continue", ""},
    {400, "Bad Request", "请求格式不对"},
    {404, "Not Found", ""},
    {411, "Length Required", "请求缺少长度"},
    {413, "Payload Too Large", "请求太长"},
    {414, "URI Too Long", "请求的地址太长"},
    {417, "Expectation Failed", "请求格式不对"},
    {431, "Request Header Fields Too Large", "请求的头部太长"},
};

}  // namespace

const Refusal& RefusalOf(int status) {
  for (const Refusal& r : kRefusals) {
    if (r.status == status) return r;
  }
  return kRefusals[1];
}

std::string RawReply(int status, const std::string& body) {
  std::string reply = "HTTP/1.1 " + std::to_string(status) + " " + RefusalOf(status).reason + "\r\n";
  for (const auto& [name, value] : kSafeHeaders) reply.append(name).append(": ").append(value).append("\r\n");
  if (!body.empty()) reply += "Content-Type: application/json; charset=utf-8\r\n";
  reply += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  return reply + body;
}

std::string ErrorBody(const std::string& why) {
  return Json{{"error", why}}.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void Reply(httplib::Response& res, int status, const std::string& body, const char* type) {
  res.status = status;
  res.set_content(body, type);
}

void ReplyJson(httplib::Response& res, int status, const Json& body) {
  Reply(res, status, body.dump(-1, ' ', false, Json::error_handler_t::replace), "application/json; charset=utf-8");
}

void Refuse(httplib::Response& res, int status, const std::string& why) {
  ReplyJson(res, status, {{"error", why}});
  res.set_header("Connection", "close");
}

Json VoteJson(const Vote& v) {
  return {{"version", v.version}, {"member", v.member},   {"name", v.name},      {"sex", v.sex},
          {"rating", v.rating},   {"comment", v.comment}, {"changed", v.changed}};
}

}  // namespace tavrin::share
