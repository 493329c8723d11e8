#include "fakeservice/http_exchange.h"

#include <cctype>
#include <cstdlib>

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

std::string_view ReasonFor(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 307:
      return "Temporary Redirect";
    case 400:
      return "Bad Request";
    case 404:
      return "Not Found";
    case 414:
      return "Request-URI Too Large";
    case 500:
      return "Internal Server Error";
    case 502:
      return "Bad Gateway";
    default:
      return "Status";
  }
}

std::optional<std::string> FindPair(std::string_view text, std::string_view key, bool decode) {
  for (const auto& [name, value] : SplitPairs(text)) {
    if (name == key) {
      return decode ? PercentDecode(value, true) : value;
    }
  }
  return std::nullopt;
}

}  // namespace

std::string RecordedRequest::Path() const {
  return target.substr(0, target.find('?'));
}

std::string RecordedRequest::Query() const {
  const size_t mark = target.find('?');
  return mark == std::string::npos ? std::string() : target.substr(mark + 1);
}

std::optional<std::string> RecordedRequest::QueryValue(std::string_view key) const {
  return FindPair(Query(), key, true);
}

std::optional<std::string> RecordedRequest::RawQueryValue(std::string_view key) const {
  return FindPair(Query(), key, false);
}

std::optional<std::string> RecordedRequest::Header(std::string_view name) const {
  for (const auto& [headerName, value] : headers) {
    if (EqualsNoCase(headerName, name)) {
      return value;
    }
  }
  return std::nullopt;
}

std::vector<std::string> RecordedRequest::HeaderNames() const {
  std::vector<std::string> names;
  for (const auto& header : headers) {
    names.push_back(header.first);
  }
  return names;
}

std::optional<std::string> RecordedRequest::FormValue(std::string_view key) const {
  return FindPair(body, key, true);
}

FakeReply FakeReply::Json(std::string body) {
  FakeReply reply;
  reply.headers = {{"Content-Type", "application/json; charset=utf-8"}};
  reply.body = std::move(body);
  return reply;
}

FakeReply FakeReply::Html(std::string body, int status) {
  FakeReply reply;
  reply.status = status;
  reply.headers = {{"Content-Type", "text/html; charset=utf-8"}};
  reply.body = std::move(body);
  return reply;
}

FakeReply FakeReply::Redirect(int status, std::string location) {
  FakeReply reply;
  reply.status = status;
  reply.headers = {{"Location", std::move(location)}};
  return reply;
}

FakeReply FakeReply::Fault(ReplyFault fault) {
  FakeReply reply;
  reply.fault = fault;
  return reply;
}

FakeReply FakeReply::Slow(long delayMs, FakeReply reply) {
  reply.delayMs = delayMs;
  return reply;
}

HeadParse ParseRequestHead(std::string_view head, RecordedRequest& request) {
  const size_t lineEnd = head.find("\r\n");
  if (lineEnd == std::string_view::npos) {
    return HeadParse::kNeedMore;
  }
  const std::string_view line = head.substr(0, lineEnd);
  const size_t firstBlank = line.find(' ');
  const size_t lastBlank = line.rfind(' ');
  if (firstBlank == std::string_view::npos || firstBlank == lastBlank) {
    return HeadParse::kMalformed;
  }
  request.method = line.substr(0, firstBlank);
  request.target = line.substr(firstBlank + 1, lastBlank - firstBlank - 1);
  request.version = line.substr(lastBlank + 1);
  if (request.version.rfind("HTTP/1.", 0) != 0 || request.target.empty()) {
    return HeadParse::kMalformed;
  }
  request.headers.clear();
  size_t position = lineEnd + 2;
  while (true) {
    const size_t end = head.find("\r\n", position);
    if (end == std::string_view::npos) {
      return HeadParse::kNeedMore;
    }
    const std::string_view header = head.substr(position, end - position);
    position = end + 2;
    if (header.empty()) {
      return HeadParse::kComplete;
    }
    const size_t colon = header.find(':');
    if (colon == std::string_view::npos || colon == 0 || header.front() == ' ' ||
        header.front() == '\t') {
      return HeadParse::kMalformed;
    }
    request.headers.emplace_back(std::string(header.substr(0, colon)),
                                 std::string(Trim(header.substr(colon + 1))));
  }
}

bool DecodeChunkedBody(std::string_view raw, std::string& body, bool& malformed) {
  body.clear();
  malformed = false;
  size_t position = 0;
  while (true) {
    const size_t end = raw.find("\r\n", position);
    if (end == std::string_view::npos) {
      return false;
    }
    const std::string sizeText(raw.substr(position, end - position));
    char* stop = nullptr;
    const unsigned long size = std::strtoul(sizeText.c_str(), &stop, 16);
    if (sizeText.empty() || (stop != nullptr && *stop != '\0' && *stop != ';')) {
      malformed = true;
      return false;
    }
    position = end + 2;
    if (size == 0) {
      // Trailers are not expected; the final chunk ends with one blank line.
      return raw.find("\r\n", position) != std::string_view::npos;
    }
    if (raw.size() < position + size + 2) {
      return false;
    }
    body.append(raw.substr(position, size));
    position += size + 2;
  }
}

std::string SerializeReplyHead(const FakeReply& reply) {
  std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " ";
  head += reply.reason.empty() ? std::string(ReasonFor(reply.status)) : reply.reason;
  head += "\r\n";
  bool hasLength = false;
  for (const auto& [name, value] : reply.headers) {
    hasLength = hasLength || EqualsNoCase(name, "Content-Length");
    head += name + ": " + value + "\r\n";
  }
  if (reply.withContentLength && !hasLength) {
    head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
  }
  head += "Connection: close\r\n\r\n";
  return head;
}

void PrintTo(const RecordedRequest& request, std::ostream* out) {
  *out << request.method << " " << request.target << (request.tls ? "" : " (plain)");
  for (const auto& [name, value] : request.headers) {
    *out << "\n  " << name << ": " << value;
  }
  if (!request.body.empty()) {
    *out << "\n  body: " << request.body.substr(0, 200);
  }
}

std::string PercentEncode(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  return out;
}

std::string PercentDecode(std::string_view text, bool plusIsBlank) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 2 < text.size()) {
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += (plusIsBlank && c == '+') ? ' ' : c;
  }
  return out;
}

HeaderList SplitPairs(std::string_view text) {
  HeaderList pairs;
  size_t position = 0;
  while (position <= text.size() && !text.empty()) {
    size_t end = text.find('&', position);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    const std::string_view pair = text.substr(position, end - position);
    const size_t equals = pair.find('=');
    if (!pair.empty()) {
      if (equals == std::string_view::npos) {
        pairs.emplace_back(std::string(pair), std::string());
      } else {
        pairs.emplace_back(std::string(pair.substr(0, equals)),
                           std::string(pair.substr(equals + 1)));
      }
    }
    position = end + 1;
  }
  return pairs;
}
