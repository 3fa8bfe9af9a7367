#pragma once
// Keeps a copy of each JSON document a test reads in the folder that the variable
// BRINDLECAP_JSON_SAMPLES names, where ctest sets it: tests/schema/validate-json then
// checks them all against docs/brindlecap.schema.json.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace brindlecap::testing {

inline void KeepJsonSample(const std::string& json) {
  const char* folder = std::getenv("BRINDLECAP_JSON_SAMPLES");
  if (folder == nullptr || *folder == '\0') return;
  // Named by its content: a document read twice is kept once, and test programs
  // running side by side never write over each other's.
  std::error_code ignored;  // a folder that cannot be made fails the write below
  std::filesystem::create_directories(folder, ignored);
  const std::string path =
      std::string(folder) + "/" + std::to_string(std::hash<std::string>{}(json)) + ".json";
  std::ofstream file(path, std::ios::binary);
  file << json;
  if (!file.flush()) ADD_FAILURE() << "cannot keep the JSON sample " << path;
}

}  // namespace brindlecap::testing
