#pragma once
// The file-writing facility of the export: creates or replaces a text file and
// writes ANSI lines ended by CR LF, or bytes as they are. Failures are raised as
// RuntimeFailure at the three points where they can happen: create, write, close.
// A file that is replaced keeps its old bytes until Close succeeds.
#include <memory>
#include <string>
#include <string_view>

namespace brindlecap {

class TextFileWriter {
 public:
  virtual ~TextFileWriter() = default;
  // Writes the text in the system's ANSI code page, then CR LF.
  virtual void WriteLine(const std::u16string& text) = 0;
  // Writes the bytes as they are (a document already encoded, UTF-8 say).
  virtual void WriteBytes(std::string_view bytes) = 0;
  // Everything written reaches the file before Close returns, or Close fails.
  virtual void Close() = 0;
};

class TextFiles {
 public:
  virtual ~TextFiles() = default;
  virtual std::unique_ptr<TextFileWriter> Create(const std::u16string& path, bool overwrite) = 0;
};

}  // namespace brindlecap
