#pragma once
// What the browser libraries trust besides the system's authorities: the
// program's extra CA file. The program reads its configuration and publishes
// the file here before it starts a browser; the libraries it loads at run time
// carry their own copies of the lower libraries, so the value lives on the
// application object, which they share. User-interface thread only.

#include <string>

// Publishes `caFile` (empty: the system's authorities only).
void PublishBrowserExtraCaFile(const std::string& caFile);
// The published file; empty before anything was published.
std::string PublishedBrowserExtraCaFile();
