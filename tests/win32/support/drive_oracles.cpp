#include "win32/support/drive_oracles.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace brindlecap::win32_test {

namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string ReadWholeFile(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (::ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
    bytes.append(chunk, read);
  ::CloseHandle(file);
  return bytes;
}

std::wstring TemporaryFile() {
  wchar_t folder[MAX_PATH], path[MAX_PATH];
  ::GetTempPathW(MAX_PATH, folder);
  ::GetTempFileNameW(folder, L"wmi", 0, path);
  return path;
}

}  // namespace

bool CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::optional<std::wstring> FixtureFolder() {
  const char* host = std::getenv("BRINDLECAP_FIXTURE_DIR");
  if (host == nullptr || *host == '\0') return std::nullopt;
  std::wstring folder = L"Z:";
  for (const char* c = host; *c; ++c) folder.push_back(*c == '/' ? L'\\' : wchar_t(*c));
  return folder;
}

std::map<char, HostSpace> ReadHostSpace(const std::wstring& fixtureFolder) {
  std::map<char, HostSpace> space;
  std::istringstream file(ReadWholeFile(fixtureFolder + L"\\oracle.txt"));
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream fields(line);
    char letter;
    HostSpace figures;
    std::string kind;
    if (fields >> letter >> figures.total >> figures.free >> kind) {
      figures.exact = kind == "exact";
      space[letter] = figures;
    }
  }
  return space;
}

std::map<char, WmicRow> ParseWmicTable(const std::string& table) {
  std::istringstream lines(table);
  std::string header, line;
  std::getline(lines, header);
  // A column starts where a header word starts.
  std::vector<std::pair<size_t, std::string>> columns;
  for (size_t i = 0; i < header.size(); ++i) {
    if (header[i] != ' ' && header[i] != '\r' && (i == 0 || header[i - 1] == ' ')) {
      const size_t end = header.find(' ', i);
      columns.emplace_back(i, Trim(header.substr(i, end - i)));
    }
  }
  std::map<char, WmicRow> rows;
  while (std::getline(lines, line)) {
    if (Trim(line).empty()) continue;
    WmicRow row;
    for (size_t c = 0; c < columns.size(); ++c) {
      const size_t start = columns[c].first;
      const size_t end = c + 1 < columns.size() ? columns[c + 1].first : line.size();
      row[columns[c].second] = start < line.size() ? Trim(line.substr(start, end - start)) : "";
    }
    const std::string device = row["DeviceID"];
    if (!device.empty()) rows[device[0]] = row;
  }
  return rows;
}

std::map<char, WmicRow> QueryLogicalDisks(const std::wstring& properties) {
  const std::wstring outputPath = TemporaryFile();
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE output = ::CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (output == INVALID_HANDLE_VALUE) return {};
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = output;
  std::wstring command = L"wmic logicaldisk get " + properties;
  PROCESS_INFORMATION process{};
  const BOOL started = ::CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  ::CloseHandle(output);
  if (!started) return {};
  const DWORD waited = ::WaitForSingleObject(process.hProcess, 60000);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  if (waited != WAIT_OBJECT_0) return {};

  // UTF-16 with a byte-order mark; every value is ASCII.
  const std::string bytes = ReadWholeFile(outputPath);
  ::DeleteFileW(outputPath.c_str());
  std::string table;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned unit =
        static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (unit == 0xFEFF) continue;
    table.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  }
  return ParseWmicTable(table);
}

}  // namespace brindlecap::win32_test
