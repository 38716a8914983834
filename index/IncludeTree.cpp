#include "index/IncludeTree.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "platform/Errors.h"
#include "platform/Paths.h"

namespace vantorel {

namespace {

constexpr bool IsAlpha(char c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool IsSeparator(char c) noexcept { return c == '\\' || c == '/'; }
constexpr bool HasDrive(std::string_view path) noexcept {
  return path.size() >= 2 && IsAlpha(path[0]) && path[1] == ':';
}

// A name in a message is cut here: a hostile statement may name 64 KB.
constexpr std::size_t kShownBytes = 120;
// A cycle of more files than this shows its first and last ones.
constexpr std::size_t kShownCycle = 9;

std::string_view FolderOf(std::string_view path) noexcept {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
}

std::string_view FileNameOf(std::string_view path) noexcept {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// "C:" or "\\server\share": where a name rooted without a drive ("\masm32\...") is.
std::string_view RootOf(std::string_view path) noexcept {
  if (HasDrive(path)) return path.substr(0, 2);
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    const std::size_t server = path.find_first_of("\\/", 2);
    if (server == std::string_view::npos) return path;
    const std::size_t share = path.find_first_of("\\/", server + 1);
    return path.substr(0, share);
  }
  return {};
}

// UTF-8 text cut to a line's worth on a character's boundary, without control bytes.
std::string Shown(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (out.size() >= kShownBytes && (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) return out + "...";
    out += static_cast<unsigned char>(utf8[i]) < 0x20 ? '?' : utf8[i];
  }
  return out;
}

// The system's reason out of the port's "Cannot open file "<path>". <reason>".
std::string ReasonOf(const EFileError& error) {
  const std::string_view text = error.what();
  const std::string_view head = kCannotOpenFile.substr(0, kCannotOpenFile.find("%s"));
  if (text.substr(0, head.size()) == head) {
    if (const std::size_t end = text.find("\". ", head.size()); end != std::string_view::npos) {
      return std::string(text.substr(end + 3));
    }
  }
  return std::string(text);
}

}  // namespace

class IncludeTreeReader {
 public:
  IncludeTreeReader(FileSystem& fs, CodePages& codePages, const IncludeSearch& search, const IncludeTree* previous)
      : fs_(fs), codePages_(codePages) {
    Node root;
    if (!search.sourcePath.empty()) {
      root.path = ResolveToolPath(search.sourcePath, "");
      sourceFolder_ = std::string(FolderOf(root.path));
      nodeOf_.emplace(PathKey(root.path, codePages_), 0);
    }
    nodes_.push_back(std::move(root));
    if (!search.masmPath.empty()) masmInclude_ = ResolveToolPath("include", search.masmPath);
    // A name rooted without a drive is on the source's drive; a text never saved has
    // none, and the Masm32 folder's stands in.
    base_ = !sourceFolder_.empty() ? sourceFolder_ : search.masmPath;
    if (previous) {
      for (std::size_t i = 0; i < previous->files_.size(); ++i)
        previous_.emplace(previous->keys_[i], previous->files_[i]);
    }
  }

  IncludeTree Read(const std::vector<IncludeLine>& sourceIncludes) {
    Visit(0, sourceIncludes, 0);
    ReportCycles();
    std::vector<const std::vector<Declaration>*> declarations;
    for (Node& node : nodes_) {
      if (!node.file) continue;
      declarations.push_back(&node.file->declarations.declarations);
      tree_.files_.push_back(std::move(node.file));
      tree_.keys_.push_back(std::move(node.key));
    }
    tree_.names_ = NameTable(declarations);
    return std::move(tree_);
  }

 private:
  struct Edge {
    std::size_t to;
    int line;  // of the include line, from 0
  };
  struct Node {
    std::string path;  // empty for a source never saved
    std::string key;
    std::shared_ptr<const IncludedFile> file;  // null for the source and a file not read
    std::vector<Edge> edges;
  };

