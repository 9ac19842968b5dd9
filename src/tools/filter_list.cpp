#include "tools/filter_list.h"

#include "common/file_io.h"

namespace tools {

void FilterList::addLines(std::string_view fileText) {
  size_t start = 0;
  while (start < fileText.size()) {
    size_t end = fileText.find('\n', start);
    if (end == std::string_view::npos) end = fileText.size();
    std::string_view line = fileText.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) paths_.emplace(line);
    start = end + 1;
  }
}

bool FilterFile::load(FilterList& list) const {
  std::string text;
  if (!fileio::readWholeFile(path_, &text)) {
    fileio::InputFile probe;
    // Missing: made empty. Present but unreadable: left as it is.
    if (probe.open(path_)) return false;
    return fileio::writeWholeFile(path_, "");
  }
  list.addLines(text);
  return true;
}

bool FilterFile::append(const std::vector<std::string>& paths, FilterList& list) const {
  std::string added;
  for (const std::string& path : paths)
    if (!path.empty() && list.add(path)) added += path + "\n";
  if (added.empty()) return true;
  std::string text;
  fileio::readWholeFile(path_, &text);
  if (!text.empty() && text.back() != '\n') text += '\n';
  return fileio::writeWholeFile(path_, text + added);
}

}  // namespace tools
