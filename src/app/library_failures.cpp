// How the standard library raises its own failures (a size too large, an index
// out of range, no memory) in the shipped program. The library's versions build
// std::logic_error and its kin, whose texts drag in a second, reference-counted
// std::string and the random-device code behind it: some 80 KiB of the program.
// These raise the same texts through one small class instead; every handler of
// the program catches std::exception (or std::bad_alloc) and shows what() alone.
#include <cstdarg>
#include <cstddef>
#include <exception>
#include <new>

namespace {

class LibraryFailure : public std::exception {
 public:
  // Copies the text, or formats it when arguments follow: %zu, %lu, %s and %%.
  LibraryFailure(const char* format, va_list* arguments) noexcept {
    size_t length = 0;
    const auto put = [&](char c) {
      if (length + 1 < sizeof text_) text_[length++] = c;
    };
    for (const char* at = format; *at != '\0'; ++at) {
      if (arguments == nullptr || *at != '%') {
        put(*at);
        continue;
      }
      ++at;
      if (*at == 'z' || *at == 'l') ++at;  // size_t and unsigned long are 32 bits here
      if (*at == 'u') {
        // Its own digits, not DecimalText: nothing may allocate while a failure is raised.
        unsigned long value = va_arg(*arguments, unsigned long);
        char digits[12];
        int count = 0;
        do {
          digits[count++] = static_cast<char>('0' + value % 10);
          value /= 10;
        } while (value != 0);
        while (count > 0) put(digits[--count]);
      } else if (*at == 's') {
        for (const char* text = va_arg(*arguments, const char*); *text != '\0'; ++text) put(*text);
      } else if (*at == '%') {
        put('%');
      } else {
        break;
      }
    }
    text_[length] = '\0';
  }
  const char* what() const noexcept override { return text_; }

 private:
  char text_[192];
};

}  // namespace

namespace std {

void __throw_logic_error(const char* text) { throw LibraryFailure(text, nullptr); }
void __throw_length_error(const char* text) { throw LibraryFailure(text, nullptr); }
void __throw_out_of_range(const char* text) { throw LibraryFailure(text, nullptr); }
void __throw_invalid_argument(const char* text) { throw LibraryFailure(text, nullptr); }

void __throw_out_of_range_fmt(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  LibraryFailure failure(format, &arguments);
  va_end(arguments);
  throw failure;
}

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }

}  // namespace std
