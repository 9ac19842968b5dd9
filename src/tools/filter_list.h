// The paths the optimisation search skips: files that could not be deleted,
// kept in "filter.txt" in the program folder, one path a line. A set, so a
// path is looked up once per file; a path is written to the file only once.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tools {

inline constexpr const char* kFilterFileName = "filter.txt";

class FilterList {
 public:
  // Adds the lines of a filter file's text (line ends "\n" or "\r\n").
  void addLines(std::string_view fileText);
  bool contains(const std::string& path) const { return paths_.count(path) != 0; }
  // Adds the path; true when it was not there yet.
  bool add(const std::string& path) { return paths_.insert(path).second; }
  size_t size() const { return paths_.size(); }

 private:
  std::unordered_set<std::string> paths_;
};

// The filter file of a program folder (ending in a backslash), on disk.
class FilterFile {
 public:
  explicit FilterFile(std::string programFolder)
      : path_(std::move(programFolder) + kFilterFileName) {}

  // Reads the file into `list`; creates it empty when it is missing.
  // False when it could be neither read nor created.
  bool load(FilterList& list) const;
  // Appends the paths that `list` does not hold yet, one line each, and adds
  // them to `list`. False when the file could not be written.
  bool append(const std::vector<std::string>& paths, FilterList& list) const;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tools
