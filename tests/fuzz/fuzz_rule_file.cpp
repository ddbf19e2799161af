// Any rule file, with either answer to the header question: the loader must
// agree with a plain reading of the format and never show half a table.
// Files in UTF-8 or UTF-16 are read here through the C library's own
// converters, in one piece, to the GBK the Rule list holds.
#include <iconv.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gbk_text.h"
#include "rename/match_rules.h"
#include "tests/support/memory_app.h"
#include "tests/support/plain_reading.h"

namespace {

using renamora::RuleRow;
namespace text = renamora::text;

std::string_view UpToEndMark(std::string_view bytes) {
  std::size_t end = bytes.find_first_of(std::string_view("\0\x1a", 2));
  return bytes.substr(0, end == std::string_view::npos ? bytes.size() : end);
}

// The format read the slow way: lines at CR LF, fields at ",", a trailing
// "," adding no field, later lines of commas and blanks alone skipped.
bool PlainReading(std::string_view textPart, bool skipHeader, std::vector<RuleRow>& rules) {
  auto lines = renamora::testing::PlainLines(textPart);
  std::size_t first = skipHeader && !lines.empty() ? 1 : 0;
  bool any = false;
  for (std::size_t i = first; i < lines.size(); ++i) {
    auto fields = renamora::testing::Pieces(lines[i], ",");
    if (!fields.empty() && fields.back().empty()) fields.pop_back();
    if (lines[i].find_first_not_of(", \t") == lines[i].npos && i != first) continue;
    if (fields.size() < 2 || lines[i].find_first_not_of(", \t") == lines[i].npos) return false;
    rules.push_back({std::string(fields[0]), std::string(fields[1])});
    any = true;
  }
  return any;
}

// Converts as far as the input goes; false when it stopped early. `used`
// is how much of the input was converted.
bool Iconv(const char* to, const char* from, std::string_view in, std::string& out,
           std::size_t& used) {
  const iconv_t cd = ::iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) std::abort();
  out.assign(in.size() * 4 + 8, '\0');
  char* inAt = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char* outAt = out.data();
  std::size_t outLeft = out.size();
  const bool whole = ::iconv(cd, &inAt, &inLeft, &outAt, &outLeft) == 0;
  ::iconv_close(cd);
  out.resize(out.size() - outLeft);
  used = in.size() - inLeft;
  return whole && inLeft == 0;
}

std::vector<char32_t> CodePoints(const std::string& utf32) {
  std::vector<char32_t> points(utf32.size() / 4);
  for (std::size_t i = 0; i < points.size(); ++i) {
    for (int b = 3; b >= 0; --b) {
      points[i] = points[i] << 8 | static_cast<unsigned char>(utf32[4 * i + b]);
    }
  }
  return points;
}

// Bytes that GBK could hold: 81-FE lead a pair whose trail is 40-FE but
// 7F; FF stands nowhere.
bool GbkCouldHold(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned b = static_cast<unsigned char>(text[i]);
    if (b == 0xFF) return false;
    if (b < 0x81) continue;
    const unsigned t = ++i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
    if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
  }
  return true;
}

// What the loader must do with a file: its rules, or the one message that
// refuses it before the header question (`refusal` not empty).
struct Expected {
  bool good = false;
  std::vector<RuleRow> rules;
  std::string refusal;
};

Expected Expect(std::string_view bytes, bool skipHeader) {
  Expected expected;
  const char* from = nullptr;
  std::string_view body = bytes;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    from = "UTF-8";
    body = bytes.substr(3);
  } else if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
    from = bytes[0] == '\xFF' ? "UTF-16LE" : "UTF-16BE";
    body = bytes.substr(2);
    if (body.size() % 2) {
      expected.refusal = renamora::UnreadableEncodingMessage();
      return expected;
    }
  } else {
    std::string utf32;
    std::size_t used = 0;
    const std::string_view textPart = UpToEndMark(bytes);
    bool beyondAscii = false;
    for (const char c : textPart) beyondAscii |= static_cast<unsigned char>(c) >= 0x80;
    // Where the bytes are both, the likelier reading wins (which one that is
    // the scoring's own table says); the rest of the way is checked here.
    if (beyondAscii && Iconv("UTF-32LE", "UTF-8", textPart, utf32, used) &&
        (!GbkCouldHold(textPart) || renamora::RuleTextPlausibility(textPart, true) >
                                        renamora::RuleTextPlausibility(textPart, false))) {
      from = "UTF-8";
    } else {
      expected.good = PlainReading(textPart, skipHeader, expected.rules);
      return expected;
    }
  }
  // The Unicode text up to its first U+0000 or U+001A, or up to bytes that
  // are no text when those come first.
  std::string utf32;
  std::size_t used = 0;
  const bool whole = Iconv("UTF-32LE", from, body, utf32, used);
  std::vector<char32_t> points = CodePoints(utf32);
  bool ended = whole;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (points[i] == 0 || points[i] == 0x1A) {
      points.resize(i);
      ended = true;
      break;
    }
  }
  // The first character GBK cannot hold: beyond the basic plane, or refused
  // by the C library.
  std::size_t stop = points.size();
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (points[i] > 0xFFFF) {
      stop = i;
      break;
    }
  }
  std::string basic;
  for (std::size_t i = 0; i < stop; ++i) {
    for (int b = 0; b < 4; ++b) basic.push_back(static_cast<char>(points[i] >> (8 * b)));
  }
  std::string gbk;
  if (!Iconv("CP936", "UTF-32LE", basic, gbk, used)) stop = used / 4;
  if (stop < points.size()) {
    std::size_t line = 1;
    for (std::size_t i = 0; i + 1 < stop; ++i) {
      if (points[i] == '\r' && points[i + 1] == '\n') ++line;
    }
    expected.refusal = renamora::UnusableCharacterMessage(line);
    return expected;
  }
  if (!ended) {
    expected.refusal = renamora::UnreadableEncodingMessage();
    return expected;
  }
  expected.good = PlainReading(gbk, skipHeader, expected.rules);
  return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool skipHeader = data[0] & 1;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  renamora::testing::MemoryApp app;
  app.fs.AddFile("D:\\rules.csv", bytes);
  app.messages.Answer(skipHeader ? renamora::MessageAnswer::kOk : renamora::MessageAnswer::kCancel);
  app.DropOnRuleList("D:\\rules.csv");

  const Expected expected = Expect(bytes, skipHeader);
  const auto& shown = app.rules().Rows();
  if (!expected.refusal.empty()) {
    // Refused before the question, with the reason, and nothing shown.
    if (!shown.empty() || app.messages.Count() != 1) std::abort();
    if (app.messages.Last().text != expected.refusal) std::abort();
    return 0;
  }
  if (!expected.good) {
    if (!shown.empty()) std::abort();  // a refused file never leaves rules behind
    return 0;
  }
  if (shown.size() != expected.rules.size()) std::abort();
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i].matchCode != expected.rules[i].matchCode ||
        shown[i].content != expected.rules[i].content) {
      std::abort();
    }
  }
  if (app.window.hint("透明标签2").Visible()) std::abort();
  return 0;
}
