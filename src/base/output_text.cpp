#include "base/output_text.h"

#include <ostream>

namespace tavrin {

namespace {

// The length of the well-formed UTF-8 sequence at `pos`, or 0.
std::size_t Utf8Length(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the byte after the lead
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

std::string ByteEscape(unsigned char byte) {
  static const char kHex[] = "0123456789abcdef";
  switch (byte) {
    case 0x1B:
      return "\\e";
    case '\t':
      return "\\t";
    case '\r':
      return "\\r";
    case '\n':
      return "\\n";
    default:
      return {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
  }
}

// Escapes up to `maxChars` characters of the text (0: all); `cut` tells
// whether some were left over.
std::string Escape(std::string_view text, bool keepLineBreaks, std::size_t maxChars, bool& cut) {
  std::string shown;
  std::size_t chars = 0;
  for (std::size_t pos = 0; pos < text.size(); ++chars) {
    if (maxChars != 0 && chars == maxChars) {
      cut = true;
      break;
    }
    const std::size_t length = Utf8Length(text, pos);
    const auto byte = static_cast<unsigned char>(text[pos]);
    const bool c1 = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[pos + 1]) < 0xA0;
    if (length == 0 || (length == 1 && (byte < 0x20 || byte == 0x7F) && !(keepLineBreaks && byte == '\n')) || c1) {
      // Not UTF-8, or a control character (C0, DEL or C1) a terminal would obey.
      shown += ByteEscape(byte);
      if (c1) shown += ByteEscape(static_cast<unsigned char>(text[pos + 1]));
      pos += length == 0 ? 1 : length;
    } else {
      shown.append(text.substr(pos, length));
      pos += length;
    }
  }
  return shown;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Utf8Length(text, pos);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::string EscapeForTerminal(std::string_view text, bool keepLineBreaks) {
  bool cut = false;
  return Escape(text, keepLineBreaks, 0, cut);
}

std::string EscapeControlBytes(std::string_view text, bool keepTabs) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && !(keepTabs && c == '\t')) || byte == 0x7F) {
      shown += ByteEscape(byte);
    } else {
      shown += c;
    }
  }
  return shown;
}

std::string QuoteArgument(std::string_view argument) {
  bool cut = false;
  std::string shown = Escape(argument, false, kQuotedArgumentChars, cut);
  if (cut) shown += reinterpret_cast<const char*>(u8"…");
  return shown;
}

std::string NeutraliseCsvCell(std::string_view cell) {
  if (!cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos) {
    return "'" + std::string(cell);
  }
  return std::string(cell);
}

bool OutputFailed(std::ostream& out) {
  out.flush();
  return !out;
}

}  // namespace tavrin
