// Random include trees shaped like the Masm32 folder: a windows.inc of constants,
// structures (with anonymous and named nested parts), unions and typedefs; many API
// .inc files of prototypes (unnamed and named parameters, STDCALL, C with VARARG,
// A and W forms with their text alias); a macros file; a top file that includes them
// by rooted, relative and differently cased names; API files that include others;
// comments in CP1251. On request, files that include each other in circles, includes
// of files that exist nowhere and files nothing includes. Everything is generated, and
// the generator knows what reading the tree must give.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace vantorel {

struct IncludeTreeOptions {
  // 1: about 340 files and 4.2 MB holding 26,000 prototypes, 16,000 constants and
  // 1,000 structures, the size of the Masm32 include folder.
  double scale = 1.0;
  int cycles = 0;     // sets of 1 to 3 files including each other in a circle
  int missing = 0;    // include lines naming a file that is nowhere, each another name
  int unreached = 0;  // API files that nothing includes
};

struct GeneratedIncludeTree {
  std::string masmPath = "C:\\masm32";
  std::string sourcePath = "C:\\proj\\app.asm";  // the source itself is the editor's text, not a file here
  std::vector<std::string> sourceIncludes;       // its include names as written
  std::map<std::string, std::string> files;      // full path: bytes

  // What reading the tree from the source must give.
  std::set<std::string> reached;    // the full paths of the files reachable from the source
  int missingProblems = 0;          // one for each name that is nowhere
  int cycleProblems = 0;            // one for each set of files in a circle
  std::map<int, int> declarations;  // a DeclarationKind's value: the top-level count in the reached files
  std::size_t reachedBytes = 0;
};

class IncludeTreeGenerator {
 public:
  explicit IncludeTreeGenerator(unsigned seed) : rng_(seed) {}

  GeneratedIncludeTree Generate(const IncludeTreeOptions& options) {
    out_ = GeneratedIncludeTree{};
    edges_.clear();
    kinds_.clear();
    const double s = options.scale;
    const int apiFiles = std::max(2, static_cast<int>(330 * s));
    const int unreached = std::min(options.unreached, apiFiles - 1);

    File windows(Include("windows.inc"));
    Header(windows);
    const int constants = static_cast<int>(16000 * s);
    const int structures = static_cast<int>(1000 * s);
    const int unions = std::max(1, static_cast<int>(40 * s));
    const int typedefs = std::max(1, static_cast<int>(60 * s));
    for (int c = 0, st = 0, u = 0, t = 0; c < constants || st < structures || u < unions || t < typedefs;) {
      const int pick = Pick(40);
      if (pick < 36 && c < constants) {
        Constant(windows), ++c;
      } else if (pick < 38 && st < structures) {
        Structure(windows, false), ++st;
      } else if (pick < 39 && u < unions) {
        Structure(windows, true), ++u;
      } else if (t < typedefs) {
        Typedef(windows), ++t;
      } else if (c < constants) {
        Constant(windows), ++c;
      } else if (st < structures) {
        Structure(windows, false), ++st;
      } else {
        Structure(windows, true), ++u;
      }
      Padding(windows);
    }

    // The API files: the prototypes spread over them at random.
    std::vector<File> apis;
    for (int i = 0; i < apiFiles; ++i) apis.emplace_back(Include("lib" + std::to_string(i) + ".inc"));
    for (File& api : apis) Header(api);
    const int prototypes = static_cast<int>(26000 * s);
    for (int p = 0; p < prototypes;) {
      File& api = apis[static_cast<std::size_t>(Pick(apiFiles))];
      p += Prototype(api, prototypes - p);
      Padding(api);
    }

    File macros(out_.masmPath + "\\macros\\macros.asm");
    Header(macros);
    for (int i = std::max(3, static_cast<int>(150 * s)); i > 0; --i) {
      Macro(macros);
      Padding(macros);
    }

    // The top file includes windows.inc, most API files and the macros; the others
    // are included by an API file before them, except the unreached ones at the end.
    File top(Include("masm32rt.inc"));
    top.Line(".486");
    top.Line(".model flat, stdcall");
    top.Line("option casemap :none");
    IncludeIn(top, windows.path, "\\masm32\\include\\windows.inc");
    const int reachable = apiFiles - unreached;
    std::vector<std::size_t> direct;
    for (int i = 0; i < reachable; ++i) {
      const std::string name = "lib" + std::to_string(i) + ".inc";
      if (i == 0 || Pick(10) < 7) {
        IncludeIn(top, apis[static_cast<std::size_t>(i)].path, Written(name));
        direct.push_back(static_cast<std::size_t>(i));
      } else {
        File& by = apis[static_cast<std::size_t>(Pick(i))];
        IncludeIn(by, apis[static_cast<std::size_t>(i)].path, Written(name));
      }
      top.Line("includelib \\masm32\\lib\\" + name.substr(0, name.size() - 4) + ".lib");
    }
    // Some API files name others again (already read by then): rooted or relative.
    for (int i = 0; i + 1 < reachable; ++i) {
      if (Pick(8) != 0) continue;
      const int j = i + 1 + Pick(reachable - i - 1);
      IncludeIn(apis[static_cast<std::size_t>(i)], apis[static_cast<std::size_t>(j)].path,
                Written("lib" + std::to_string(j) + ".inc"));
    }
    IncludeIn(top, macros.path, "\\masm32\\macros\\macros.asm");

    // The program's own include, beside the source: relative names that are found
    // beside it, or only in the Masm32 folder.
    File app("C:\\proj\\app.inc");
    File rsrc("C:\\proj\\rsrc.inc");
    for (int i = 0; i < 20; ++i) Constant(rsrc);
    IncludeIn(app, rsrc.path, "rsrc.inc");
    IncludeIn(app, windows.path, "windows.inc");
    for (int i = 0; i < 10; ++i) Prototype(app, 1);
    out_.sourceIncludes = {"\\masm32\\include\\masm32rt.inc", "app.inc", "lib0.inc"};
    for (const char* name : {"masm32rt.inc", "lib0.inc"}) edges_[out_.sourcePath].push_back(Include(name));
    edges_[out_.sourcePath].push_back(app.path);

    for (int k = 0; k < options.cycles; ++k) {
      const int size = 1 + Pick(3);
      std::vector<File> circle;
      for (int j = 0; j < size; ++j)
        circle.emplace_back(Include("loop" + std::to_string(k) + "_" + std::to_string(j) + ".inc"));
      for (int j = 0; j < size; ++j) {
        Prototype(circle[static_cast<std::size_t>(j)], 1);
        const File& next = circle[static_cast<std::size_t>((j + 1) % size)];
        IncludeIn(circle[static_cast<std::size_t>(j)], next.path, next.path.substr(next.path.rfind('\\') + 1));
      }
      IncludeIn(top, circle[0].path, "\\masm32\\include\\loop" + std::to_string(k) + "_0.inc");
      for (File& f : circle) Put(std::move(f));
      ++out_.cycleProblems;
    }
    for (int k = 0; k < options.missing; ++k) {
      // Only in files surely read: the top, the program's include, the top's API files.
      const std::string name = "\\masm32\\include\\absent" + std::to_string(k) + ".inc";
      const int where = Pick(static_cast<int>(direct.size()) + 2);
      File& in = where == 0 ? top : where == 1 ? app : apis[direct[static_cast<std::size_t>(where - 2)]];
      in.Line("include " + name);
      ++out_.missingProblems;
    }

    Put(std::move(windows));
    for (File& api : apis) Put(std::move(api));
    Put(std::move(macros));
    Put(std::move(top));
    Put(std::move(app));
    Put(std::move(rsrc));
    Reach();
    return std::move(out_);
  }

