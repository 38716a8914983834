#include "app/CodeHints.h"

#include <algorithm>

#include "editor/EditorStrings.h"
#include "index/NameLookup.h"

namespace vantorel {

TCodeHints::TCodeHints(TEditorStrings& lines) : lines_(lines) { lines_.AddWatcher(source_); }

TCodeHints::~TCodeHints() { lines_.RemoveWatcher(source_); }

void TCodeHints::Refresh() {
  source_.Refresh(lines_.Count(), [this](int i) { return lines_.View(i); });
}

void TCodeHints::Candidates(std::string_view line, int caretX, int caretY, std::vector<SourcedItem>& items) {
  Refresh();
  // The procedure holding the caret: its parameters, locals and labels are names there.
  const Declaration* procedure = nullptr;
  source_.ForEach([&](const Declaration& d, int base) {
    if (d.kind == DeclarationKind::Procedure && base + d.line <= caretY && caretY <= base + d.lastLine) procedure = &d;
  });
  const FindDeclaration find = [&](std::string_view name) -> const Declaration* {
    if (procedure) {
      if (const Declaration* member = MemberNamed(*procedure, name)) return member;
    }
    const Declaration* exact = nullptr;
    const Declaration* folded = nullptr;
    source_.ForEach([&](const Declaration& d, int) {
      if (!exact && d.name == name) exact = &d;
      if (!folded && SameName(d.name, name)) folded = &d;
    });
    return exact ? exact : folded;
  };

  const CompletionPlace place = PlaceBeforeCaret(line, caretX);
  std::vector<const Declaration*> chosen;
  const auto offer = [&](const Declaration& d) {
    if (!d.name.empty() && StartsWithName(d.name, place.prefix)) chosen.push_back(&d);
  };
  if (!place.path.empty()) {
    const Declaration* structure = StructureAtEndOf(place.path, find);
    if (!structure) return;
    for (const Declaration& member : structure->members) offer(member);
  } else {
    if (procedure)
      for (const Declaration& member : procedure->members) offer(member);
    source_.ForEach([&](const Declaration& d, int) { offer(d); });
  }
  // Sorted without regard to case; a name declared twice shows once, as it is found
  // first (the procedure's own names before the file's).
  std::stable_sort(chosen.begin(), chosen.end(),
                   [](const Declaration* a, const Declaration* b) { return NameBefore(a->name, b->name); });
  chosen.erase(std::unique(chosen.begin(), chosen.end(),
                           [](const Declaration* a, const Declaration* b) { return a->name == b->name; }),
               chosen.end());
  items.reserve(items.size() + chosen.size());
  for (const Declaration* d : chosen) items.push_back(SourcedItem{d->name, d->detail});
}

}  // namespace vantorel
