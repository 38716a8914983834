#include "app/Settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

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

// Stored bounds near the ends of the int range: an edge that the arithmetic would
// push past them counts as a placement that does not fit (the window is centred);
// one that stays inside is applied as stored. UBSan reports any overflow here.
struct ExtremeBounds {
  const char* what;
  int left, top, width, height;
  Rect expected;  // on the 1024 x 768 screen, from the designed 696 x 405
};

class SettingsExtremeBounds : public SettingsLoad, public ::testing::WithParamInterface<ExtremeBounds> {};

TEST_P(SettingsExtremeBounds, OverflowCentresAndTheRestIsApplied) {
  const ExtremeBounds& c = GetParam();
  Store(RegistryRoot::LocalMachine, "Left", IntegerValue(c.left));
  Store(RegistryRoot::LocalMachine, "Top", IntegerValue(c.top));
  Store(RegistryRoot::LocalMachine, "Width", IntegerValue(c.width));
  Store(RegistryRoot::LocalMachine, "Height", IntegerValue(c.height));
  Store(RegistryRoot::LocalMachine, "RUN_FILE", StringValue("run.bat"));
  Load();
  EXPECT_EQ(window.bounds, c.expected) << c.what;
  EXPECT_EQ(settings.RUN_FILE, "run.bat") << c.what;  // the reads after the placement go on
}

constexpr Rect kCentred{164, 181, 164 + 696, 181 + 405};

INSTANTIATE_TEST_SUITE_P(
    Placement, SettingsExtremeBounds,
    ::testing::Values(
        ExtremeBounds{"left at INT_MAX", INT_MAX, 20, 800, 600, kCentred},
        ExtremeBounds{"left where the designed width just fits", INT_MAX - 696, 20, 100, 100,
                      Rect{INT_MAX - 696, 20, INT_MAX - 596, 120}},
        ExtremeBounds{"left one past that", INT_MAX - 695, 20, 100, 100, kCentred},
        ExtremeBounds{"left at INT_MIN fits", INT_MIN, 20, 800, 600, Rect{INT_MIN, 20, INT_MIN + 800, 620}},
        ExtremeBounds{"top at INT_MAX", 10, INT_MAX, 800, 600, kCentred},
        ExtremeBounds{"height INT_MAX below a positive top", 10, 1, 800, INT_MAX, kCentred},
        ExtremeBounds{"height INT_MIN above a negative top", 10, -1, 800, INT_MIN, kCentred},
        ExtremeBounds{"height INT_MIN from top 0 fits", 10, 0, 800, INT_MIN, Rect{10, 0, 810, INT_MIN}},
        ExtremeBounds{"width INT_MAX right of a positive left", 1, 20, INT_MAX, 600,
                      // the stored height was applied before the width failed
                      Rect{164, 84, 164 + 696, 84 + 600}},
        ExtremeBounds{"width INT_MIN left of a negative left", -1, 20, INT_MIN, 600,
                      Rect{164, 84, 164 + 696, 84 + 600}},
        ExtremeBounds{"all four at INT_MIN", INT_MIN, INT_MIN, INT_MIN, INT_MIN, kCentred},
        ExtremeBounds{"all four at INT_MAX", INT_MAX, INT_MAX, INT_MAX, INT_MAX, kCentred}));

TEST_F(SettingsLoad, CentringAroundAnExtremeStoredHeightStaysInRange) {
  // Height INT_MIN from top 0 fits; the missing Width then centres with that height.
  Store(RegistryRoot::LocalMachine, "Left", IntegerValue(10));
  Store(RegistryRoot::LocalMachine, "Top", IntegerValue(0));
  Store(RegistryRoot::LocalMachine, "Height", IntegerValue(INT_MIN));
  Load();
  const std::int64_t top = (768 - std::int64_t{INT_MIN}) / 2;
  EXPECT_EQ(window.bounds, (Rect{164, static_cast<int>(top), 164 + 696, static_cast<int>(top + INT_MIN)}));
}

