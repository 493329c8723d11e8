// The remote folder tree's item images.

#include "ui/remote_tree_images.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(RemoteTreeImagesTest, EveryImageIndexHasItsOwnImage) {
  const int indices[] = {0, 1, 2, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  std::vector<QImage> images;
  for (int index : indices) {
    SCOPED_TRACE(index);
    const QIcon icon = RemoteTreeImage(index);
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(16, 16).toImage();
    for (const QImage& earlier : images) {
      EXPECT_NE(image, earlier);
    }
    images.push_back(image);
  }
}

TEST(RemoteTreeImagesTest, IndicesWithoutAnImageShowTheFolder) {
  const QImage folder = RemoteTreeImage(kTreeImageFolder).pixmap(16, 16).toImage();
  for (int index : {-1, 4, 5, 17, 100}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(RemoteTreeImage(index).pixmap(16, 16).toImage(), folder);
  }
  EXPECT_NE(RemoteTreeImage(kTreeImageRoot).pixmap(16, 16).toImage(), folder);
}

}  // namespace
