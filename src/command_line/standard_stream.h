#pragma once
// Standard output and error: a console shows characters, whatever its code page;
// a file or a pipe takes the format's bytes exactly.
#include <memory>
#include <string>
#include <string_view>

#include "export/text_file.h"
#include "shared/system_text.h"

namespace brindlecap {

class StandardHandle {
 public:
  virtual ~StandardHandle() = default;
  // A console, which takes characters (GetConsoleMode answers for it).
  virtual bool IsConsole() = 0;
  // Writes the characters to the console. Raises a failure.
  virtual void WriteCharacters(std::u16string_view text) = 0;
  // A stream that writes bytes to the file or pipe. Raises a failure where the
  // handle leads nowhere.
  virtual std::unique_ptr<TextFileWriter> OpenBytes() = 0;
};

// Where the document of "-" goes. On a console: the lines as they are and the
// documents' UTF-8 decoded (without a byte-order mark), shown when the stream is
// closed; elsewhere the bytes a file would get. The stream keeps the handle.
std::unique_ptr<TextFileWriter> OpenStandardOutput(std::unique_ptr<StandardHandle> handle);

// A message or the usage: characters on a console, else ANSI bytes; nothing where
// the handle leads nowhere.
void WriteStandardText(StandardHandle& handle, std::u16string_view text,
                       const AnsiCodePage& codePage) noexcept;

}  // namespace brindlecap
