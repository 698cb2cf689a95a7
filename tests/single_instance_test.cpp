// Only one copy of the game runs at a time.
#include "base/single_instance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

TEST(SingleInstance, ASecondCopyIsRefusedUntilTheFirstEnds) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("orvelune_lock_" + std::to_string(::getpid())))
          .string();
  {
    SingleInstanceGuard first(path);
    ASSERT_TRUE(first.Acquire());
    SingleInstanceGuard second(path);
    std::string why;
    EXPECT_FALSE(second.Acquire(&why));
    EXPECT_EQ(why, "another copy is running");
  }
  SingleInstanceGuard third(path);
  EXPECT_TRUE(third.Acquire());
  std::remove(path.c_str());
}

TEST(SingleInstance, TheGameRefusesASecondStartWithAMessage) {
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("orvelune_rt_" + std::to_string(::getpid())))
          .string();
  std::filesystem::create_directories(dir);
  SingleInstanceGuard running(dir + "/orvelune.lock");
  ASSERT_TRUE(running.Acquire());
  const std::string command = "XDG_RUNTIME_DIR=" + dir + " " ORVELUNE_BIN_DIR "/orvelune 2>&1";
  FILE* p = popen(command.c_str(), "r");
  ASSERT_TRUE(p);
  std::string output;
  char buf[256];
  while (fgets(buf, sizeof buf, p)) output += buf;
  const int status = pclose(p);
  EXPECT_NE(WEXITSTATUS(status), 0);
  EXPECT_NE(output.find("多重起動できません"), std::string::npos) << output;
  std::filesystem::remove_all(dir);
}

TEST(SingleInstance, AnUnusableLockFileIsNotMistakenForASecondCopy) {
  SingleInstanceGuard guard("/no/such/dir/orvelune.lock");
  std::string why;
  EXPECT_EQ(guard.TryAcquire(&why), SingleInstanceGuard::Result::kUnusable);
  EXPECT_NE(why.find("/no/such/dir/orvelune.lock"), std::string::npos) << why;
  EXPECT_NE(why.find("No such file"), std::string::npos) << why;
}