  // Reads the files named by one file's include lines, depth first, so the files come
  // in the order the assembler first meets them.
  void Visit(std::size_t from, const std::vector<IncludeLine>& includes, int depth) {
    for (const IncludeLine& include : includes) {
      // Past the cap nothing more is read, in this file or in the files around it.
      if (includeLines_ == IncludeTree::kMaxIncludeLines) {
        if (!stopped_) {
          Report(IncludeFault::TooManyFiles, kIncludeTooManyLines, std::to_string(IncludeTree::kMaxIncludeLines), from,
                 include);
        }
        stopped_ = true;
        return;
      }
      ++includeLines_;
      std::string path = Resolve(include.name, FolderOf(nodes_[from].path));
      if (path.empty()) {
        if (missing_.insert(include.name).second) Report(IncludeFault::Missing, kIncludeNotFound, {}, from, include);
        continue;
      }
      std::string key = PathKey(path, codePages_);
      if (const auto known = nodeOf_.find(key); known != nodeOf_.end()) {
        nodes_[from].edges.push_back(Edge{known->second, include.line});
        continue;
      }
      // A file refused here stays unknown, so a shorter way to it may still read it.
      if (depth + 1 > IncludeTree::kMaxDepth) {
        if (!tooDeep_)
          Report(IncludeFault::TooDeep, kIncludeTooDeep, std::to_string(IncludeTree::kMaxDepth), from, include);
        tooDeep_ = true;
        continue;
      }
      if (nodes_.size() > IncludeTree::kMaxFiles) {
        if (!tooMany_)
          Report(IncludeFault::TooManyFiles, kIncludeTooManyFiles, std::to_string(IncludeTree::kMaxFiles), from,
                 include);
        tooMany_ = true;
        continue;
      }
      const std::size_t node = nodes_.size();
      nodeOf_.emplace(key, node);
      nodes_.push_back(Node{std::move(path), std::move(key), nullptr, {}});
      nodes_[from].edges.push_back(Edge{node, include.line});
      if (const IncludedFile* file = Load(node, from, include)) Visit(node, file->declarations.includes, depth + 1);
    }
  }

  // The file of a new node: taken over from the previous tree when its stamp is the
  // same, read otherwise; nullptr when it cannot be had.
  const IncludedFile* Load(std::size_t node, std::size_t from, const IncludeLine& include) {
    const std::string& path = nodes_[node].path;
    const std::optional<FileStamp> stamp = fs_.Stamp(path);
    if (!stamp) {
      tree_.watched_.push_back({path, std::nullopt});
      Report(IncludeFault::Unreadable, kIncludeUnreadable, std::string(kIncludeNoStamp), from, include, path);
      return nullptr;
    }
    if (const auto it = previous_.find(nodes_[node].key); it != previous_.end() && it->second->stamp == *stamp) {
      nodes_[node].file = it->second;
      return nodes_[node].file.get();
    }
    try {
      if (stamp->size <= IncludeTree::kMaxFileBytes) {
        const FileBytes bytes = fs_.ReadFile(path);
        // A file that grew between the stamp and the read is held to the same cap.
        if (bytes.size <= IncludeTree::kMaxFileBytes) {
          auto file = std::make_shared<IncludedFile>(IncludedFile{path, *stamp, ReadDeclarations(bytes.View())});
          // The tree is kept for as long as the source is open: a list grown by
          // doubling would hold up to half as much again as it needs.
          file->declarations.declarations.shrink_to_fit();
          nodes_[node].file = std::move(file);
          return nodes_[node].file.get();
        }
      }
      tree_.watched_.push_back({path, stamp});
      Report(IncludeFault::TooLarge, kIncludeTooLarge, std::to_string(IncludeTree::kMaxFileBytes >> 20), from, include,
             path);
    } catch (const EFileError& error) {
      tree_.watched_.push_back({path, stamp});
      Report(IncludeFault::Unreadable, kIncludeUnreadable, ReasonOf(error), from, include, path);
    }
    return nullptr;
  }

