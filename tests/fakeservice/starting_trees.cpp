#include "fakeservice/starting_trees.h"

#include <cstdio>

RemoteTree SampleTree() {
  return RemoteTree::FromPaths({
      "/docs/",
      U8(u8"/docs/中文.txt:1024"),
      "/docs/report 2023.doc:20480",
      "/docs/notes/",
      "/docs/notes/a.txt:12",
      "/docs/notes/b.txt:34",
      U8(u8"/music/Don’t.mp3:3145728"),
      "/music/it's.txt:5",
      U8(u8"/照片/"),
      U8(u8"/照片/IMG_0001.jpg:204800"),
      U8(u8"/照片/IMG_0002.jpg:198000"),
      "/archive/a.part1.rar:1048576",
      "/archive/a.part2.rar:1048576",
      "/empty/",
      "/readme.txt:64",
  });
}

RemoteTree AwkwardNamesTree() {
  return RemoteTree::FromPaths({
      U8(u8"/names/中文.txt:10"),
      U8(u8"/names/Don’t.mp3:20"),
      "/names/it's.txt:30",
      "/names/it's/",
      "/names/it's/inner.txt:1",
      "/names/a+b-c.txt:2",
      "/names/x-1.txt:3",
      "/names/tilde~name.txt:4",
      "/names/a&b.txt:5",
      "/names/a%20b.txt:6",
      "/names/%41.txt:7",
      "/names/{$}.txt:8",
      U8(u8"/names/smile😀.txt:9"),
      U8(u8"/names/niño.txt:11"),
      "/names/deep/one/two/three/bottom.txt:12",
      "/names/deep/empty/",
  });
}

RemoteTree PageBoundaryTree() {
  RemoteTree tree;
  for (const int count : {99, 100, 199, 200}) {
    const std::string folder = "/p" + std::to_string(count);
    tree.AddFolder(folder);
    for (int i = 1; i <= count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "/f%03d.txt", i);
      tree.AddFile(folder + name, i);
    }
  }
  return tree;
}
