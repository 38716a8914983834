// The guard of an edit of several steps, over every combination of what it holds,
// ended normally or left by an error: the order in which the update ends and the undo
// group closes, and that nothing is left held.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "editor/Editor.h"
#include "headless/HeadlessWindows.h"
#include "tests/support/EditorInternals.h"

namespace vantorel {
namespace {

// Notes each status report with the locks held at that moment.
class LockLog : public HeadlessWindowHost {
 public:
  std::string Moment(const char* what) const {
    return std::string(what) + " u" + std::to_string(context->state.updateLock) + " g" +
           std::to_string(context->undoGroupDepth);
  }
  EditorContext* context = nullptr;
  std::vector<std::string> log;
};

TEST(EditGuard, EveryCombinationClosesInItsOrderAndLeavesNothingHeld) {
  for (int bits = 0; bits < 4; ++bits) {
    const EditHolds holds{.group = (bits & 1) != 0, .groupOutside = (bits & 2) != 0};
    for (const bool fails : {false, true}) {
      SCOPED_TRACE("holds " + std::to_string(bits) + (fails ? ", left by an error" : ", ended"));
      LockLog host;
      TEditor editor(&host);
      host.control = &editor;
      host.focused = true;
      editor.WindowCreated();
      editor.FocusReceived();
      EditorContext& c = Inside(editor);
      host.context = &c;
      editor.OnChangeStatus = [&] { host.log.push_back(host.Moment("status")); };
      const int records = c.undo.Count();
      try {
        TEditorEdit edit(c, holds);
        EXPECT_EQ(c.state.updateLock, 1);
        EXPECT_EQ(c.undoGroupDepth, holds.group ? 1 : 0);
        if (fails) throw std::runtime_error("a step failed");
        edit.End();
      } catch (const std::runtime_error&) {
      }
      EXPECT_EQ(c.state.updateLock, 0);
      EXPECT_EQ(c.undoGroupDepth, 0);
      // A group is one undo step whichever way the edit ended.
      EXPECT_EQ(c.undo.Count(), records + (holds.group ? 2 : 0));

      std::vector<std::string> expected;
      const int groupAtEnd = holds.group && holds.groupOutside ? 1 : 0;
      // Only an update ended normally reports the status; one left by an error is released.
      if (!fails) expected.push_back("status u0 g" + std::to_string(groupAtEnd));
      EXPECT_EQ(host.log, expected);
    }
  }
}

}  // namespace
}  // namespace vantorel