 private:
  // The kinds, with DeclarationKind's values.
  enum Kind { kConstant = 2, kTextAlias = 3, kPrototype = 4, kStructure = 6, kUnion = 7, kMacro = 9, kTypedef = 10 };

  struct File {
    explicit File(std::string p) : path(std::move(p)) {}
    std::string path;
    std::string text;
    std::map<int, int> kinds;
    void Line(const std::string& line) { text += line + "\r\n"; }
  };

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  std::string Include(const std::string& name) const { return out_.masmPath + "\\include\\" + name; }
  std::string Name(const char* stem) { return stem + std::to_string(serial_++); }

  // An include of another file of the folder as Masm32 sources write it: rooted
  // (sometimes in capitals, as old sources do) or relative to the including file.
  std::string Written(const std::string& name) {
    switch (Pick(4)) {
      case 0: return name;
      case 1: {
        std::string upper = "\\MASM32\\INCLUDE\\" + name;
        for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        return upper;
      }
      default: return "\\masm32\\include\\" + name;
    }
  }
  void IncludeIn(File& in, const std::string& target, const std::string& written) {
    in.Line((Pick(4) == 0 ? "INCLUDE " : "include ") + written);
    edges_[in.path].push_back(target);
  }

  void Header(File& f) {
    f.Line("; " + std::string(60, '-'));
    f.Line(";  " + f.path.substr(f.path.rfind('\\') + 1) + " \xe4\xeb\xff \xef\xf0\xee\xe3\xf0\xe0\xec\xec Masm32");
    f.Line("; " + std::string(60, '-'));
    f.Line("");
  }
  // Comments and blank lines among the declarations, as much as the real folder has.
  void Padding(File& f) {
    switch (Pick(8)) {
      case 0: f.Line(""); break;
      case 1: f.Line("; \xea\xee\xec\xec\xe5\xed\xf2\xe0\xf0\xe8\xe9: x PROTO :DWORD is not a declaration"); break;
      case 2:
      case 3: f.Line("  ; " + std::string(static_cast<std::size_t>(24 + Pick(70)), '=')); break;
      case 4:
      case 5: f.Line("; " + Name("see") + std::string(static_cast<std::size_t>(48 + Pick(100)), '.')); break;
      default: break;
    }
  }

