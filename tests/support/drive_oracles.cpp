#include "support/drive_oracles.h"

#include <cstdio>
#include <cwctype>
#include <sstream>
#include <stdexcept>

#include "support/command_line_run.h"
#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace brindlecap::e2e {
namespace {

std::wstring Trim(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t\r\n");
  if (first == std::wstring::npos) return {};
  const size_t last = text.find_last_not_of(L" \t\r\n");
  return text.substr(first, last - first + 1);
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// wmic writes UTF-16 with a byte-order mark to a file; accept ANSI as well.
std::wstring DecodeWmicOutput(const std::string& bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                     static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
    }
    return text;
  }
  std::wstring text;
  for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return text;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::wstring line;
  for (wchar_t c : text) {
    if (c == L'\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != L'\r') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

std::map<wchar_t, SpaceFigures> ReadFixtureSpaceOracle() {
  std::map<wchar_t, SpaceFigures> figures;
  const std::wstring folder = Environment(L"BRINDLECAP_FIXTURE_DIR");
  if (folder.empty()) return figures;
  const auto bytes = ReadFileBytes(UnixPathToWine(folder + L"/oracle.txt"));
  if (!bytes) return figures;
  std::istringstream lines(*bytes);
  std::string letter, kind;
  SpaceFigures space;
  while (lines >> letter >> space.total >> space.free >> kind) {
    space.exact = kind == "exact";
    if (letter.size() == 1) figures[static_cast<wchar_t>(letter[0])] = space;
  }
  return figures;
}

std::map<wchar_t, WmicDisk> RunWmicLogicalDisks() {
  const ProcessRun wmic =
      RunProcess(L"",
                 L"wmic logicaldisk get DeviceID,DriveType,FileSystem,FreeSpace,VolumeName,"
                 L"VolumeSerialNumber",
                 L"", Milliseconds(60000));
  if (wmic.exitCode == STILL_ACTIVE) throw std::runtime_error("wmic did not finish in time");
  const std::vector<std::wstring> lines = Lines(DecodeWmicOutput(wmic.standardOutput));
  if (lines.empty()) throw std::runtime_error("wmic's output is empty");

  // Columns start where their header names start.
  const std::wstring& header = lines.front();
  std::vector<std::pair<std::wstring, size_t>> columns;
  for (size_t i = 0; i < header.size();) {
    if (header[i] == L' ') {
      ++i;
      continue;
    }
    const size_t end = header.find(L' ', i);
    const size_t stop = end == std::wstring::npos ? header.size() : end;
    columns.emplace_back(Lower(header.substr(i, stop - i)), i);
    i = stop;
  }
  std::map<wchar_t, WmicDisk> disks;
  for (size_t l = 1; l < lines.size(); ++l) {
    std::map<std::wstring, std::wstring> values;
    for (size_t c = 0; c < columns.size(); ++c) {
      const size_t start = columns[c].second;
      const size_t stop = c + 1 < columns.size() ? columns[c + 1].second : std::wstring::npos;
      values[columns[c].first] =
          start < lines[l].size() ? Trim(lines[l].substr(start, stop - start)) : std::wstring();
    }
    const std::wstring id = values[L"deviceid"];
    if (id.size() != 2 || id[1] != L':') continue;
    disks[id[0]] = WmicDisk{values[L"drivetype"], values[L"filesystem"], values[L"freespace"],
                            values[L"volumename"], values[L"volumeserialnumber"]};
  }
  if (disks.empty()) throw std::runtime_error("wmic listed no disks");
  return disks;
}

std::wstring SerialText(DWORD serial) {
  if (serial == 0) return L"No SN";
  wchar_t text[16];
  swprintf(text, 16, L"%04lX-%04lX", (serial >> 16) & 0xFFFF, serial & 0xFFFF);
  return text;
}

uint64_t FreeOnExactDrive() {
  ULARGE_INTEGER free{};
  return GetDiskFreeSpaceExW(kExactDrive, &free, nullptr, nullptr) ? free.QuadPart : 0;
}

std::vector<std::wstring> LogicalDriveRoots() {
  wchar_t buffer[1024] = L"";
  const DWORD length = GetLogicalDriveStringsW(1023, buffer);
  std::vector<std::wstring> roots;
  for (const wchar_t* root = buffer; root < buffer + length && *root; root += wcslen(root) + 1) {
    roots.emplace_back(root);
  }
  return roots;
}

SystemDrive QuerySystemDrive(const std::wstring& root) {
  SystemDrive drive;
  drive.root = root;
  drive.type = GetDriveTypeW(root.c_str());
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((root + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    drive.hasEntries = found.cFileName[0] != L'\0';
    drive.readable = drive.hasEntries;
    FindClose(search);
  } else {
    const DWORD error = GetLastError();
    drive.readable = error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES;
  }
  wchar_t label[MAX_PATH + 1] = L"", fileSystem[MAX_PATH + 1] = L"";
  DWORD serial = 0, componentLength = 0, flags = 0;
  drive.volumeKnown = GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, &serial,
                                            &componentLength, &flags, fileSystem, MAX_PATH + 1);
  if (drive.volumeKnown) {
    drive.label = label;
    drive.fileSystem = fileSystem;
    drive.serial = serial;
  }
  ULARGE_INTEGER available{}, total{}, free{};
  if (GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free)) {
    drive.space = SpaceFigures{total.QuadPart, free.QuadPart};
  }
  return drive;
}

}  // namespace brindlecap::e2e
