#pragma once
// One HTTP/1.1 exchange as the emulator sees it: the request exactly as it
// arrived (header order and case kept, so tests can prove what a client sent)
// and the reply or fault the emulator answers with. The wire functions here are
// pure so that they can be tested without sockets.
//
// No <chrono> here: with a code page 936 execution character set its C++20
// unit suffixes do not compile, and every test including this would inherit it.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct RecordedRequest {
  std::string method;
  std::string target;  // path with the raw query, exactly as sent
  std::string version;
  HeaderList headers;  // in the order received, names in their original case
  std::string body;    // de-chunked when the client sent chunks
  bool tls = false;
  bool chunked = false;         // the body came as Transfer-Encoding: chunked
  bool bodyIncomplete = false;  // the connection ended before Content-Length bytes

  // The path part of the target, without the query.
  std::string Path() const;
  // The raw query after "?" (not decoded), empty without one.
  std::string Query() const;
  // Value of the first query key equal to `key` (exact case), percent-decoded
  // with "+" as a blank; nullopt when absent.
  std::optional<std::string> QueryValue(std::string_view key) const;
  // Same key, value kept raw (the logid is raw Base64).
  std::optional<std::string> RawQueryValue(std::string_view key) const;
  // Value of the first header whose name matches without case.
  std::optional<std::string> Header(std::string_view name) const;
  // Header names in order, as sent.
  std::vector<std::string> HeaderNames() const;
  // Value of a form-encoded body field, decoded once ("+" as a blank).
  std::optional<std::string> FormValue(std::string_view key) const;
};

// What the emulator does instead of (or besides) sending a reply.
enum class ReplyFault {
  kNone,
  kCloseWithoutReply,  // close the connection without writing a byte (status 0)
  kResetConnection,    // abort the connection with a TCP reset
  kDropAfterHeaders,   // send the head (its Content-Length promises the body), then close
};

struct FakeReply {
  int status = 200;
  std::string reason;  // empty: the usual phrase for the status
  HeaderList headers;  // written in this order, exactly as given
  std::string body;
  ReplyFault fault = ReplyFault::kNone;
  // Milliseconds the reply (or fault) is held back. The wait ends early when
  // the client hangs up or the emulator stops.
  long delayMs = 0;
  // Without Content-Length the body ends when the connection closes.
  bool withContentLength = true;

  static FakeReply Json(std::string body);
  static FakeReply Html(std::string body, int status = 200);
  static FakeReply Redirect(int status, std::string location);
  static FakeReply Fault(ReplyFault fault);
  static FakeReply Slow(long delayMs, FakeReply reply);
};

// Result of reading a request head.
enum class HeadParse { kComplete, kNeedMore, kMalformed };

// Parses the request line and header block of `head` (which ends with the
// blank line) into `request`. Obsolete line folding is refused as malformed.
HeadParse ParseRequestHead(std::string_view head, RecordedRequest& request);

// Decodes a complete chunked body. Returns false while `raw` does not yet hold
// the final zero chunk, and sets `malformed` on a syntax error.
bool DecodeChunkedBody(std::string_view raw, std::string& body, bool& malformed);

// The bytes of the reply's status line and header block (ends with the blank
// line). Adds Content-Length when asked for and absent, and Connection: close.
std::string SerializeReplyHead(const FakeReply& reply);

// The request line and headers, for readable test failures.
void PrintTo(const RecordedRequest& request, std::ostream* out);

// Percent-encoding of everything but ASCII letters, digits and "-._~".
std::string PercentEncode(std::string_view text);

// Percent-decoding; `plusIsBlank` turns "+" into a blank. Bad escapes stay as they are.
std::string PercentDecode(std::string_view text, bool plusIsBlank);

// "a=1&b=2" into pairs, values left raw.
HeaderList SplitPairs(std::string_view text);
