#pragma once
// Strict readers of the documents the program writes for other programs: JSON
// (RFC 8259, read by nlohmann/json) and CSV (RFC 4180, CR LF after every record).
// Anything a lenient reader would let pass is an error here, a byte-order mark or a
// duplicate key too: the documents must be exactly right.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace brindlecap::e2e {

class DocumentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct JsonValue {
  enum class Type { kNull, kBool, kNumber, kString, kArray, kObject };
  Type type = Type::kNull;
  bool boolean = false;
  std::string number;  // digits alone for an integer
  std::wstring string;
  std::vector<JsonValue> items;
  std::vector<std::pair<std::wstring, JsonValue>> members;  // in document order

  // The member of an object; throws DocumentError when there is none.
  const JsonValue& operator[](const std::wstring& key) const;
  // A number without fraction or exponent; throws otherwise.
  int64_t Integer() const;
  bool IsNull() const { return type == Type::kNull; }
};

// UTF-8 without a byte-order mark; duplicate keys and trailing text are errors.
JsonValue ParseJson(const std::string& utf8);

// Records of fields; every record must have as many fields as the first.
std::vector<std::vector<std::wstring>> ParseCsv(const std::string& utf8);

// Strict UTF-8 to UTF-16; throws DocumentError on a malformed sequence.
std::wstring FromUtf8(const std::string& utf8);

}  // namespace brindlecap::e2e
