#pragma once
// Deletion of remote paths of the working account in one asynchronous
// /api/filemanager request (opera=delete), with retries while the service
// reports another task running on a path. A reply with a task id is only the
// service taking the delete on: its task is polled (as a rename's is) and the
// outcome it reports is booked, path by path when a failed task lists its
// items. Each path gets one result-log entry; the delete counters rise. Runs
// on the calling job thread.

#include <string>
#include <vector>

#include "web/account_session.h"

// `encodedPaths`: each already encoded by the caller, exactly once, from its
// own notation (EncodeRemoteJsonText(path, false), web/remote_name_text.h). An empty list does
// nothing. Returns at once, booking nothing, when the rename task's stop flag is set before an
// attempt or task poll. The first form deletes with the working account; the second with `session`
// (cookies, bdstoken, and its user's result logs).
void DeleteRemotePaths(const std::vector<std::string>& encodedPaths);
void DeleteRemotePaths(const AccountSession& session, const std::vector<std::string>& encodedPaths);

// Internal: the form body "filelist=%5B" + quoted paths joined by "%2C" + "%5D"
// (the double quotes are not encoded).
std::string BuildDeleteBody(const std::vector<std::string>& encodedPaths);

// The maker's tutorial on the service's identity check, named in the failure
// reason of a delete refused for it.
std::string IdentityCheckTutorialUrl();
