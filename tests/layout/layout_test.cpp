// The layout the code is built on: includes only run downwards. Between
// folders and between files (a source and its header together) no include
// closes a circle, and only the process entry and the backends themselves
// name a display backend.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Include {
  std::string from;  // the including file, relative to the source tree
  std::string to;    // the included file, as written
};

std::vector<Include> ProjectIncludes() {
  const fs::path root = TESSELLON_SOURCE_DIR;
  const std::regex include(R"re(^\s*#\s*include\s+"([^"]+)")re");
  std::vector<Include> found;
  for (const char* top : {"app", "runtime", "platform"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
      const std::string ext = entry.path().extension().string();
      if (ext != ".h" && ext != ".cpp") continue;
      std::ifstream in(entry.path());
      const std::string from = fs::relative(entry.path(), root).generic_string();
      for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_search(line, m, include) && fs::exists(root / m[1].str())) found.push_back({from, m[1].str()});
      }
    }
  }
  return found;
}

// One circle of `graph` as "a -> b -> a", or empty when there is none.
std::string FindCircle(const std::map<std::string, std::set<std::string>>& graph) {
  std::map<std::string, int> state;  // 1 on the path, 2 done
  std::vector<std::string> path;
  std::string circle;
  std::function<bool(const std::string&)> visit = [&](const std::string& node) {
    state[node] = 1;
    path.push_back(node);
    auto it = graph.find(node);
    if (it != graph.end()) {
      for (const std::string& next : it->second) {
        if (state[next] == 1) {
          for (auto p = std::find(path.begin(), path.end(), next); p != path.end(); ++p) circle += *p + " -> ";
          circle += next;
          return true;
        }
        if (state[next] == 0 && visit(next)) return true;
      }
    }
    path.pop_back();
    state[node] = 2;
    return false;
  };
  for (const auto& [node, edges] : graph)
    if (state[node] == 0 && visit(node)) return circle;
  return {};
}

std::string Folder(const std::string& file) { return fs::path(file).parent_path().generic_string(); }
// A source and its header are one piece.
std::string Piece(const std::string& file) { return (fs::path(file).parent_path() / fs::path(file).stem()).generic_string(); }

TEST(Layout, IncludesNeverCloseACircle) {
  const std::vector<Include> includes = ProjectIncludes();
  ASSERT_GT(includes.size(), 500u) << "the source tree was not found";
  std::map<std::string, std::set<std::string>> folders, pieces;
  for (const Include& i : includes) {
    if (Folder(i.from) != Folder(i.to)) folders[Folder(i.from)].insert(Folder(i.to));
    if (Piece(i.from) != Piece(i.to)) pieces[Piece(i.from)].insert(Piece(i.to));
  }
  EXPECT_EQ(FindCircle(folders), "") << "folders";
  EXPECT_EQ(FindCircle(pieces), "") << "files";
}

TEST(Layout, OnlyTheProcessEntryAndTheBackendsNameABackend) {
  for (const Include& i : ProjectIncludes()) {
    if (i.to.rfind("platform/backends/", 0) != 0) continue;
    const bool allowed = i.from.rfind("platform/backends/", 0) == 0 || i.from.rfind("platform/process/", 0) == 0;
    EXPECT_TRUE(allowed) << i.from << " includes " << i.to;
  }
}

}  // namespace
