// The places searched for the show's files, in order and each once.
#include "app/show_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace vorn {
namespace {

TEST(ShowFolder, CandidatesInOrderEachOnce) {
  const std::string here = std::filesystem::current_path().string();
  using List = std::vector<std::string>;
  EXPECT_EQ(showFolderCandidates("", ""), List{here}) << "no executable path: only the working directory";
  EXPECT_EQ(showFolderCandidates("data/", "/opt/v/bin/vorndemo"),
            (List{here, here + "/data", "/opt/v/bin", "/opt/v/bin/run", "/opt/v/share/vorndemo"}));
  EXPECT_EQ(showFolderCandidates(".", here + "/vorndemo"),
            (List{here, here + "/run", std::filesystem::path(here).parent_path().string() + "/share/vorndemo"}))
      << "a place named twice is looked at once";
}

}  // namespace
}  // namespace vorn
