// Input files the benchmarks share, written to the temporary folder once per machine:
// a file of the right size from an earlier run is used as it is.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vantorel {

inline std::string BenchTempPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

// The file name in the temporary folder, written by make() unless it has the size.
template <class Make>
std::string GeneratedFile(const char* name, std::size_t size, Make make) {
  const std::string p = BenchTempPath(name);
  std::error_code error;
  if (std::filesystem::file_size(p, error) == size) return p;
  const std::string text = make();
  if (text.size() != size) std::abort();  // the generator and its size disagree
  std::ofstream(p, std::ios::binary) << text;
  return p;
}

// One line of 10 MB: a data definition that never ends, with its CR LF.
inline const std::string& SingleLine10MB() {
  constexpr std::size_t k10MB = 10'000'000;
  static const std::string path = GeneratedFile("vantorel-bench-large-10mb-line-v1.asm", k10MB, [] {
    std::string text = "table db ";
    static const char kHex[] = "0123456789ABCDEF";
    for (unsigned i = 0; text.size() < k10MB - 8; ++i) {
      text += '0';
      text += kHex[i >> 4 & 15];
      text += kHex[i & 15];
      text += "h, ";
    }
    text.resize(k10MB - 2, ' ');
    text.back() = '0';
    text += "\r\n";
    return text;
  });
  return path;
}

// Files of nothing but tabs: one line of 1 MB (oneLine), or 10 MB in lines of 64 tabs.
inline const std::string& TabsFile(bool oneLine) {
  if (oneLine) {
    static const std::string line = GeneratedFile("vantorel-bench-tabs-line.asm", 1'000'002, [] {
      return std::string(1'000'000, '\t') + "\r\n";
    });
    return line;
  }
  static const std::string lines = GeneratedFile("vantorel-bench-tabs-lines.asm", 10'000'056, [] {
    const std::string one = std::string(64, '\t') + "\r\n";
    std::string text;
    while (text.size() < 10'000'000) text += one;
    return text;
  });
  return lines;
}

}  // namespace vantorel
