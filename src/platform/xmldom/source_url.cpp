#include "platform/xmldom/source_url.hpp"

#include <cctype>
#include <filesystem>

#include "orvex/automation_error.hpp"
#include "platform/automation/ascii_case.hpp"
#include "platform/xmldom/sax.hpp"

namespace orvex::xmldom {
namespace {

constexpr int32_t kAccessDenied = static_cast<int32_t>(0x80070005u);

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(const std::string& text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      decoded.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      decoded.push_back(text[i]);
    }
  }
  return decoded;
}

// The scheme of a URL ("" for a plain path); one letter before the colon is not a scheme.
std::string SchemeOf(const std::string& url) {
  size_t colon = url.find(':');
  if (colon == std::string::npos || colon < 2) return "";
  for (size_t i = 0; i < colon; ++i) {
    char c = url[i];
    bool allowed = std::isalpha(static_cast<unsigned char>(c)) ||
                   (i > 0 && (std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' ||
                              c == '.'));
    if (!allowed) return "";
  }
  return ascii::Lower(url.substr(0, colon));
}

std::string PathOfOne(const std::string& url) {
  std::string scheme = SchemeOf(url);
  if (scheme.empty()) return url;
  if (scheme != "file") {
    Raise(kAccessDenied, kSaxSource,
          "Access to '" + url + "' was refused: documents are read from local files only.");
  }
  std::string rest = url.substr(5);
  if (rest.rfind("//", 0) == 0) {
    rest = rest.substr(2);
    if (rest.rfind("localhost", 0) == 0) rest = rest.substr(9);
    if (!rest.empty() && rest[0] != '/') {
      Raise(kAccessDenied, kSaxSource,
            "Access to '" + url + "' was refused: documents are read from local files only.");
    }
  }
  return PercentDecoded(rest);
}

}  // namespace

std::string LocalPathOf(const std::string& url, const std::string& baseURL) {
  std::filesystem::path path = PathOfOne(url);
  if (path.is_absolute() || baseURL.empty()) return path.string();
  std::string base = PathOfOne(baseURL);
  std::filesystem::path folder = !base.empty() && base.back() == '/'
                                     ? std::filesystem::path(base)
                                     : std::filesystem::path(base).parent_path();
  return (folder / path).string();
}

}  // namespace orvex::xmldom
