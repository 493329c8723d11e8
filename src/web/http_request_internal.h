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
