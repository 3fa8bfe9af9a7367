#include "support/document_parsers.h"

#include <windows.h>

namespace brindlecap::e2e {
namespace {

class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : text_(text) {}

  JsonValue Document() {
    JsonValue value = Value();
    SkipSpace();
    if (at_ != text_.size()) Fail("text after the value");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw DocumentError("JSON: " + what + " at byte " + std::to_string(at_));
  }
  void SkipSpace() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n'))
      ++at_;
  }
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  void Expect(char c) {
    if (Peek() != c) Fail(std::string("expected '") + c + "'");
    ++at_;
  }
  bool Digit() const { return Peek() >= '0' && Peek() <= '9'; }

  JsonValue Value() {
    SkipSpace();
    JsonValue value;
    const char c = Peek();
    if (c == '{') {
      value.type = JsonValue::Type::kObject;
      ++at_;
      SkipSpace();
      if (Peek() == '}') return ++at_, value;
      for (;;) {
        SkipSpace();
        std::wstring key = String();
        for (const auto& member : value.members) {
          if (member.first == key) Fail("duplicate key");
        }
        SkipSpace();
        Expect(':');
        value.members.emplace_back(std::move(key), Value());
        SkipSpace();
        if (Peek() == '}') return ++at_, value;
        Expect(',');
      }
    }
    if (c == '[') {
      value.type = JsonValue::Type::kArray;
      ++at_;
      SkipSpace();
      if (Peek() == ']') return ++at_, value;
      for (;;) {
        value.items.push_back(Value());
        SkipSpace();
        if (Peek() == ']') return ++at_, value;
        Expect(',');
      }
    }
    if (c == '"') {
      value.type = JsonValue::Type::kString;
      value.string = String();
      return value;
    }
    for (const char* literal : {"true", "false", "null"}) {
      if (text_.compare(at_, std::char_traits<char>::length(literal), literal) == 0) {
        at_ += std::char_traits<char>::length(literal);
        value.type = literal[0] == 'n' ? JsonValue::Type::kNull : JsonValue::Type::kBool;
        value.boolean = literal[0] == 't';
        return value;
      }
    }
    const size_t start = at_;
    if (Peek() == '-') ++at_;
    if (Peek() == '0') {
      ++at_;
    } else if (Digit()) {
      while (Digit()) ++at_;
    } else {
      Fail("no value");
    }
    if (Peek() == '.') {
      ++at_;
      if (!Digit()) Fail("digits after '.'");
      while (Digit()) ++at_;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++at_;
      if (Peek() == '+' || Peek() == '-') ++at_;
      if (!Digit()) Fail("exponent digits");
      while (Digit()) ++at_;
    }
    value.type = JsonValue::Type::kNumber;
    value.number = text_.substr(start, at_ - start);
    return value;
  }

  unsigned Hex4() {
    unsigned value = 0;
    for (int i = 0; i < 4; ++i, ++at_) {
      const char c = Peek();
      value <<= 4;
      if (c >= '0' && c <= '9')
        value |= c - '0';
      else if (c >= 'a' && c <= 'f')
        value |= c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        value |= c - 'A' + 10;
      else
        Fail("bad \\u escape");
    }
    return value;
  }

  std::wstring String() {
    Expect('"');
    std::string bytes;  // UTF-8; escapes are added as UTF-8 too
    std::wstring text;
    const auto flush = [&] {
      text += FromUtf8(bytes);
      bytes.clear();
    };
    for (;;) {
      if (at_ >= text_.size()) Fail("unterminated string");
      const char c = text_[at_++];
      if (c == '"') break;
      if (static_cast<unsigned char>(c) < 0x20) Fail("control character in a string");
      if (c != '\\') {
        bytes += c;
        continue;
      }
      flush();
      const char escape = text_[at_++];
      switch (escape) {
        case '"':
          text += L'"';
          break;
        case '\\':
          text += L'\\';
          break;
        case '/':
          text += L'/';
          break;
        case 'b':
          text += L'\b';
          break;
        case 'f':
          text += L'\f';
          break;
        case 'n':
          text += L'\n';
          break;
        case 'r':
          text += L'\r';
          break;
        case 't':
          text += L'\t';
          break;
        case 'u':
          text += static_cast<wchar_t>(Hex4());
          break;
        default:
          Fail("bad escape");
      }
    }
    flush();
    return text;
  }

  const std::string& text_;
  size_t at_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::wstring& key) const {
  if (type != Type::kObject) throw DocumentError("JSON: not an object");
  for (const auto& member : members) {
    if (member.first == key) return member.second;
  }
  throw DocumentError("JSON: no member " + std::string(key.begin(), key.end()));
}

int64_t JsonValue::Integer() const {
  if (type != Type::kNumber || number.find_first_of(".eE") != std::string::npos) {
    throw DocumentError("JSON: not an integer");
  }
  return std::stoll(number);
}

JsonValue ParseJson(const std::string& utf8) {
  if (utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) throw DocumentError("JSON: byte-order mark");
  return JsonReader(utf8).Document();
}

std::wstring FromUtf8(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                         static_cast<int>(utf8.size()), nullptr, 0);
  if (length <= 0) throw DocumentError("malformed UTF-8");
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                      text.data(), length);
  return text;
}

std::vector<std::vector<std::wstring>> ParseCsv(const std::string& utf8) {
  std::vector<std::vector<std::wstring>> records;
  size_t at = 0;
  const auto fail = [&](const std::string& what) {
    throw DocumentError("CSV: " + what + " at byte " + std::to_string(at));
  };
  while (at < utf8.size()) {
    std::vector<std::wstring> record;
    for (;;) {
      std::string field;
      if (at < utf8.size() && utf8[at] == '"') {
        for (++at;; ++at) {
          if (at >= utf8.size()) fail("unterminated quoted field");
          if (utf8[at] != '"') {
            field += utf8[at];
          } else if (at + 1 < utf8.size() && utf8[at + 1] == '"') {
            field += '"';
            ++at;
          } else {
            ++at;
            break;
          }
        }
      } else {
        while (at < utf8.size() && utf8[at] != ',' && utf8[at] != '\r') {
          if (utf8[at] == '"' || utf8[at] == '\n') fail("quote or line break in a bare field");
          field += utf8[at++];
        }
      }
      record.push_back(FromUtf8(field));
      if (at < utf8.size() && utf8[at] == ',') {
        ++at;
        continue;
      }
      if (utf8.compare(at, 2, "\r\n") != 0) fail("record not ended by CR LF");
      at += 2;
      break;
    }
    if (!records.empty() && record.size() != records.front().size()) {
      fail("record with " + std::to_string(record.size()) + " fields");
    }
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace brindlecap::e2e
