#pragma once
// "Start Retrieving" on the fixture drives, from another process, with the
// system's own answers taken before and after the run.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "support/drive_oracles.h"
#include "support/export_rules.h"
#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace brindlecap::e2e {

using namespace std::chrono_literals;
using Row = std::vector<std::wstring>;

inline std::string Show(const Row& row) {
  std::string text;
  for (const auto& cell : row) text += "[" + Narrow(cell) + "]";
  return text;
}

class RetrievalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    roots_ = LogicalDriveRoots();
    ASSERT_FALSE(roots_.empty());
    for (const auto& root : roots_) before_[root[0]] = QuerySystemDrive(root);
    program_ = ProgramDriver::Start(BRINDLECAP_EXE, folder_.Path());
  }
  void TearDown() override { program_->Close(10s); }

  // Presses "Start Retrieving" and reads the list back, with the system's own
  // answers taken just after the run.
  std::vector<Row> RetrieveAndRead() {
    program_->Retrieve();
    for (const auto& root : roots_) after_[root[0]] = QuerySystemDrive(root);
    return program_->List().Rows();
  }

  static const Row* FindRow(const std::vector<Row>& rows, wchar_t letter) {
    for (const Row& row : rows) {
      if (!row.empty() && !row[0].empty() && row[0][0] == letter) return &row;
    }
    return nullptr;
  }

  ScratchFolder folder_;
  std::vector<std::wstring> roots_;
  std::map<wchar_t, SystemDrive> before_, after_;
  std::unique_ptr<ProgramDriver> program_;
};

}  // namespace brindlecap::e2e
