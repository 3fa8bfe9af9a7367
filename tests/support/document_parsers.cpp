#include "support/document_parsers.h"

#include <windows.h>

#include <nlohmann/json.hpp>
#include <regex>
#include <set>

#include "support/json_samples.h"

namespace brindlecap::e2e {
namespace {

using Json = nlohmann::ordered_json;  // keeps the members in document order

JsonValue Converted(const Json& json) {
  JsonValue value;
  switch (json.type()) {
    case Json::value_t::null:
      break;
    case Json::value_t::boolean:
      value.type = JsonValue::Type::kBool;
      value.boolean = json.get<bool>();
      break;
    case Json::value_t::string:
      value.type = JsonValue::Type::kString;
      value.string = FromUtf8(json.get_ref<const std::string&>());
      break;
    case Json::value_t::array:
      value.type = JsonValue::Type::kArray;
      for (const Json& item : json) value.items.push_back(Converted(item));
      break;
    case Json::value_t::object:
      value.type = JsonValue::Type::kObject;
      for (const auto& member : json.items()) {
        value.members.emplace_back(FromUtf8(member.key()), Converted(member.value()));
      }
      break;
    default:  // a number: one with a fraction or an exponent prints with '.' or 'e'
      value.type = JsonValue::Type::kNumber;
      value.number = json.dump();
  }
  return value;
}

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
  // The library would skip a byte-order mark and keep the last of two equal keys.
  testing::KeepJsonSample(utf8);  // for the schema's check after the tests
  if (utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) throw DocumentError("JSON: byte-order mark");
  std::vector<std::set<std::string>> keys;  // of every object open at this point
  const Json::parser_callback_t noDuplicateKeys = [&](int, Json::parse_event_t event,
                                                      Json& parsed) {
    if (event == Json::parse_event_t::object_start) keys.emplace_back();
    if (event == Json::parse_event_t::object_end) keys.pop_back();
    if (event == Json::parse_event_t::key &&
        !keys.back().insert(parsed.get<std::string>()).second) {
      throw DocumentError("JSON: duplicate key " + parsed.get<std::string>());
    }
    return true;
  };
  try {
    return Converted(Json::parse(utf8, noDuplicateKeys));
  } catch (const Json::exception& error) {
    throw DocumentError(std::string("JSON: ") + error.what());
  }
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
  // A field is quoted (quotes doubled inside) or bare (no quote, comma, CR or LF).
  static const std::regex kField(R"re("((?:[^"]|"")*)"|([^",\r\n]*))re");
  static const std::regex kDoubledQuote("\"\"");
  std::vector<std::vector<std::wstring>> records;
  for (auto at = utf8.cbegin(); at != utf8.cend();) {
    std::vector<std::wstring> record;
    for (bool more = true; more; at += more) {
      std::smatch field;  // always matches: a bare field may be empty
      std::regex_search(at, utf8.cend(), field, kField, std::regex_constants::match_continuous);
      record.push_back(FromUtf8(
          field[1].matched ? std::regex_replace(field.str(1), kDoubledQuote, "\"") : field.str(2)));
      at = field[0].second;
      more = at != utf8.cend() && *at == ',';
    }
    const auto fail = [&](const std::string& what) {
      throw DocumentError("CSV: " + what + " at byte " + std::to_string(at - utf8.cbegin()));
    };
    if (utf8.cend() - at < 2 || at[0] != '\r' || at[1] != '\n') fail("record not ended by CR LF");
    if (!records.empty() && record.size() != records.front().size()) {
      fail("record with " + std::to_string(record.size()) + " fields");
    }
    at += 2;
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace brindlecap::e2e
