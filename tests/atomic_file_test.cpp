// Files the game writes: replaced whole, through a symbolic link, never over
// a read-only file, without temporary files left behind, and with errors
// that name the file the game meant to write.
#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "tests/test_support.h"

namespace fs = std::filesystem;

namespace {

int CountEntries(const std::string& dir) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    (void)e;
    ++n;
  }
  return n;
}

}  // namespace

TEST(AtomicFile, ReplacesTheFileAndLeavesNoTemporaryBehind) {
  TempDirectory dir;
  const std::string path = dir.Path() + "/light.txt";
  std::string why;
  ASSERT_TRUE(WriteFileAtomically(path, "one", &why)) << why;
  ASSERT_TRUE(WriteFileAtomically(path, "two", &why)) << why;
  EXPECT_EQ(ReadWholeFile(path), "two");
  EXPECT_EQ(CountEntries(dir.Path()), 1);
}

TEST(AtomicFile, RemovesTemporariesThatAKilledRunLeft) {
  TempDirectory dir;
  const std::string path = dir.Path() + "/light.txt";
  // A process that no longer exists (pid_max is far below this) left one.
  std::ofstream(path + ".tmp2147483000") << "half";
  std::ofstream(path + ".tmpnotanumber") << "someone else's";
  std::string why;
  ASSERT_TRUE(WriteFileAtomically(path, "whole", &why)) << why;
  EXPECT_FALSE(fs::exists(path + ".tmp2147483000"));
  EXPECT_TRUE(fs::exists(path + ".tmpnotanumber"));  // not ours: left alone
}

TEST(AtomicFile, AReadOnlyFileStaysAsItIsAndTheErrorNamesIt) {
  TempDirectory dir;
  const std::string path = dir.Path() + "/light.txt";
  std::ofstream(path) << "kept";
  ::chmod(path.c_str(), 0444);
  std::string why;
  EXPECT_FALSE(WriteFileAtomically(path, "new", &why));
  EXPECT_EQ(ReadWholeFile(path), "kept");
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
  EXPECT_NE(why.find(path), std::string::npos) << why;
  EXPECT_EQ(why.find(".tmp"), std::string::npos) << why;
  EXPECT_EQ(CountEntries(dir.Path()), 1);
}

TEST(AtomicFile, WritesThroughASymbolicLinkAndKeepsThePermissions) {
  TempDirectory dir;
  fs::create_directory(dir.Path() + "/real");
  const std::string target = dir.Path() + "/real/light.txt", link = dir.Path() + "/light.txt";
  std::ofstream(target) << "old";
  ::chmod(target.c_str(), 0640);
  fs::create_symlink("real/light.txt", link);
  std::string why;
  ASSERT_TRUE(WriteFileAtomically(link, "new", &why)) << why;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadWholeFile(target), "new");
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(AtomicFile, AFailedWriteNamesTheTargetAndCleansUp) {
  TempDirectory dir;
  const std::string path = dir.Path() + "/light.txt";
  fs::create_directory(path);  // its place is taken by a directory
  std::string why;
  EXPECT_FALSE(WriteFileAtomically(path, "x", &why));
  EXPECT_NE(why.find(path), std::string::npos) << why;
  EXPECT_EQ(why.find(".tmp"), std::string::npos) << why;
  EXPECT_EQ(CountEntries(dir.Path()), 1);
  EXPECT_FALSE(WriteFileAtomically(dir.Path() + "/no/such/dir/light.txt", "x", &why));
  EXPECT_NE(why.find("no/such/dir/light.txt"), std::string::npos) << why;
}
