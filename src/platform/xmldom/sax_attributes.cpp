#include "orvex/automation_error.hpp"
#include "platform/xmldom/sax_session.hpp"

namespace orvex::xmldom {
namespace {

enum Field { kLocalName = 0, kPrefix = 1, kUri = 2, kValue = 3, kEnd = 4 };

std::string_view View(const xmlChar* text) {
  return text != nullptr ? std::string_view(reinterpret_cast<const char*>(text))
                         : std::string_view();
}

// Whether the parser's text (nullptr reads as "") equals expected, without measuring the text
// first: most names differ from the one sought in their first character.
bool Equals(const xmlChar* text, std::string_view expected) {
  if (text == nullptr) return expected.empty();
  const auto* chars = reinterpret_cast<const char*>(text);
  for (char wanted : expected) {
    if (*chars == '\0' || *chars != wanted) return false;
    ++chars;
  }
  return *chars == '\0';
}

}  // namespace

const xmlChar* RawAttributes::Field(int32_t index, int field) const {
  return fields_[index * 5 + field];
}

void RawAttributes::CheckIndex(int32_t index) const {
  if (index < 0 || index >= count_) {
    Raise(kInvalidArgument, kSaxSource, "The attribute index is out of range.");
  }
}

std::string RawAttributes::getQName(int32_t index) const {
  CheckIndex(index);
  std::string name(View(Field(index, kLocalName)));
  if (const xmlChar* prefix = Field(index, kPrefix)) name = std::string(View(prefix)) + ":" + name;
  return name;
}

std::string RawAttributes::getLocalName(int32_t index) const {
  CheckIndex(index);
  return std::string(View(Field(index, kLocalName)));
}

std::string RawAttributes::getURI(int32_t index) const {
  CheckIndex(index);
  return std::string(View(Field(index, kUri)));
}

std::string_view RawAttributes::ValueAt(int32_t index) const {
  const xmlChar* begin = Field(index, kValue);
  return std::string_view(reinterpret_cast<const char*>(begin),
                          static_cast<size_t>(Field(index, kEnd) - begin));
}

std::string RawAttributes::getValue(int32_t index) const {
  CheckIndex(index);
  return std::string(ValueAt(index));
}

int32_t RawAttributes::getIndexFromName(std::string_view uri, std::string_view localName) const {
  for (int32_t i = 0; i < count_; ++i) {
    if (Equals(Field(i, kLocalName), localName) && Equals(Field(i, kUri), uri)) return i;
  }
  return -1;
}

std::string_view RawAttributes::getValueViewFromName(std::string_view uri,
                                                     std::string_view localName) const {
  int32_t index = getIndexFromName(uri, localName);
  if (index < 0) {
    Raise(kInvalidArgument, kSaxSource,
          "The element has no attribute '" + std::string(localName) + "'.");
  }
  return ValueAt(index);
}

std::string RawAttributes::getValueFromName(std::string_view uri,
                                            std::string_view localName) const {
  return std::string(getValueViewFromName(uri, localName));
}

std::string RawAttributes::getValueFromQName(std::string_view qName) const {
  for (int32_t i = 0; i < count_; ++i) {
    if (getQName(i) == qName) return getValue(i);
  }
  Raise(kInvalidArgument, kSaxSource, "The element has no attribute '" + std::string(qName) + "'.");
}

}  // namespace orvex::xmldom
