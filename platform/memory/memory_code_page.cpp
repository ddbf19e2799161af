#include "platform/memory/memory_code_page.h"

#include <iconv.h>

#include <array>
#include <bitset>
#include <cerrno>
#include <cstdint>
#include <stdexcept>

namespace renamora {

namespace {

// No GBK character starts with FF, so this is no code.
constexpr std::uint16_t kNoCode = 0xFFFF;

using CodeTable = std::array<std::uint16_t, 0x10000>;

iconv_t OpenOrThrow(const char* to, const char* from) {
  const iconv_t convert = ::iconv_open(to, from);
  if (convert == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) {
    throw std::runtime_error("the C library converts nothing to or from CP936");
  }
  return convert;
}

// One conversion of `in` from the converter's first state: iconv's answer,
// and in `written` the bytes it wrote to `out`.
std::size_t ConvertOnce(iconv_t convert, char* in, std::size_t inSize, char* out,
                        std::size_t outSize, std::size_t& written) {
  char* inAt = in;
  char* outAt = out;
  ::iconv(convert, nullptr, nullptr, nullptr, nullptr);
  const std::size_t result = ::iconv(convert, &inAt, &inSize, &outAt, &outSize);
  written = static_cast<std::size_t>(outAt - out);
  return result;
}

// The GBK code of every character of the basic plane: a single byte as
// itself, two bytes as lead * 256 + trail. Nothing beyond the basic plane
// has a code in an ANSI code page. Windows also gives codes to the private
// use characters U+E000 to U+E864 and U+F8F5 (GBK's user-defined areas),
// which the C library's table lacks; they are refused here, and no rule
// file that people write holds them. Every other character of the basic
// plane gets Windows' answer.
void Fill(CodeTable& table) {
  const iconv_t convert = OpenOrThrow("CP936", "UTF-32LE");
  for (std::uint32_t code = 0; code < table.size(); ++code) {
    table[code] = kNoCode;
    if (code >= 0xD800 && code <= 0xDFFF) continue;
    char in[4] = {static_cast<char>(code), static_cast<char>(code >> 8), 0, 0};
    char out[4];
    std::size_t written = 0;
    // Anything but an exact conversion to one or two bytes (an approximation
    // counts irreversible, an ignorable character gives no byte) is no code.
    if (ConvertOnce(convert, in, sizeof(in), out, sizeof(out), written) != 0) continue;
    const auto byte = [&](int i) {
      return static_cast<std::uint16_t>(static_cast<unsigned char>(out[i]));
    };
    if (written == 1) table[code] = byte(0);
    if (written == 2) table[code] = static_cast<std::uint16_t>(byte(0) << 8 | byte(1));
  }
  ::iconv_close(convert);
}

const CodeTable& GbkCodes() {
  static CodeTable table;
  static const bool filled = (Fill(table), true);
  static_cast<void>(filled);
  return table;
}

std::bitset<256> LeadBytes() {
  std::bitset<256> leads;
  const iconv_t convert = OpenOrThrow("UTF-32LE", "CP936");
  for (unsigned b = 0; b < 256; ++b) {
    char in[1] = {static_cast<char>(b)};
    char out[8];
    std::size_t written = 0;
    // An incomplete character is one that needs the bytes after it.
    leads[b] = ConvertOnce(convert, in, sizeof(in), out, sizeof(out), written) ==
                   static_cast<std::size_t>(-1) &&
               errno == EINVAL;
  }
  ::iconv_close(convert);
  return leads;
}

}  // namespace

bool StartsDoubleByteCharacter(unsigned char b) {
  static const std::bitset<256> leads = LeadBytes();
  return leads[b];
}

AnsiConversion MemoryCodePage::ToAnsi(std::string_view text, UnicodeForm form) {
  const CodeTable& codes = GbkCodes();
  AnsiConversion result;
  result.bytes.reserve(text.size());
  UnicodeChar c;
  for (std::size_t pos = 0; pos < text.size(); pos += c.length) {
    if (!DecodeChar(text, form, pos, c))
      return AnsiConversion::Refused(AnsiConversion::Outcome::kInvalid, pos);
    const std::uint16_t code = c.code < codes.size() ? codes[c.code] : kNoCode;
    if (code == kNoCode)
      return AnsiConversion::Refused(AnsiConversion::Outcome::kNotInCodePage, pos);
    if (code > 0xFF) result.bytes.push_back(static_cast<char>(code >> 8));
    result.bytes.push_back(static_cast<char>(code & 0xFF));
  }
  return result;
}

}  // namespace renamora
