// printf-style formatting of UTF-16 text with the few directives the reports
// use: %s and %u, a "-" flag, a "0" flag and a width. A width pads and never
// cuts, as the C library does; widths count UTF-16 units.
#ifndef TASKMELD_REPORTS_TEXT_FORMAT_H_
#define TASKMELD_REPORTS_TEXT_FORMAT_H_

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

/// One argument of a format: a text for %s or an unsigned 32-bit number for %u.
class FormatArg {
 public:
  FormatArg(std::u16string_view text) : text_(text), is_text_(true) {}    // NOLINT
  FormatArg(const char16_t* text) : text_(text), is_text_(true) {}        // NOLINT
  FormatArg(const std::u16string& text) : text_(text), is_text_(true) {}  // NOLINT
  FormatArg(std::uint32_t number) : number_(number) {}                    // NOLINT
  // Any other integer type must be converted on purpose: the reports print
  // the low 32 bits of wider values, and that choice belongs at the call.
  template <std::integral T>
  requires(!std::same_as<T, std::uint32_t>) FormatArg(T)
  = delete;

  bool is_text() const { return is_text_; }
  std::u16string_view text() const { return text_; }
  std::uint32_t number() const { return number_; }

 private:
  std::u16string_view text_;
  std::uint32_t number_ = 0;
  bool is_text_ = false;
};

/// Appends `format` to `out` with its directives replaced by `args` in order.
/// "%%" gives "%". A directive without an argument left, or of the other
/// kind, prints nothing.
void AppendFormatted(std::u16string* out, std::u16string_view format,
                     std::initializer_list<FormatArg> args);

/// Formats like AppendFormatted and writes the text to standard output.
void Print(std::u16string_view format, std::initializer_list<FormatArg> args = {});

#endif  // TASKMELD_REPORTS_TEXT_FORMAT_H_
