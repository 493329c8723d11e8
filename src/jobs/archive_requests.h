#pragma once
// The two file operations of the archive job: making a remote folder and
// moving one file into a folder. Worker thread; every wait runs on the
// installed clock. Paths and names arrive UTF-8 and percent-encoded.

#include <string>

#include "web/account_session.h"

// Makes the remote folder `encodedFolder`, up to ten attempts 500 ms apart
// until the service confirms it. True when the last reply confirms a new
// folder: it holds `"errno":0` and `"isdir":1` (wherever the service puts
// them in the reply).
bool CreateRemoteFolder(const AccountSession& session, const std::string& encodedFolder);

// Moves the file `encodedSource` into `encodedTargetFolder` under the name
// `encodedName`: up to 20 passes, each a submission (up to ten quick sends
// until the reply is not empty) followed by up to 25 task polls a second
// apart, or, when the service answers busy, a 15-second wait. True when the
// service reports the move done; false after the last pass or when the poll
// says the cookies are no longer valid, after the failure line has been
// appended to "err.txt".
bool MoveRemoteFile(const AccountSession& session, const std::string& encodedSource,
                    const std::string& encodedTargetFolder, const std::string& encodedName);

// The move's request body ("filelist=" + the encoded one-item list).
std::string BuildMoveBody(const std::string& encodedSource, const std::string& encodedTargetFolder,
                          const std::string& encodedName);
