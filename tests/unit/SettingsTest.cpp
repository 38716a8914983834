#include "app/Settings.h"

#include <gtest/gtest.h>

#include "app/Registry.h"
#include "headless/HeadlessWindows.h"
#include "headless/MemoryRegistry.h"
#include "platform/Errors.h"

namespace vantorel {
namespace {

const std::string kKey(kSettingsKey);
constexpr Rect kDesigned{216, 122, 216 + 696, 122 + 405};

class SettingsLoad : public ::testing::Test {
 protected:
  void Store(RegistryRoot root, const std::string& name, RegistryValue value) {
    registry.Put(root, kKey, name, std::move(value));
  }
  std::string Load() { return LoadSettings(registry, window, settings); }

  MemoryRegistry registry;
  HeadlessMainWindow window;
  TSettings settings;
};

TEST_F(SettingsLoad, FirstRunCentresTheDesignedWindowAndLeavesAllEmpty) {
  window.screen = {1025, 769};
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(window.bounds, (Rect{164, 182, 164 + 696, 182 + 405}));
  EXPECT_EQ(settings.MASM_PATH, "");
  EXPECT_EQ(settings.RUN_FILE, "");
}

TEST_F(SettingsLoad, StoredPlacementAndStringsAreApplied) {
  Store(RegistryRoot::LocalMachine, "Left", IntegerValue(10));
  Store(RegistryRoot::LocalMachine, "Top", IntegerValue(20));
  Store(RegistryRoot::LocalMachine, "Width", IntegerValue(800));
  Store(RegistryRoot::LocalMachine, "Height", IntegerValue(600));
  Store(RegistryRoot::LocalMachine, "MASM_PATH", StringValue("C:\\masm32"));
  Store(RegistryRoot::LocalMachine, "PROG_PATH", StringValue("C:\\proj"));
  Store(RegistryRoot::LocalMachine, "COMPILE_FILE", StringValue("build.bat"));
  Store(RegistryRoot::LocalMachine, "RUN_FILE", StringValue("run.bat"));
  Store(RegistryRoot::LocalMachine, "LAST_FILE", StringValue("C:\\proj\\a.asm"));
  EXPECT_EQ(Load(), "C:\\proj\\a.asm");
  EXPECT_EQ(window.bounds, (Rect{10, 20, 810, 620}));
  EXPECT_EQ(settings.MASM_PATH, "C:\\masm32");
  EXPECT_EQ(settings.PROG_PATH, "C:\\proj");
  EXPECT_EQ(settings.COMPILE_FILE, "build.bat");
  EXPECT_EQ(settings.RUN_FILE, "run.bat");
}

TEST_F(SettingsLoad, EachBoundIsAppliedRightAfterItsReadInLoadOrder) {
  Store(RegistryRoot::LocalMachine, "Left", IntegerValue(10));
  Store(RegistryRoot::LocalMachine, "Top", IntegerValue(20));
  Store(RegistryRoot::LocalMachine, "Width", IntegerValue(800));
  Store(RegistryRoot::LocalMachine, "Height", IntegerValue(600));
  Load();
  ASSERT_EQ(window.boundsHistory.size(), 4u);
  EXPECT_EQ(window.boundsHistory[0], (Rect{10, 122, 10 + 696, 122 + 405}));
  EXPECT_EQ(window.boundsHistory[1], (Rect{10, 20, 10 + 696, 20 + 405}));
  EXPECT_EQ(window.boundsHistory[2], (Rect{10, 20, 10 + 696, 620}));  // Height before Width
  EXPECT_EQ(window.boundsHistory[3], (Rect{10, 20, 810, 620}));
}

TEST_F(SettingsLoad, MissingHeightCentresWithTheDesignedSize) {
  Store(RegistryRoot::LocalMachine, "Left", IntegerValue(10));
  Store(RegistryRoot::LocalMachine, "Top", IntegerValue(20));
  Store(RegistryRoot::LocalMachine, "Width", IntegerValue(800));
  Load();
  EXPECT_EQ(window.bounds, (Rect{164, 181, 164 + 696, 181 + 405}));
}

TEST_F(SettingsLoad, MissingWidthCentresWithTheStoredHeight) {
  Store(RegistryRoot::LocalMachine, "Left", IntegerValue(10));
  Store(RegistryRoot::LocalMachine, "Top", IntegerValue(20));
  Store(RegistryRoot::LocalMachine, "Height", IntegerValue(300));
  Load();
  EXPECT_EQ(window.bounds, (Rect{164, 234, 164 + 696, 234 + 300}));
}

TEST_F(SettingsLoad, CentringOnAScreenSmallerThanTheWindowTruncatesTowardZero) {
  window.screen = {695, 400};
  Load();
  EXPECT_EQ(window.bounds.left, 0);  // (695 - 696) / 2
  EXPECT_EQ(window.bounds.top, -2);  // (400 - 405) / 2
}

TEST_F(SettingsLoad, AnIntegerStoredAsTextCentres) {
  Store(RegistryRoot::LocalMachine, "Left", StringValue("10"));
  Store(RegistryRoot::LocalMachine, "Top", IntegerValue(20));
  Store(RegistryRoot::LocalMachine, "Width", IntegerValue(800));
  Store(RegistryRoot::LocalMachine, "Height", IntegerValue(600));
  Store(RegistryRoot::LocalMachine, "RUN_FILE", StringValue("run.bat"));
  Load();
  EXPECT_EQ(window.bounds, (Rect{164, 181, 164 + 696, 181 + 405}));
  EXPECT_EQ(settings.RUN_FILE, "run.bat");
}

TEST_F(SettingsLoad, AStringStoredAsAnIntegerFailsAndStopsTheReads) {
  Store(RegistryRoot::LocalMachine, "MASM_PATH", StringValue("C:\\masm32"));
  Store(RegistryRoot::LocalMachine, "PROG_PATH", IntegerValue(5));
  Store(RegistryRoot::LocalMachine, "COMPILE_FILE", StringValue("build.bat"));
  try {
    Load();
    FAIL() << "no error";
  } catch (const ERegistryError& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'PROG_PATH'");
  }
  EXPECT_EQ(settings.MASM_PATH, "C:\\masm32");
  EXPECT_EQ(settings.COMPILE_FILE, "");
}

TEST_F(SettingsLoad, APerUserCopyWinsOverTheMachineKey) {
  Store(RegistryRoot::LocalMachine, "RUN_FILE", StringValue("machine.bat"));
  Store(RegistryRoot::CurrentUser, "RUN_FILE", StringValue("user.bat"));
  Load();
  EXPECT_EQ(settings.RUN_FILE, "user.bat");
}

TEST_F(SettingsLoad, TheMachineKeyIsReadWhenOnlyReadingIsAllowed) {
  Store(RegistryRoot::LocalMachine, "RUN_FILE", StringValue("machine.bat"));
  registry.DenyWrites(RegistryRoot::LocalMachine);
  Load();
  EXPECT_EQ(settings.RUN_FILE, "machine.bat");
}

class SettingsSave : public ::testing::Test {
 protected:
  std::optional<std::string> Save(std::optional<std::string> lastFile = std::nullopt) {
    return SaveSettings(registry, Rect{5, 6, 705, 506}, settings, lastFile, loadedLastFile);
  }
  std::optional<RegistryValue> Stored(RegistryRoot root, const std::string& name) {
    return registry.Get(root, kKey, name);
  }
  MemoryRegistry registry;
  TSettings settings{"C:\\masm32", "", "build.bat", "run.bat"};
  std::string loadedLastFile;
};

TEST_F(SettingsSave, WritesEveryValueInOrderWithItsType) {
  EXPECT_FALSE(Save("C:\\a.asm"));
  EXPECT_EQ(registry.WriteLog, (std::vector<std::string>{"Left", "Top", "Width", "Height", "MASM_PATH", "PROG_PATH",
                                                         "COMPILE_FILE", "RUN_FILE", "LAST_FILE"}));
  EXPECT_EQ(Stored(RegistryRoot::LocalMachine, "Width")->integer, 700);
  EXPECT_EQ(Stored(RegistryRoot::LocalMachine, "Height")->integer, 500);
  EXPECT_EQ(Stored(RegistryRoot::LocalMachine, "Left")->type, RegistryType::Integer);
  EXPECT_EQ(Stored(RegistryRoot::LocalMachine, "PROG_PATH")->type, RegistryType::String);
  EXPECT_EQ(Stored(RegistryRoot::LocalMachine, "PROG_PATH")->text, "");
  EXPECT_EQ(Stored(RegistryRoot::LocalMachine, "LAST_FILE")->text, "C:\\a.asm");
  EXPECT_FALSE(registry.KeyExists(RegistryRoot::CurrentUser, kKey));
}

TEST_F(SettingsSave, WithoutALastFileTheStoredOneStays) {
  registry.Put(RegistryRoot::LocalMachine, kKey, "LAST_FILE", StringValue("C:\\old.asm"));
  Save();
  EXPECT_EQ(Stored(RegistryRoot::LocalMachine, "LAST_FILE")->text, "C:\\old.asm");
}

TEST_F(SettingsSave, ARefusedMachineKeyFallsBackToThePerUserKey) {
  registry.DenyWrites(RegistryRoot::LocalMachine);
  EXPECT_FALSE(Save());
  EXPECT_EQ(Stored(RegistryRoot::CurrentUser, "RUN_FILE")->text, "run.bat");
  EXPECT_FALSE(Stored(RegistryRoot::LocalMachine, "RUN_FILE"));
}

TEST_F(SettingsSave, AFirstPerUserCopyKeepsTheLastFileReadAtStart) {
  registry.Put(RegistryRoot::LocalMachine, kKey, "LAST_FILE", StringValue("C:\\old.asm"));
  registry.DenyWrites(RegistryRoot::LocalMachine);
  loadedLastFile = "C:\\old.asm";
  EXPECT_FALSE(Save());
  EXPECT_EQ(Stored(RegistryRoot::CurrentUser, "LAST_FILE")->text, "C:\\old.asm");
  // The next start reads the per-user copy and finds it.
  HeadlessMainWindow window;
  TSettings loaded;
  EXPECT_EQ(LoadSettings(registry, window, loaded), "C:\\old.asm");
  EXPECT_EQ(window.bounds, (Rect{5, 6, 705, 506}));
}

TEST_F(SettingsSave, AnExistingPerUserCopyGetsTheValues) {
  registry.Put(RegistryRoot::CurrentUser, kKey, "RUN_FILE", StringValue("old.bat"));
  Save();
  EXPECT_EQ(Stored(RegistryRoot::CurrentUser, "RUN_FILE")->text, "run.bat");
  EXPECT_FALSE(Stored(RegistryRoot::LocalMachine, "RUN_FILE"));
}

TEST_F(SettingsSave, WhenNothingCanBeWrittenTheFailureIsReturned) {
  registry.DenyWrites(RegistryRoot::LocalMachine);
  registry.DenyWrites(RegistryRoot::CurrentUser);
  EXPECT_EQ(Save(), "Failed to set data for 'Left'");
}

TEST(Registry, TypedReadsFailAsTheRegistryDoes) {
  MemoryRegistry port;
  TRegistry reg(port);
  EXPECT_THROW(reg.ReadInteger("X"), ERegistryError);  // no key open
  EXPECT_EQ(reg.ReadString("X"), "");
  EXPECT_THROW(reg.WriteString("X", "v"), ERegistryError);
  ASSERT_TRUE(reg.OpenKey(RegistryRoot::CurrentUser, "A\\B", RegistryAccess::Full, true));
  reg.WriteInteger("N", -7);
  reg.WriteString("S", "text");
  EXPECT_EQ(reg.ReadInteger("n"), -7);  // names are not case-sensitive
  EXPECT_EQ(reg.ReadString("S"), "text");
  EXPECT_THROW(reg.ReadInteger("S"), ERegistryError);
  EXPECT_THROW(reg.ReadString("N"), ERegistryError);
  EXPECT_THROW(reg.ReadInteger("missing"), ERegistryError);
  EXPECT_EQ(reg.ReadString("missing"), "");
}

}  // namespace
}  // namespace vantorel
