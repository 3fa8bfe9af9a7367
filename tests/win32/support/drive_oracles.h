#pragma once
// Independent answers about the fixture drives, for comparing with the drive
// information under Wine: the host's statvfs figures written by the fixture
// script, and Wine's own wmic.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace brindlecap::win32_test {

struct HostSpace {
  uint64_t total = 0, free = 0;
  // A drive of its own that nothing else writes to: its figures never move. The
  // others are folders of a host file system whose free space other work changes.
  bool exact = false;
};

// The folder named by BRINDLECAP_FIXTURE_DIR (a host path) as Wine sees it
// (under Z:), or nothing when the variable is not set.
std::optional<std::wstring> FixtureFolder();

// oracle.txt of the fixture folder: "LETTER total_bytes free_bytes exact|shared" per line.
std::map<char, HostSpace> ReadHostSpace(const std::wstring& fixtureFolder);

struct CaseInsensitiveLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
// One row of "wmic logicaldisk get ...", by column name (any case), values trimmed.
using WmicRow = std::map<std::string, std::string, CaseInsensitiveLess>;

// Runs wmic with the given comma-separated properties; rows by drive letter.
// Empty when wmic cannot be run or does not finish within a minute.
std::map<char, WmicRow> QueryLogicalDisks(const std::wstring& properties);

// Splits wmic's fixed-width table (decoded to ASCII) by the header's columns.
std::map<char, WmicRow> ParseWmicTable(const std::string& table);

}  // namespace brindlecap::win32_test
