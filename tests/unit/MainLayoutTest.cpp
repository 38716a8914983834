#include "app/MainLayout.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vantorel {
namespace {

ShiftState Ctrl() {
  ShiftState s;
  s.ctrl = true;
  return s;
}

TEST(MenuAccelerators, TheMainMenuShortcutsRunTheirItemsCommands) {
  EXPECT_EQ(MenuAccelerators(MainMenu()), (std::vector<Accelerator>{
                                              {vk::F2, {}, Handler::N_saveClick},
                                              {vk::F9, Ctrl(), Handler::N_compileClick},
                                              {vk::F9, {}, Handler::N_runClick},
                                              {vk::Cancel, Ctrl(), Handler::N_stopBuildClick},
                                              {vk::F3, {}, Handler::N8Click},
                                              {vk::F1, {}, Handler::N6Click},
                                          }));
}

TEST(MenuAccelerators, ShortcutsInsideSubmenusCountAndSeparatorsDoNot) {
  static constexpr MenuItem kInner[] = {{"Inner", "inner", {vk::Insert, true, "Ctrl+Ins"}, Handler::N_openClick, {}}};
  static constexpr MenuItem kItems[] = {
      {"Sep", "-", {}, Handler::None, {}},
      {"Sub", "sub", {}, Handler::None, kInner},
      {"Plain", "plain", {}, Handler::N_newClick, {}},
  };
  static constexpr MenuDesc kMenus[] = {{"M", "m", kItems}};
  EXPECT_EQ(MenuAccelerators(kMenus), (std::vector<Accelerator>{{vk::Insert, Ctrl(), Handler::N_openClick}}));
}

TEST(MenuAccelerators, TwoItemsWithOneShortcutAreATableError) {
  static constexpr MenuItem kFirst[] = {{"A", "a", {vk::F2, false, "F2"}, Handler::N_saveClick, {}}};
  static constexpr MenuItem kSecond[] = {{"B", "b", {vk::F2, false, "F2"}, Handler::N_runClick, {}}};
  static constexpr MenuDesc kMenus[] = {{"M1", "m1", kFirst}, {"M2", "m2", kSecond}};
  try {
    MenuAccelerators(kMenus);
    FAIL() << "no error";
  } catch (const std::logic_error& e) {
    EXPECT_NE(std::string(e.what()).find("B"), std::string::npos);
  }
}

}  // namespace
}  // namespace vantorel
