#pragma once
// The export's file-writing facility over the Win32 file API: the text is
// converted to the ANSI code page and written with CR LF line ends, beside the
// target under a temporary name; a successful Close gives it the target's name.
#include <windows.h>

#include <memory>
#include <string>
#include <utility>

#include "export/text_file.h"
#include "export/win32/file_replace.h"
#include "platform/handles.h"

namespace brindlecap::win32 {

class SystemTextFileWriter : public TextFileWriter {
 public:
  // Without a successful Close nothing reaches the target's name: the temporary
  // file is removed, an existing file is left as it was (unless written in place:
  // then it holds the start of the text, never the old file's end).
  ~SystemTextFileWriter() override;
  SystemTextFileWriter(const SystemTextFileWriter&) = delete;
  SystemTextFileWriter& operator=(const SystemTextFileWriter&) = delete;

  void WriteLine(const std::u16string& text) override;
  void WriteBytes(std::string_view bytes) override;
  // Gives the text the target's name. Fails, leaving the target as it was, when
  // anything written failed, now or before.
  void Close() override;

 private:
  friend class SystemTextFiles;
  enum class Kind {
    kTemporaryFile,  // written beside the target, then renamed or replacing it
    kInPlace,        // the existing target itself, where no file may be created
    kStraight,       // a device or a pipe: nothing to keep, nothing to replace
  };
  SystemTextFileWriter(std::wstring targetPath, bool targetExisted,
                       const SaveFileCalls& calls) noexcept
      : targetPath_(std::move(targetPath)), targetExisted_(targetExisted), calls_(calls) {}
  // Creates the file the text goes to, in the target's folder under a name of its
  // own; where that is denied, empties an existing target to be written in place.
  void CreateTemporaryFile();
  void WriteStraightTo(HANDLE file) noexcept;
  // Writes out what is pending once it has reached the flush size; raises the failure.
  void FlushIfFull();
  // Writes out what is pending; ERROR_SUCCESS or the system's error code.
  [[nodiscard]] DWORD WritePending() noexcept;
  // Closes the file written to; ERROR_SUCCESS or the first error of the text's way to disk.
  [[nodiscard]] DWORD Finish(DWORD error) noexcept;
  // Removes the temporary file; the target keeps its bytes.
  void Discard() noexcept;

  std::wstring targetPath_;
  bool targetExisted_;
  SaveFileCalls calls_;
  Kind kind_ = Kind::kTemporaryFile;
  win32::UniqueKernelHandle file_;
  std::wstring temporaryPath_;  // empty when there is no temporary file
  std::string pending_;
  size_t flushAt_ = kFlushSize;
  DWORD firstWriteError_ = ERROR_SUCCESS;

  static constexpr size_t kFlushSize = 64 * 1024;
};

class SystemTextFiles : public TextFiles {
 public:
  explicit SystemTextFiles(const SaveFileCalls& calls = {}) noexcept : calls_(calls) {}
  // overwrite: replace an existing file; otherwise an existing file is a failure.
  // A target that cannot be written fails here, before the text is written, and no
  // file of its name is created.
  std::unique_ptr<TextFileWriter> Create(const std::u16string& path, bool overwrite) override;
  // A stream that writes straight to an open handle (standard output), through a
  // duplicate of it: closing the stream leaves the handle itself open.
  static std::unique_ptr<TextFileWriter> StreamOnHandle(HANDLE handle);

 private:
  SaveFileCalls calls_;
};

}  // namespace brindlecap::win32
