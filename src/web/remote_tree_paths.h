#pragma once
// What the jobs and the window read of the remote folder tree's items: the
// image of a file name, and the remote path of an item.
//
// Any thread; both read the tree model (web/folder_tree_model.h) under its own
// lock only, never g_viewLock.

#include <string>

// The tree image of a name, by its extension (GetPathExtension, compared
// without regard to A-Z case): 0 none, 1 video, 2 archive, 3 apk, 7 picture,
// 8 audio, 10 pdf, 11 exe, 12 web page, 13 txt, 14 document, 15 sheet,
// 16 slides, 9 any other.
int GetFileIconIndex(const std::string& name);

// The remote path of tree item `index` (below 1: the tree's current item):
// "/" for the root item, otherwise "/" + the texts of the items from the
// root's child down to the item, joined by "/". Every character is kept: the
// text is code page 936, and a name holding characters that code page 936
// lacks writes those in backslash-u notation (EscapeBeyondCodePage, a
// backslash before "u" as "\u005C"), so RemoteNameUtf8 gives back the exact
// path and a box shows it readably. `isFolder` is 1 for a folder or the root
// item, else 0. A missing item gives the empty text and `isFolder` 0.
std::string GetRemoteTreeNodePath(int& isFolder, int index);

// The same path in UTF-8, every character of the names kept (for requests
// that must name exactly that item).
std::string GetRemoteTreeNodePathUtf8(int& isFolder, int index);
