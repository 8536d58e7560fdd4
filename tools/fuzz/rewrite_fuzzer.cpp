// libFuzzer target for the path rewriting of copied text and INI files: input is
// "FLAGS SOURCE \0 TARGET \0 FILE BYTES". Besides memory safety it checks what the rewriting
// promises: INI rewriting keeps every line end, and text rewriting to the same path changes
// nothing but the line ends.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "catalogue/kvrMigration.h"
#include "tools/fuzz/fuzzInput.h"

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "rewriting broke: %s\n", what);
  std::abort();
}

std::size_t CountLineEnds(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
      ++count;
    }
  }
  return count;
}

std::string AsciiUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// Every line ended by CR LF, as the text rewriting writes lines back.
std::string WithCrLf(std::string_view bytes) {
  std::string result;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t stop = bytes.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) {
      result.append(bytes.substr(start)).append("\r\n");
      break;
    }
    result.append(bytes.substr(start, stop - start)).append("\r\n");
    start = stop + (bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1);
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool escape = (data[0] & 1) != 0;
  const auto fields = ombrant::fuzz::SplitFields(data + 1, size - 1, 3);
  const std::string_view source = fields[0];
  const std::string_view target = fields[1];
  const std::string_view bytes = fields[2];

  if (const auto ini = ombrant::RewritePathInIni(bytes, source, target)) {
    const bool unicodeFile = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    if (!unicodeFile) {
      Check(CountLineEnds(*ini) == CountLineEnds(bytes) ||
                target.find_first_of("\r\n") != std::string_view::npos,
            "an INI file's line ends");
    }
  }
  const auto text = ombrant::RewritePathInText(bytes, source, target, escape);
  const bool unicode = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
  if (text && source == target && !unicode) {
    // Occurrences in another letter case take the path's own case.
    Check(AsciiUpper(*text) == AsciiUpper(WithCrLf(bytes)),
          "a rewrite to the same path changed more than line ends and letter case");
  }
  return 0;
}
