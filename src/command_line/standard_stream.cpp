#include "command_line/standard_stream.h"

#include <cstdint>
#include <utility>

namespace brindlecap {

namespace {

// UTF-8 as UTF-16; a byte that starts no valid sequence becomes U+FFFD.
void AppendUtf8(std::string_view bytes, std::u16string& text) {
  for (size_t at = 0; at < bytes.size();) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    bool valid = (lead < 0x80 || lead >= 0xC2) && lead <= 0xF4 && at + length <= bytes.size();
    for (size_t i = 1; valid && i < length; ++i) {
      valid = (byte(at + i) & 0xC0) == 0x80;
      code = code << 6 | (byte(at + i) & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    valid =
        valid && code >= kSmallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    if (!valid) {
      text += u'\uFFFD';
      ++at;
      continue;
    }
    if (code >= 0x10000) {
      text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      text += static_cast<char16_t>(code);
    }
    at += length;
  }
}

// Collects the document and shows it on Close: a console needs whole characters,
// and the writers may cut a UTF-8 sequence between two writes.
class ConsoleStream : public TextFileWriter {
 public:
  explicit ConsoleStream(std::unique_ptr<StandardHandle> console) : console_(std::move(console)) {}

  void WriteLine(const std::u16string& text) override {
    TakePending();
    text_.append(text).append(u"\r\n");
  }
  void WriteBytes(std::string_view bytes) override { pending_.append(bytes); }
  void Close() override {
    TakePending();
    std::u16string_view shown = text_;
    if (!shown.empty() && shown.front() == u'\uFEFF') shown.remove_prefix(1);
    console_->WriteCharacters(shown);
  }

 private:
  void TakePending() {
    AppendUtf8(pending_, text_);
    pending_.clear();
  }

  std::unique_ptr<StandardHandle> console_;
  std::u16string text_;
  std::string pending_;
};

}  // namespace

std::unique_ptr<TextFileWriter> OpenStandardOutput(std::unique_ptr<StandardHandle> handle) {
  if (handle->IsConsole()) return std::make_unique<ConsoleStream>(std::move(handle));
  return handle->OpenBytes();
}

void WriteStandardText(StandardHandle& handle, std::u16string_view text,
                       const AnsiCodePage& codePage) noexcept {
  if (text.empty()) return;
  try {
    if (handle.IsConsole()) {
      handle.WriteCharacters(text);
      return;
    }
    const auto stream = handle.OpenBytes();
    stream->WriteBytes(codePage.ToAnsi(text));
    stream->Close();
  } catch (...) {
    // Nothing more can be said.
  }
}

}  // namespace brindlecap
