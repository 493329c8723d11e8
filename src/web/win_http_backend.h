#pragma once
// SendWinHttpRequest: the default back end of SendHttpRequest (g_useCurl 0),
// one WinHttpRequest per call. It completes the browser-like headers a request
// lacks, tidies the header lines, sends the cookie text as the Cookie header,
// and takes the name=value pairs of the reply's "Set-Cookie" lines as the
// received cookies. Certificates are verified; the service configuration's
// extra CA file is trusted.

#include <string>

#include "web/http_request.h"

// Same parameters as SendHttpRequest. Left out here (unlike through
// SendHttpRequest): credentialsTarget 1, mergeCookies on; a null `cookies`
// sends no Cookie header. Returns the reply body, empty on failure (then the
// received headers are empty and the status 0).
std::string SendWinHttpRequest(const std::string& url, const HttpRequestArgs& args);

// The headers completion adds to a request's header text when it lacks them,
// each tested without case on the text the earlier rows produced.
std::string CompleteWinHttpHeaders(const std::string& headerText, const std::string& url,
                                   int method);

// The name=value pairs of the lines that begin exactly "Set-Cookie: ", each
// without its attributes, joined by "; ".
std::string ExtractSetCookiePairs(const std::string& receivedHeaders);
