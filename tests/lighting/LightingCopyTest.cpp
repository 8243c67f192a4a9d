#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lighting/LightingCopy.h"

namespace korva::lighting {
namespace {

// Hooks that write down every call in order: "refresh mouse", "save keyboard", "sync".
struct CallLog {
  std::vector<std::string> calls;

  LightingCopyHooks Hooks() {
    LightingCopyHooks hooks;
    for (int i = 0; i < 4; ++i) {
      const std::string name(DeviceKindName(*DeviceKindFromIndex(i)));
      hooks.refreshPage[static_cast<std::size_t>(i)] = [this, name] { calls.push_back("refresh " + name); };
      hooks.saveProfile[static_cast<std::size_t>(i)] = [this, name] { calls.push_back("save " + name); };
    }
    hooks.setAllSyncLighting = [this] { calls.push_back("sync"); };
    return hooks;
  }
};

// Every record different, so a copy from the wrong device shows.
void FillDistinct(LightingRecords& records) {
  for (std::uint8_t i = 0; i < 4; ++i)
    records.Set(static_cast<DeviceKind>(i),
                LightingSettings{i, static_cast<std::uint8_t>(i + 10), 2, 1, 0,
                                 static_cast<std::uint8_t>(40 * i), 0x20, 0x30});
  records.SetSynchronised(LightingSettings{0xEE, 0xEE});
}

struct CopyCase {
  const char* label;
  DeviceKind source;
  std::vector<std::string> calls;
};

void PrintTo(const CopyCase& c, std::ostream* os) {
  *os << c.label;
}

class CopyLightingToAllTest : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyLightingToAllTest, CopiesTheSourceRecordRefreshesAndSavesTheOthersAndSetsTheSyncFlags) {
  const CopyCase& c = GetParam();
  LightingRecords records;
  FillDistinct(records);
  const LightingSettings source = records.Get(c.source);
  CallLog log;

  EXPECT_TRUE(CopyLightingToAll(records, c.source, log.Hooks()));

  for (int i = 0; i < 4; ++i) EXPECT_EQ(records.Get(*DeviceKindFromIndex(i)), source) << "device " << i;
  EXPECT_EQ(records.GetSynchronised(), source);
  EXPECT_EQ(log.calls, c.calls);
}

INSTANTIATE_TEST_SUITE_P(Sources, CopyLightingToAllTest,
                         testing::Values(CopyCase{"keyboard",
                                                  DeviceKind::kKeyboard,
                                                  {"refresh mouse", "refresh mousepad", "refresh headset",
                                                   "save mouse", "save mousepad", "save headset", "sync"}},
                                         CopyCase{"mouse",
                                                  DeviceKind::kMouse,
                                                  {"refresh mousepad", "refresh keyboard", "refresh headset",
                                                   "save keyboard", "save mousepad", "save headset", "sync"}},
                                         CopyCase{"mousepad",
                                                  DeviceKind::kMousepad,
                                                  {"refresh mouse", "refresh keyboard", "refresh headset",
                                                   "save keyboard", "save mouse", "save headset", "sync"}},
                                         CopyCase{"headset",
                                                  DeviceKind::kHeadset,
                                                  {"refresh mouse", "refresh mousepad", "refresh keyboard",
                                                   "save keyboard", "save mouse", "save mousepad", "sync"}}),
                         [](const testing::TestParamInfo<CopyCase>& info) {
                           return std::string(info.param.label);
                         });

TEST(CopyLightingToAllFailure, ASourceThatIsNoDeviceChangesNothingAndCallsNoHook) {
  for (int bad : {-1, 4, 200}) {
    LightingRecords records;
    FillDistinct(records);
    const LightingRecords::Snapshot before = records.Read();
    CallLog log;
    EXPECT_FALSE(CopyLightingToAll(records, static_cast<DeviceKind>(bad), log.Hooks())) << bad;
    const LightingRecords::Snapshot after = records.Read();
    EXPECT_EQ(after.devices, before.devices) << bad;
    EXPECT_EQ(after.synchronised, before.synchronised) << bad;
    EXPECT_TRUE(log.calls.empty()) << bad;
  }
}

TEST(CopyLightingToAllFailure, HooksOfPagesNotYetBuiltAreSkipped) {
  LightingRecords records;
  FillDistinct(records);
  LightingCopyHooks hooks;  // no page has wired its hooks yet
  int synced = 0;
  hooks.setAllSyncLighting = [&] { ++synced; };
  EXPECT_TRUE(CopyLightingToAll(records, DeviceKind::kMousepad, hooks));
  EXPECT_EQ(records.Get(DeviceKind::kKeyboard), records.Get(DeviceKind::kMousepad));
  EXPECT_EQ(synced, 1);
}

}  // namespace
}  // namespace korva::lighting
