#pragma once

#include <optional>
#include <string>
#include <vector>

// Which model table a run reads. The current directory keeps its place
// first; a technician's own table and the one installed with the program
// follow, so that a run from any folder still finds one.
struct ModelTableChoice {
  std::string path;    // the file the lookups open
  bool found = false;  // false: no candidate exists; path is the bare name
  bool readable = false;
  // What is wrong, naming the file, or every place searched when none was
  // found; empty when the table can serve.
  std::string problem;
};

// Every place searched, in order, each a full file path.
std::vector<std::string> ModelTableSearchOrder();
// The given file (--models), or the first of the search order that exists.
ModelTableChoice ChooseModelTable(const std::optional<std::string>& given);
