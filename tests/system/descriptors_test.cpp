#include "system/descriptors.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>

#include "support/run_vorna.h"

namespace vorna {
namespace {

// A pipe takes a large write in pieces: every byte arrives, in order.
TEST(WriteAll, WritesEveryByteThroughAPipeAndSaysWhyAWriteFails) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  const std::string sent(1 << 20, 'v');
  std::string received;
  std::thread reader([&] {
    char block[4096];
    ssize_t got;
    while ((got = read(ends[0], block, sizeof block)) > 0) received.append(block, got);
  });
  EXPECT_TRUE(write_all(ends[1], sent));
  close(ends[1]);
  reader.join();
  close(ends[0]);
  EXPECT_EQ(received, sent);

  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  errno = 0;
  EXPECT_FALSE(write_all(full, "x", 1));
  EXPECT_EQ(errno, ENOSPC);
  close(full);
}

TEST(SameFile, IsOneFileByAnyNameAndNotAnother) {
  vorna_test::TempDir directory;
  const std::string file = directory.file("a.prt");
  vorna_test::write_file(file, "x");
  vorna_test::write_file(directory.file("b.prt"), "x");
  ASSERT_EQ(link(file.c_str(), directory.file("c.prt").c_str()), 0);
  struct stat a, b, c, dotted;
  ASSERT_EQ(stat(file.c_str(), &a), 0);
  ASSERT_EQ(stat(directory.file("b.prt").c_str(), &b), 0);
  ASSERT_EQ(stat(directory.file("c.prt").c_str(), &c), 0);
  ASSERT_EQ(stat((directory.path() + "/./a.prt").c_str(), &dotted), 0);
  EXPECT_TRUE(same_file(a, c));
  EXPECT_TRUE(same_file(a, dotted));
  EXPECT_FALSE(same_file(a, b));
}

}  // namespace
}  // namespace vorna
