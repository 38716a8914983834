#include "app/CodeHints.h"

#include <algorithm>

#include "editor/EditorStrings.h"
#include "index/NameLookup.h"

namespace vantorel {

namespace {

bool SameRequest(const std::pair<IncludeSearch, std::vector<IncludeLine>>& a, const IncludeSearch& search,
                 const std::vector<IncludeLine>& includes) {
  if (a.first.sourcePath != search.sourcePath || a.first.masmPath != search.masmPath) return false;
  // Where an include line stands does not change what it names.
  return std::equal(a.second.begin(), a.second.end(), includes.begin(), includes.end(),
                    [](const IncludeLine& x, const IncludeLine& y) { return x.name == y.name; });
}

}  // namespace

TCodeHints::TCodeHints(TEditorStrings& lines, FileSystem& fs, CodePages& codePages,
                       std::function<IncludeSearch()> search, std::function<void()> wake)
    : lines_(lines), search_(std::move(search)), indexer_(fs, codePages, std::move(wake)) {
  lines_.AddWatcher(source_);
}

TCodeHints::~TCodeHints() { lines_.RemoveWatcher(source_); }

void TCodeHints::Update() {
  source_.Refresh(lines_.Count(), [this](int i) { return lines_.View(i); });
  IncludeSearch search = search_ ? search_() : IncludeSearch{};
  std::vector<IncludeLine> includes;
  source_.ForEachInclude([&](const IncludeLine& include) { includes.push_back(include); });
  if (asked_ && SameRequest(*asked_, search, includes)) return;
  asked_.emplace(search, includes);
  indexer_.Ask(std::move(search), std::move(includes));
}

void TCodeHints::Activated() {
  Update();
  indexer_.CheckDisk();
}

std::optional<std::string> TCodeHints::IncludesRead() {
  const std::shared_ptr<const IncludeTree> tree = indexer_.Tree();
  if (!tree) return std::nullopt;
  std::vector<const std::string*> fresh;
  for (const IncludeProblem& problem : tree->Problems())
    if (told_.insert(problem.message).second) fresh.push_back(&problem.message);
  if (fresh.empty()) return std::nullopt;
  std::string line = *fresh.front();
  if (fresh.size() > 1) line += " (и ещё " + std::to_string(fresh.size() - 1) + ")";
  return line;
}

void TCodeHints::Candidates(std::string_view line, int caretX, int caretY, std::vector<SourcedItem>& items) {
  Update();
  // What changed on the disk comes with a later list; this one does not wait for it.
  indexer_.CheckDisk();
  const std::shared_ptr<const IncludeTree> tree = indexer_.Tree();
  const NameTable* includeNames = tree ? &tree->Names() : nullptr;
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
    if (exact) return exact;
    if (includeNames) {
      // A name the includes write exactly so wins over one of another case here.
      if (const NameEntry* entry = includeNames->Find(name); entry && (entry->declaration->name == name || !folded))
        return entry->declaration;
    }
    return folded;
  };

  const CompletionPlace place = PlaceBeforeCaret(line, caretX);
  std::vector<const Declaration*> chosen;
  const auto offer = [&](const Declaration& d) {
    if (!d.name.empty() && StartsWithName(d.name, place.prefix)) chosen.push_back(&d);
  };
  std::span<const NameEntry> included;
  if (!place.path.empty()) {
    const Declaration* structure = StructureAtEndOf(place.path, find);
    if (!structure) return;
    for (const Declaration& member : structure->members) offer(member);
  } else {
    if (procedure)
      for (const Declaration& member : procedure->members) offer(member);
    source_.ForEach([&](const Declaration& d, int) { offer(d); });
    if (includeNames) included = includeNames->WithPrefix(place.prefix);
  }
  // Sorted without regard to case; a name declared twice shows once, as it is found
  // first (the procedure's own names before the file's, the file's before the
  // includes'). The includes' names come sorted so: they are merged in, not sorted
  // again, as they may be tens of thousands, and their bytes are not copied.
  const auto before = [](const Declaration* a, const Declaration* b) { return NameBefore(a->name, b->name); };
  std::stable_sort(chosen.begin(), chosen.end(), before);
  shown_ = tree;
  owned_.clear();
  items.reserve(items.size() + chosen.size() + included.size());
  const auto add = [&](std::string_view name, std::string_view detail) {
    if (!items.empty() && items.back().name == name) return;
    items.push_back(SourcedItem{name, detail});
  };
  const auto addOwn = [&](const Declaration* d) {
    if (!items.empty() && items.back().name == d->name) return;
    const std::string& name = owned_.emplace_back(d->name);
    add(name, owned_.emplace_back(d->detail));
  };
  auto own = chosen.begin();
  for (const NameEntry& entry : included) {
    while (own != chosen.end() && !NameBefore(entry.declaration->name, (*own)->name)) addOwn(*own++);
    add(entry.declaration->name, entry.declaration->detail);
  }
  while (own != chosen.end()) addOwn(*own++);
}

}  // namespace vantorel
