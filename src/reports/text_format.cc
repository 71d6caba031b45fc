#include "reports/text_format.h"

#include "platform/platform.h"

namespace {

struct Directive {
  bool left_align = false;
  bool zero_pad = false;
  std::size_t width = 0;
  char16_t conversion = 0;
};

// Reads the directive after a '%' at `*i`; leaves `*i` after it.
Directive ReadDirective(std::u16string_view format, std::size_t* i) {
  Directive d;
  for (; *i < format.size(); ++*i) {
    if (format[*i] == u'-') {
      d.left_align = true;
    } else if (format[*i] == u'0') {
      d.zero_pad = true;
    } else {
      break;
    }
  }
  for (; *i < format.size() && format[*i] >= u'0' && format[*i] <= u'9'; ++*i) {
    d.width = d.width * 10 + static_cast<std::size_t>(format[*i] - u'0');
  }
  if (*i < format.size()) d.conversion = format[(*i)++];
  return d;
}

void AppendPadded(std::u16string* out, std::u16string_view text, const Directive& d) {
  const std::size_t pad = text.size() < d.width ? d.width - text.size() : 0;
  if (d.left_align) {
    out->append(text);
    out->append(pad, u' ');
  } else {
    out->append(pad, d.zero_pad ? u'0' : u' ');
    out->append(text);
  }
}

std::u16string_view Decimal(std::uint32_t number, char16_t (&digits)[10]) {
  std::size_t start = 10;
  do {
    digits[--start] = static_cast<char16_t>(u'0' + number % 10);
    number /= 10;
  } while (number != 0);
  return std::u16string_view(digits + start, 10 - start);
}

}  // namespace

void AppendFormatted(std::u16string* out, std::u16string_view format,
                     std::initializer_list<FormatArg> args) {
  const FormatArg* next = args.begin();
  std::size_t i = 0;
  while (i < format.size()) {
    const std::size_t percent = format.find(u'%', i);
    if (percent == std::u16string_view::npos) {
      out->append(format.substr(i));
      return;
    }
    out->append(format.substr(i, percent - i));
    i = percent + 1;
    const Directive d = ReadDirective(format, &i);
    if (d.conversion == u'%') {
      out->push_back(u'%');
      continue;
    }
    if (next == args.end()) continue;
    const FormatArg& arg = *next++;
    if (d.conversion == u's' && arg.is_text()) {
      AppendPadded(out, arg.text(), d);
    } else if (d.conversion == u'u' && !arg.is_text()) {
      char16_t digits[10];
      AppendPadded(out, Decimal(arg.number(), digits), d);
    }
  }
}

void Print(std::u16string_view format, std::initializer_list<FormatArg> args) {
  // One buffer for the whole run: a report prints thousands of lines.
  static std::u16string line;
  line.clear();
  AppendFormatted(&line, format, args);
  platform::WriteOutput(line);
}