  void Constant(File& f) {
    static const char* kStems[] = {"WM_",  "BM_", "LB_", "CB_", "SW_", "MB_",
                                   "IDC_", "WS_", "ES_", "CS_", "VK_", "ERROR_"};
    const std::string name = Name(kStems[Pick(12)]);
    const int value = Pick(65536);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0%Xh", value);
    f.Line(name + (Pick(3) ? " equ " + std::string(hex) : " = " + std::to_string(value)) +
           (Pick(6) == 0 ? " ; \xe7\xed\xe0\xf7\xe5\xed\xe8\xe5" : ""));
    ++f.kinds[kConstant];
  }

  void Typedef(File& f) {
    f.Line(Name("LPST") + " TYPEDEF PTR " + Name("ST"));
    ++f.kinds[kTypedef];
  }

  // A structure or union with plain fields, an anonymous part whose fields are its
  // own, sometimes a named nested part, an instance of another structure.
  void Structure(File& f, bool isUnion) {
    const std::string name = Name(isUnion ? "UN" : "ST");
    f.Line(name + (isUnion ? " UNION" : Pick(4) ? " STRUCT" : " STRUCT 4"));
    for (int i = 1 + Pick(6); i > 0; --i) f.Line("  " + Name("fld") + (Pick(2) ? " DWORD ?" : " WORD ?"));
    if (Pick(2)) {
      f.Line(Pick(2) ? "  UNION" : "  STRUCT");
      for (int i = 1 + Pick(3); i > 0; --i) f.Line("    " + Name("alt") + " DWORD ?");
      f.Line("  ENDS");
    }
    if (Pick(3) == 0) {
      f.Line("  STRUCT " + Name("part"));
      f.Line("    " + Name("x") + " DWORD ?");
      f.Line("  ENDS");
    }
    if (Pick(3) == 0) f.Line("  " + Name("rc") + " RECT <>");
    f.Line(name + " ENDS");
    ++f.kinds[isUnion ? kUnion : kStructure];
  }

  std::string Parameters() {
    static const char* kNames[] = {"hWnd", "lpText", "uType", "dwFlags", "lParam", "wParam", "hInst", "nSize"};
    const int n = Pick(7);
    std::string list;
    switch (Pick(6)) {
      case 0:  // with names
        list = " STDCALL";
        for (int i = 0; i < n; ++i) list += std::string(i ? ", " : " ") + kNames[Pick(8)] + ":DWORD";
        return list;
      case 1: return " C :DWORD,:VARARG";
      default:
        for (int i = 0; i < n; ++i) list += std::string(i ? "," : " ") + ":DWORD";
        return list;
    }
  }
  // One prototype, or (room allowing) the A and W forms with the alias of the plain
  // name; the prototypes written.
  int Prototype(File& f, int room) {
    static const char* kStems[] = {"Create", "Get", "Set", "Reg", "Find", "Draw", "Send", "Post", "Load", "wsprintf"};
    const std::string name = Name(kStems[Pick(10)]);
    if (room >= 2 && Pick(3) == 0) {
      const std::string parameters = Parameters();
      f.Line(name + "A PROTO" + parameters);
      f.Line(name + "W PROTO" + parameters);
      f.Line("IFNDEF __UNICODE__");
      f.Line("  " + name + " equ <" + name + "A>");
      f.Line("ELSE");
      f.Line("  " + name + " equ <" + name + "W>");
      f.Line("ENDIF");
      f.kinds[kPrototype] += 2;
      f.kinds[kTextAlias] += 2;  // both branches are read: the index does not assemble
      return 2;
    }
    f.Line(name + " PROTO" + Parameters());
    ++f.kinds[kPrototype];
    return 1;
  }

  void Macro(File& f) {
    const std::string name = Name(Pick(2) ? "szText" : "m2m");
    f.Line(name + " MACRO arg1, arg2:REQ, arg3:=<0>, rest:VARARG");
    f.Line("  LOCAL lbl");
    f.Line("  FOR arg, <rest>");
    f.Line("    push arg");
    f.Line("  ENDM");
    if (Pick(2)) f.Line("  EXITM <eax>");
    f.Line("ENDM");
    ++f.kinds[kMacro];
  }

  void Put(File f) {
    kinds_[f.path] = f.kinds;
    out_.files[f.path] = std::move(f.text);
  }

  // The files reachable from the source along the includes written, each once.
  void Reach() {
    std::vector<std::string> queue(edges_[out_.sourcePath]);
    while (!queue.empty()) {
      const std::string path = queue.back();
      queue.pop_back();
      if (!out_.files.count(path) || !out_.reached.insert(path).second) continue;
      out_.reachedBytes += out_.files[path].size();
      for (const auto& [kind, count] : kinds_[path]) out_.declarations[kind] += count;
      for (const std::string& next : edges_[path]) queue.push_back(next);
    }
  }

  std::mt19937 rng_;
  GeneratedIncludeTree out_;
  std::map<std::string, std::vector<std::string>> edges_;  // full path: the full paths it includes
  std::map<std::string, std::map<int, int>> kinds_;
  int serial_ = 0;
};

}  // namespace vantorel
