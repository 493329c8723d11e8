#pragma once
// The destination folders of the copy job's sub-folder modes: the
// destination's sub-folders, first level only or all levels breadth first,
// as the service lists them, and the keyword filter the job applies to their
// names. Runs on the copy job's worker thread; stops at its loop heads when
// the stop flag is set and waits while the pause flag is set.

#include <string>
#include <vector>

#include "foundation/text_arrays.h"
#include "web/account_session.h"

// One destination folder below the destination.
struct CopyTarget {
  // The folder's remote path as UTF-8, percent-encoded byte by byte
  // (UrlEncodeBytes: letters, digits, "-", "." and "_" kept, space as "+").
  std::string path;
  // "1" when the service reported the folder as empty, else "0".
  std::string isEmpty;
};

// One sub-folder as the listing gives it: `path` exactly as the reply holds
// it (backslash-u escapes kept) and `dir_empty`.
struct SubfolderEntry {
  std::string path;
  std::string dirEmpty;
};

// Replaces `entries` with every sub-folder of the folder `encodedFolder`
// (percent-encoded), page after page of 100. Each page is asked up to ten
// times, 300 ms apart, until the reply holds "errno". Returns false when a
// page's last reply does not hold `{"errno":0,` (the folder could not be
// listed), leaving that reply in *lastReply; true when the stop flag ended
// the listing.
bool ListSubfolders(const AccountSession& session, const std::string& encodedFolder,
                    std::vector<SubfolderEntry>& entries, std::string* lastReply = nullptr);

// Fills `targets` with the sub-folders of `encodedDestination`: the first
// level in the service's order, and unless the first-level radio is selected
// then every level below, level by level; empty folders are targets but are
// never listed. A folder that is one of `sources` (plain remote paths) or
// lies inside one is left out and not descended into. A folder that cannot be
// listed raises g_copyFailedCount and gets an entry in the failure log of
// `stamp`.
void CollectCopyTargets(const AccountSession& session, const TextArray& sources,
                        const std::string& encodedDestination, const std::string& stamp,
                        std::vector<CopyTarget>& targets);

// Whether the folder name `name` passes the keyword filter of the rename
// rules' boxes: with the exclude box ticked it must hold none of the exclude
// keywords; else with the include box ticked it must hold at least one
// include keyword (an include box without keywords lets every name pass).
// Keywords come from the comma-separated boxes, empty entries dropped.
bool PassesCopyKeywordFilter(const std::string& name);
