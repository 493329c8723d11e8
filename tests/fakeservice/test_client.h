#pragma once
// A plain libcurl client for the emulator's own tests: one request, one
// connection, the raw reply head kept.

#include <curl/curl.h>

#include <string>
#include <vector>

struct ClientRequest {
  std::string url;
  std::string method = "GET";
  std::vector<std::string> headers;  // "Name: value" lines, sent in this order
  std::string body;
  std::string caFile;  // empty: the system's store
  long timeoutMs = 5000;
};

struct ClientReply {
  CURLcode code = CURLE_OK;
  long status = 0;
  std::string head;  // every header block received, raw
  std::string body;
};

ClientReply Fetch(const ClientRequest& request);