  // The full path of an include (ANSI bytes) named in a file of the given folder, as
  // the assembler looks for it; empty when it is nowhere. Every path looked at in vain
  // is watched: a file appearing there may change what the include names.
  std::string Resolve(std::string_view written, std::string_view folder) {
    std::string cacheKey;
    cacheKey.reserve(folder.size() + 1 + written.size());
    cacheKey.append(folder).append(1, '\0').append(written);
    if (const auto it = resolved_.find(cacheKey); it != resolved_.end()) return it->second;
    std::string found;
    // No file name holds a control character; the port might stop at one.
    const bool plausible =
        std::none_of(written.begin(), written.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    const std::string name = plausible ? codePages_.Utf8FromAnsi(written) : std::string();
    const auto tryPath = [&](std::string path) {
      if (fs_.FileExists(path)) {
        found = std::move(path);
        return true;
      }
      if (absent_.insert(path).second) tree_.watched_.push_back({std::move(path), std::nullopt});
      return false;
    };
    if (name.empty()) {
      // nothing to look for
    } else if (HasDrive(name) || (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1]))) {
      tryPath(ResolveToolPath(name, base_));
    } else if (IsSeparator(name[0])) {
      tryPath(ResolveToolPath(std::string(RootOf(base_)) + name, base_));
    } else {
      const std::string_view folders[] = {folder, sourceFolder_, masmInclude_};
      for (std::size_t i = 0; i < std::size(folders); ++i) {
        const std::string_view f = folders[i];
        if (f.empty() || std::find(folders, folders + i, f) != folders + i) continue;
        if (tryPath(ResolveToolPath(name, f))) break;
      }
    }
    resolved_.emplace(std::move(cacheKey), found);
    return found;
  }

  // One problem; the message's fields are what (the cap, or the reason), the include
  // as written, and where it is written. A file's path, when given, stands for the
  // include in messages about the file itself.
  void Report(IncludeFault fault, std::string_view format, const std::string& what, std::size_t from,
              const IncludeLine& include, const std::string& path = {}) {
    const std::string named = Shown(codePages_.Utf8FromAnsi(include.name.substr(0, kShownBytes + 4)));
    const std::string where = WhereIs(from);
    const std::string line = std::to_string(include.line + 1);
    std::string message;
    switch (fault) {
      case IncludeFault::Missing: message = FormatText(format, {named, where, line}); break;
      case IncludeFault::Unreadable:
      case IncludeFault::TooLarge: message = FormatText(format, {Shown(path), what, where, line}); break;
      default: message = FormatText(format, {what, named, where, line}); break;
    }
    tree_.problems_.push_back(IncludeProblem{fault, std::move(message)});
  }

  std::string WhereIs(std::size_t node) const {
    return nodes_[node].path.empty() ? std::string(kUnsavedSource) : Shown(FileNameOf(nodes_[node].path));
  }

  // One problem for each set of files that include each other (a strongly connected
  // part of the include graph with a cycle in it), naming one cycle through the file
  // of the set met first. Iterative, so a long chain of files cannot exhaust the stack.
  void ReportCycles() {
    const std::size_t n = nodes_.size();
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<std::size_t> order(n, kNone), low(n, 0), part(n, kNone);
    std::vector<char> onStack(n, 0);
    std::vector<std::size_t> stack;
    std::vector<std::pair<std::size_t, std::size_t>> frames;  // node, next edge
    std::vector<std::vector<std::size_t>> parts;
    std::size_t counter = 0;
    const auto enter = [&](std::size_t v) {
      order[v] = low[v] = counter++;
      stack.push_back(v);
      onStack[v] = 1;
      frames.emplace_back(v, 0);
    };
    for (std::size_t start = 0; start < n; ++start) {
      if (order[start] != kNone) continue;
      enter(start);
      while (!frames.empty()) {
        const std::size_t v = frames.back().first;
        if (frames.back().second < nodes_[v].edges.size()) {
          const std::size_t to = nodes_[v].edges[frames.back().second++].to;
          if (order[to] == kNone) {
            enter(to);
          } else if (onStack[to]) {
            low[v] = std::min(low[v], order[to]);
          }
          continue;
        }
        frames.pop_back();
        if (!frames.empty()) low[frames.back().first] = std::min(low[frames.back().first], low[v]);
        if (low[v] != order[v]) continue;
        std::vector<std::size_t> members;
        std::size_t w;
        do {
          w = stack.back();
          stack.pop_back();
          onStack[w] = 0;
          part[w] = parts.size();
          members.push_back(w);
        } while (w != v);
        parts.push_back(std::move(members));
      }
    }
    // The sets in the order their first files were met.
    std::vector<std::size_t> heads;
    for (const auto& members : parts)
      heads.push_back(
          *std::min_element(members.begin(), members.end(), [&](auto a, auto b) { return order[a] < order[b]; }));
    std::sort(heads.begin(), heads.end(), [&](auto a, auto b) { return order[a] < order[b]; });
    std::vector<std::size_t> came(n, kNone);
    for (const std::size_t head : heads) ReportCycleThrough(head, part, came);
  }

