// Conversions between UTF-8 and UTF-16 that never fail: what cannot be
// converted becomes U+FFFD.
#ifndef TASKMELD_PLATFORM_UTF_H_
#define TASKMELD_PLATFORM_UTF_H_

#include <string>
#include <string_view>

namespace utf {

/// True for the first and the second half of a UTF-16 surrogate pair.
constexpr bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

/// Appends `text` to `out` as UTF-8; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::u16string_view text, std::string* out);

/// `text` as UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

/// `text` as UTF-16; each byte that does not start a valid sequence (a stray
/// continuation, an overlong form, a surrogate, a value past U+10FFFF, a cut
/// sequence) becomes one U+FFFD.
std::u16string ToUtf16(std::string_view text);

}  // namespace utf

#endif  // TASKMELD_PLATFORM_UTF_H_
