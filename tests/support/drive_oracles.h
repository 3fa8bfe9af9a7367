#pragma once
// What the drives are, according to sources other than the program: the
// fixture's statvfs figures, Wine's wmic, and the system's own answers.
#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace brindlecap::e2e {

struct SpaceFigures {
  uint64_t total = 0;
  uint64_t free = 0;
  // A drive of its own that nothing else writes to: its figures never move. The
  // others are folders of a host file system whose free space other work changes.
  bool exact = false;
};

// $BRINDLECAP_FIXTURE_DIR/oracle.txt ("LETTER total free exact|shared" per line), by
// drive letter.
// Empty when the variable is unset or the file is missing.
std::map<wchar_t, SpaceFigures> ReadFixtureSpaceOracle();

// One row of `wmic logicaldisk get ...`, by property name as asked.
struct WmicDisk {
  std::wstring driveType;
  std::wstring fileSystem;
  std::wstring freeSpace;
  std::wstring volumeName;
  std::wstring volumeSerialNumber;  // 8 hex digits
};

// Runs wmic (output to a file, UTF-16) and parses its fixed-width columns, by
// drive letter. Throws when wmic cannot be run or its output cannot be read.
std::map<wchar_t, WmicDisk> RunWmicLogicalDisks();

// The system's own answers for one root, without the program.
struct SystemDrive {
  std::wstring root;  // "C:\"
  UINT type = 0;
  bool hasEntries = false;  // its root directory lists at least one entry
  // The root can be searched: it lists entries, or it is a readable empty volume.
  bool readable = false;
  bool volumeKnown = false;
  std::wstring label;
  std::wstring fileSystem;
  DWORD serial = 0;
  std::optional<SpaceFigures> space;
};

// A volume serial number as the program shows it ("1234-ABCD"), "No SN" for none.
std::wstring SerialText(DWORD serial);

// The fixture's exact-size drive K: (a small tmpfs, only inside a private mount
// namespace) and a scratch file that fills it up.
inline constexpr wchar_t kExactDrive[] = L"K:\\";
inline constexpr wchar_t kFiller[] = L"K:\\brindlecap-filler.bin";
uint64_t FreeOnExactDrive();

std::vector<std::wstring> LogicalDriveRoots();
SystemDrive QuerySystemDrive(const std::wstring& root);

}  // namespace brindlecap::e2e
