#pragma once
// The item images of the remote folder tree `树型框1`, by the index an item
// carries: 0 folder (also the default), 1 video, 2 archive, 3 apk, 6 the root
// item, 7 picture, 8 audio, 9 other file, 10 pdf, 11 exe, 12 web page, 13 txt,
// 14 doc, 15 sheet, 16 slides. User-interface thread only.

#include <QIcon>

inline constexpr int kTreeImageFolder = 0;
inline constexpr int kTreeImageRoot = 6;
inline constexpr int kTreeImageOtherFile = 9;

// The image of `index`; an index without an image of its own shows the
// folder image, as the tree's default.
QIcon RemoteTreeImage(int index);
