#pragma once
// Named starting trees for service tests and the standalone emulator. Names
// are UTF-8.

#include "fakeservice/remote_tree.h"

// A small everyday tree: a few folders, Chinese names, an empty folder.
RemoteTree SampleTree();

// The names that take the program's special routes: non-ASCII names, a
// right single quotation mark and plain apostrophes (a folder named it's),
// "+", "~", "&", "%20", "%41", "{$}", an emoji, "ñ" (no code page 936 form),
// several levels of depth and an empty folder, all under /names.
RemoteTree AwkwardNamesTree();

// Folders holding exactly 99, 100, 199 and 200 files (/p99, /p100, /p199,
// /p200), for the page boundaries of listings of 100 and 200 entries.
RemoteTree PageBoundaryTree();
