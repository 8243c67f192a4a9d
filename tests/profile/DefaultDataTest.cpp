// The default files in data/ (profiles and cursor macros) are the generator's output, byte for
// byte, and each profile is a valid profile file of its store.

#include <gtest/gtest.h>

#include <cstdlib>

#include "TempFolder.h"
#include "profile/DataFolders.h"
#include "profile/ProfileStore.h"

#ifndef KORVA_DATAGEN
#error "KORVA_DATAGEN must name the korva_datagen executable"
#endif

namespace korva::profile {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

TEST(DefaultDataTest, CommittedFilesEqualTheGeneratorOutput) {
  TempFolder temp;
  const std::filesystem::path out = temp.path() / "generated";
  const std::string command = std::string("'") + KORVA_DATAGEN + "' '" + out.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  const std::filesystem::path committed = DefaultFilesFolder(ProgramFolder());
  std::size_t compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(out)) {
    SCOPED_TRACE(entry.path().filename().string());
    EXPECT_EQ(ReadBytes(entry.path()), ReadBytes(committed / entry.path().filename()))
        << "data/ differs from korva_datagen's output: rebuild the target korva_update_data";
    ++compared;
  }
  EXPECT_EQ(compared, 9u);
}

TEST(DefaultDataTest, EveryStoreReadsItsDefaultFile) {
  TempFolder temp;
  const std::filesystem::path defaults = DefaultFilesFolder(ProgramFolder());
  for (StoreKind kind : {StoreKind::kKeyboardLight, StoreKind::kKeyboardKey, StoreKind::kMouseLight,
                         StoreKind::kMouseKey, StoreKind::kMousepadLight}) {
    ProfileStore store(kind, DataFolders(temp.path()), defaults);
    SCOPED_TRACE(std::string(store.layout().defaultFile));
    const PayloadResult read = store.ReadDefaultPayload();
    EXPECT_TRUE(read.result) << read.result.error.ToString();
    EXPECT_EQ(read.payload.size(), store.layout().payloadSize);
  }
}

}  // namespace
}  // namespace korva::profile