  // The shortest way from head back to itself inside its set, found breadth first.
  void ReportCycleThrough(std::size_t head, const std::vector<std::size_t>& part, std::vector<std::size_t>& came) {
    std::vector<std::size_t> queue{head};
    came[head] = head;
    for (std::size_t q = 0; q < queue.size(); ++q) {
      const std::size_t u = queue[q];
      for (const Edge& edge : nodes_[u].edges) {
        if (edge.to == head) {
          std::vector<std::size_t> way{head};
          for (std::size_t v = u; v != head; v = came[v]) way.push_back(v);
          std::reverse(way.begin() + 1, way.end());
          way.push_back(head);
          ReportCycle(way, u, edge.line);
          return;
        }
        if (part[edge.to] != part[head] || came[edge.to] != static_cast<std::size_t>(-1)) continue;
        came[edge.to] = u;
        queue.push_back(edge.to);
      }
    }
  }

  void ReportCycle(const std::vector<std::size_t>& way, std::size_t closing, int line) {
    std::string names;
    for (std::size_t i = 0; i < way.size(); ++i) {
      if (way.size() > kShownCycle && i == kShownCycle / 2) {
        names += " → …";
        i = way.size() - kShownCycle / 2;
      }
      if (!names.empty()) names += " → ";
      names += WhereIs(way[i]);
    }
    tree_.problems_.push_back(IncludeProblem{
        IncludeFault::Cycle, FormatText(kIncludeCycle, {names, WhereIs(closing), std::to_string(line + 1)})});
  }

  FileSystem& fs_;
  CodePages& codePages_;
  std::string sourceFolder_;
  std::string masmInclude_;
  std::string base_;
  std::vector<Node> nodes_;                              // the source first
  std::unordered_map<std::string, std::size_t> nodeOf_;  // by PathKey
  std::unordered_map<std::string, std::shared_ptr<const IncludedFile>> previous_;
  std::unordered_map<std::string, std::string> resolved_;  // folder NUL name: path or empty
  std::unordered_set<std::string> absent_;
  std::unordered_set<std::string> missing_;  // names reported missing, as written
  std::size_t includeLines_ = 0;
  bool stopped_ = false;
  bool tooDeep_ = false;
  bool tooMany_ = false;
  IncludeTree tree_;
};

IncludeTree IncludeTree::Read(FileSystem& fs, CodePages& codePages, const IncludeSearch& search,
                              const std::vector<IncludeLine>& sourceIncludes, const IncludeTree* previous) {
  return IncludeTreeReader(fs, codePages, search, previous).Read(sourceIncludes);
}

bool IncludeTree::Stale(FileSystem& fs) const {
  for (const auto& file : files_) {
    if (fs.Stamp(file->path) != file->stamp) return true;
  }
  return std::any_of(watched_.begin(), watched_.end(), [&](const Watched& w) { return fs.Stamp(w.path) != w.stamp; });
}

}  // namespace vantorel
