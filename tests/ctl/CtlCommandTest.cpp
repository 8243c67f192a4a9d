// korvactl's command line: what each form becomes, and the one-line error of each mistake.

#include <gtest/gtest.h>

#include <sstream>

#include "ctl/CtlCommand.h"
#include "tests/ctl/Words.h"

namespace korva::ctl {
namespace {

using test::Split;

struct Good {
  std::string line;
  Verb verb;
  DeviceKind device;
  int stage;
  int value;
};

TEST(CtlCommand, ParsesEveryForm) {
  const Good cases[] = {
      {"list", Verb::kList, DeviceKind::kMouse, 0, 0},
      {"--json list --simulate", Verb::kList, DeviceKind::kMouse, 0, 0},
      {"show keyboard", Verb::kShow, DeviceKind::kKeyboard, 0, 0},
      {"show headset --json", Verb::kShow, DeviceKind::kHeadset, 0, 0},
      {"set mouse stage 3 40", Verb::kSetStage, DeviceKind::kMouse, 3, 40},
      {"set mouse rate 500", Verb::kSetRate, DeviceKind::kMouse, 0, 500},
      {"set mouse profile 5", Verb::kSetProfile, DeviceKind::kMouse, 0, 5},
      {"set mousepad lighting 2", Verb::kSetLighting, DeviceKind::kMousepad, 0, 0},
      {"profiles keyboard", Verb::kProfiles, DeviceKind::kKeyboard, 0, 0},
      {"--help", Verb::kHelp, DeviceKind::kMouse, 0, 0},
  };
  for (const Good& c : cases) {
    SCOPED_TRACE(c.line);
    const ParseOutcome parsed = ParseCtlCommand(Split(c.line));
    ASSERT_TRUE(parsed.command) << parsed.error;
    EXPECT_EQ(parsed.command->verb, c.verb);
    EXPECT_EQ(parsed.command->device, c.device);
    EXPECT_EQ(parsed.command->stage, c.stage);
    EXPECT_EQ(parsed.command->value, c.value);
  }
}

TEST(CtlCommand, GlobalOptionsAndLightingOptions) {
  const ParseOutcome parsed =
      ParseCtlCommand(Split("--simulate set mouse lighting 4 --colour 00ff7F --brightness 14 --speed 0 --json"));
  ASSERT_TRUE(parsed.command) << parsed.error;
  EXPECT_TRUE(parsed.command->simulate);
  EXPECT_TRUE(parsed.command->json);
  EXPECT_EQ(parsed.command->lighting.mode, 4);
  EXPECT_EQ(parsed.command->lighting.colour, 0x00FF7Fu);
  EXPECT_EQ(parsed.command->lighting.brightness, 14);
  EXPECT_EQ(parsed.command->lighting.speed, 0);
}

TEST(CtlCommand, ProfileActions) {
  struct Case {
    std::string line;
    ProfileAction action;
    StoreChoice store;
    std::string name;
    std::string file;
  };
  const Case cases[] = {
      {"profiles mouse list", ProfileAction::kList, StoreChoice::kLight, "", ""},
      {"profiles mouse --store key select Work", ProfileAction::kSelect, StoreChoice::kKey, "Work", ""},
      {"profiles keyboard export Game /tmp/g.dat", ProfileAction::kExport, StoreChoice::kLight, "Game", "/tmp/g.dat"},
      {"profiles mousepad import /tmp/p.dat New --store light", ProfileAction::kImport, StoreChoice::kLight, "New", "/tmp/p.dat"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const ParseOutcome parsed = ParseCtlCommand(Split(c.line));
    ASSERT_TRUE(parsed.command) << parsed.error;
    EXPECT_EQ(parsed.command->action, c.action);
    EXPECT_EQ(parsed.command->store, c.store);
    EXPECT_EQ(parsed.command->profileName, c.name);
    EXPECT_EQ(parsed.command->file.string(), c.file);
  }
}

TEST(CtlCommand, EveryMistakeSaysWhatIsWrong) {
  struct Bad {
    std::string line;
    std::string says;
  };
  const Bad cases[] = {
      {"", "missing command"},
      {"frobnicate", "unknown command 'frobnicate'"},
      {"list extra", "unexpected argument 'extra'"},
      {"show", "missing device"},
      {"show toaster", "unknown device 'toaster'"},
      {"set mouse", "missing setting"},
      {"set mouse stage 0 10", "stage must be a number from 1 to 6, not '0'"},
      {"set mouse stage 7 10", "stage must be a number from 1 to 6"},
      {"set mouse stage 2", "missing stage value"},
      {"set mouse stage 2 256", "stage value must be a number from 0 to 255"},
      {"set mouse stage 2 1x", "not '1x'"},
      {"set mouse stage 2 10 11", "unexpected argument '11'"},
      {"set mouse rate 300", "125, 250, 500 or 1000"},
      {"set mouse rate fast", "report rate must be a number"},
      {"set mouse profile 6", "profile must be a number from 1 to 5"},
      {"set mouse wobble 1", "unknown mouse setting 'wobble'"},
      {"set keyboard rate 500", "'rate' is a mouse setting"},
      {"set mouse lighting", "missing lighting mode"},
      {"set mouse lighting 1 --colour 12345", "six hexadecimal digits"},
      {"set mouse lighting 1 --colour GG0000", "six hexadecimal digits"},
      {"set mouse lighting 1 --colour -12345", "six hexadecimal digits"},
      {"set mouse lighting 1 --brightness 15", "brightness must be a number from 0 to 14"},
      {"set mouse lighting 1 --speed", "missing speed"},
      {"set mouse lighting 1 --glow", "unknown lighting option '--glow'"},
      {"profiles", "missing device"},
      {"profiles mouse rename a b", "unknown profiles action 'rename'"},
      {"profiles mouse select", "missing profile name"},
      {"profiles mouse export Game", "missing file to export to"},
      {"profiles mouse import f.dat", "missing name of the new profile"},
      {"profiles mouse list now", "unexpected argument 'now'"},
      {"profiles mouse --store both", "unknown store 'both'"},
  };
  for (const Bad& c : cases) {
    SCOPED_TRACE(c.line);
    const ParseOutcome parsed = ParseCtlCommand(Split(c.line));
    EXPECT_FALSE(parsed.command);
    EXPECT_NE(parsed.error.find(c.says), std::string::npos) << parsed.error;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
  }
}

}  // namespace
}  // namespace korva::ctl
