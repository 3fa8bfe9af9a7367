#pragma once
// A file-writing facility that keeps its files in memory, as the bytes a real
// ANSI text file would hold (code page 1252, CR LF), and fails on request.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "export/text_file.h"
#include "shared/runtime_failure.h"

namespace brindlecap::testing {

// UTF-16 to code page 1252 as far as the tests need it (Latin-1 and the euro
// sign); every other unit becomes '?', each half of a surrogate pair too.
inline std::string ToCodePage1252(const std::u16string& text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      bytes.push_back(static_cast<char>(c));
    } else {
      bytes.push_back(c == u'\u20ac' ? '\x80' : '?');
    }
  }
  return bytes;
}

// What the files hold and what is to fail; shared by every object it creates,
// so that a test can look at it after the writer released them.
struct MemoryFileStore {
  std::map<std::u16string, std::string> files;
  std::set<std::u16string> open;  // created and not closed
  int writeCalls = 0;             // over all streams, failed ones included

  bool failFactory = false;
  bool failCreate = false;
  int failAtWrite = 0;  // 1-based; 0 never
  bool failClose = false;

  std::function<std::unique_ptr<TextFiles>()> Factory();
};

class MemoryTextStream : public TextFileWriter {
 public:
  MemoryTextStream(MemoryFileStore& store, std::u16string path)
      : store_(store), path_(std::move(path)) {}

  void WriteLine(const std::u16string& text) override {
    ++store_.writeCalls;
    if (closed_) throw RuntimeFailure(u"Bad file name or number");
    if (store_.writeCalls == store_.failAtWrite) throw RuntimeFailure(u"Disk full");
    store_.files[path_] += ToCodePage1252(text) + "\r\n";
  }

  void WriteBytes(std::string_view bytes) override {
    ++store_.writeCalls;
    if (closed_) throw RuntimeFailure(u"Bad file name or number");
    if (store_.writeCalls == store_.failAtWrite) throw RuntimeFailure(u"Disk full");
    store_.files[path_] += bytes;
  }

  void Close() override {
    if (store_.failClose) throw RuntimeFailure(u"Device I/O error");
    closed_ = true;
    store_.open.erase(path_);
  }

 private:
  MemoryFileStore& store_;
  std::u16string path_;
  bool closed_ = false;
};

class MemoryFileSystemObject : public TextFiles {
 public:
  explicit MemoryFileSystemObject(MemoryFileStore& store) : store_(store) {}

  std::unique_ptr<TextFileWriter> Create(const std::u16string& path, bool overwrite) override {
    if (store_.failCreate) throw RuntimeFailure(u"Path not found");
    if (!overwrite && store_.files.count(path) != 0) {
      throw RuntimeFailure(u"File already exists");
    }
    store_.files[path].clear();
    store_.open.insert(path);
    return std::make_unique<MemoryTextStream>(store_, path);
  }

 private:
  MemoryFileStore& store_;
};

inline std::function<std::unique_ptr<TextFiles>()> MemoryFileStore::Factory() {
  return [this]() -> std::unique_ptr<TextFiles> {
    if (failFactory) throw RuntimeFailure(u"ActiveX component can't create object");
    return std::make_unique<MemoryFileSystemObject>(*this);
  };
}

}  // namespace brindlecap::testing