TEST_F(SettingsLoad, NoKeyStaysOpenAfterALoadThatFailsHalfWay) {
  Store(RegistryRoot::LocalMachine, "PROG_PATH", IntegerValue(5));
  EXPECT_THROW(Load(), ERegistryError);
  EXPECT_EQ(registry.OpenKeys(), 0);
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

TEST_F(SettingsSave, EveryKeyOpenedIsClosedAgain) {
  registry.DenyWrites(RegistryRoot::LocalMachine);  // the longest path: machine key, then a new per-user key
  EXPECT_FALSE(Save());
  EXPECT_EQ(registry.OpenKeys(), 0);
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

TEST(Registry, AFailedOpenClosesTheKeyBefore) {
  MemoryRegistry port;
  TRegistry reg(port);
  ASSERT_TRUE(reg.OpenKey(RegistryRoot::CurrentUser, "A", RegistryAccess::Full, true));
  EXPECT_FALSE(reg.OpenKey(RegistryRoot::CurrentUser, "Missing", RegistryAccess::Full, false));
  EXPECT_FALSE(reg.HasOpenKey());
  EXPECT_EQ(port.OpenKeys(), 0);
  EXPECT_THROW(reg.WriteInteger("N", 1), ERegistryError);  // not into the key opened before
  EXPECT_FALSE(port.Get(RegistryRoot::CurrentUser, "A", "N"));
}

TEST(MemoryRegistryKeys, KeysOpenAtOnceAreIndependent) {
  MemoryRegistry port;
  auto a = port.OpenKey(RegistryRoot::CurrentUser, "A", RegistryAccess::Full, true);
  auto b = port.OpenKey(RegistryRoot::LocalMachine, "B", RegistryAccess::Full, true);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(port.OpenKeys(), 2);
  EXPECT_TRUE(a->SetValue("V", IntegerValue(1)));
  EXPECT_TRUE(b->SetValue("V", IntegerValue(2)));
  EXPECT_EQ(a->QueryValue("V")->integer, 1);
  EXPECT_EQ(port.Get(RegistryRoot::LocalMachine, "B", "V")->integer, 2);
  EXPECT_FALSE(port.Get(RegistryRoot::CurrentUser, "B", "V"));
}

TEST(MemoryRegistryKeys, AMovedKeyWorksAndClosesOnce) {
  MemoryRegistry port;
  std::unique_ptr<RegistryKey> moved;
  {
    auto key = port.OpenKey(RegistryRoot::CurrentUser, "A", RegistryAccess::Full, true);
    moved = std::move(key);
  }
  EXPECT_EQ(port.OpenKeys(), 1);
  EXPECT_TRUE(moved->SetValue("V", StringValue("x")));
  moved.reset();
  EXPECT_EQ(port.OpenKeys(), 0);
}

TEST(MemoryRegistryKeys, AccessDecidesWhatAKeyMayDo) {
  MemoryRegistry port;
  port.Put(RegistryRoot::LocalMachine, "K", "V", IntegerValue(7));
  port.DenyWrites(RegistryRoot::LocalMachine);
  EXPECT_FALSE(port.OpenKey(RegistryRoot::LocalMachine, "K", RegistryAccess::Full, false));
  EXPECT_FALSE(port.OpenKey(RegistryRoot::LocalMachine, "New", RegistryAccess::Read, true));
  EXPECT_FALSE(port.KeyExists(RegistryRoot::LocalMachine, "New"));  // a refused create makes nothing
  auto reader = port.OpenKey(RegistryRoot::LocalMachine, "K", RegistryAccess::Read, false);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->QueryValue("v")->integer, 7);
  EXPECT_FALSE(reader->SetValue("V", IntegerValue(8)));
  EXPECT_EQ(port.Get(RegistryRoot::LocalMachine, "K", "V")->integer, 7);
  // A key opened for reading on an open root cannot write either.
  port.Put(RegistryRoot::CurrentUser, "K", "V", IntegerValue(1));
  auto userReader = port.OpenKey(RegistryRoot::CurrentUser, "K", RegistryAccess::Read, false);
  EXPECT_FALSE(userReader->SetValue("V", IntegerValue(2)));
  EXPECT_FALSE(port.OpenKey(RegistryRoot::CurrentUser, "Missing", RegistryAccess::Read, false));
}

TEST(MemoryRegistryKeys, AKeySeesValuesWrittenThroughAnotherKey) {
  MemoryRegistry port;
  auto reader = port.OpenKey(RegistryRoot::CurrentUser, "A", RegistryAccess::Read, true);
  auto writer = port.OpenKey(RegistryRoot::CurrentUser, "a", RegistryAccess::Full, false);  // same key
  ASSERT_TRUE(reader && writer);
  EXPECT_FALSE(reader->QueryValue("V"));
  ASSERT_TRUE(writer->SetValue("V", StringValue("now")));
  EXPECT_EQ(reader->QueryValue("V")->text, "now");
}

}  // namespace
}  // namespace vantorel
