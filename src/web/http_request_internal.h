#pragma once
// Internals of SendHttpRequest shared by its back ends and their tests.

#include <string>

#include "web/http_request.h"

// The libcurl path of SendHttpRequest (g_useCurl not 0).
std::string SendCurlHttpRequest(const std::string& url, const HttpRequestArgs& args);

// Tests only: the length of "one second" in the time-out rule, so a test can
// run the rule end to end against a slow reply without waiting whole seconds.
// The program never changes it from 1000.
void SetHttpSecondMsForTesting(long milliseconds);

// Tests only: called on the calling thread with the URL and the arguments of
// every request before it is sent, so a test can see which time-out each
// request asks for. nullptr (the program's setting) observes nothing.
using HttpRequestObserver = void (*)(const std::string& url, const HttpRequestArgs& args);
void SetHttpRequestObserverForTesting(HttpRequestObserver observer);

// Fuzzing and tests only: when set, every request is answered on the calling
// thread by `source` instead of a back end: it gets the URL and arguments and
// gives the reply body and its status (0 for no reply). Nothing is sent and no
// output but the status is written. nullptr (the program's setting) sends
// requests as usual.
using HttpReplySource = std::string (*)(const std::string& url, const HttpRequestArgs& args,
                                        int& status);
void SetHttpReplySourceForTesting(HttpReplySource source);
