// Recordset::Find with arbitrary criteria, skips, directions and starts, on a set of rows read
// from a saved-rows file (ID numbers with a gap, duplicates, an empty ID and a Null text).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "saved_rows_checksum.hpp"

namespace {

class Bytes {
 public:
  template <class T>
  Bytes& Put(T value) {
    for (size_t i = 0; i < sizeof(T); ++i)
      text += static_cast<char>((static_cast<uint64_t>(value) >> (8 * i)) & 0xFF);
    return *this;
  }
  Bytes& String(const std::string& value) {
    Put(static_cast<uint32_t>(value.size()));
    text += value;
    return *this;
  }
  std::string text = "ORVXROWS";
};

std::shared_ptr<orvex::data::Recordset> SampleRows() {
  Bytes file;
  file.Put(uint16_t{1}).Put(uint32_t{2});
  file.String("ID")
      .Put(int32_t{3})
      .Put(int32_t{4})
      .Put(int32_t{0})
      .Put(int32_t{0})
      .Put(int32_t{32});
  file.String("English")
      .Put(int32_t{203})
      .Put(int32_t{0})
      .Put(int32_t{0})
      .Put(int32_t{0})
      .Put(int32_t{32});
  const int32_t ids[] = {1, 2, 3, 5, 5, 8, -1, 100000};
  file.Put(uint64_t{std::size(ids) + 1});
  for (int32_t id : ids)
    file.Put(uint8_t{3}).Put(id).Put(uint8_t{8}).String("text " + std::to_string(id) + " 'q'");
  file.Put(uint8_t{0}).Put(uint8_t{1});  // an empty ID and a Null text
  const std::string path = "/tmp/orvex-find-fuzz-" + std::to_string(::getpid()) + ".rows";
  std::ofstream(path, std::ios::binary) << orvex::fuzz::WithChecksum(file.text);
  auto rows = std::make_shared<orvex::data::Recordset>();
  rows->Open(orvex::Variant(path));
  ::unlink(path.c_str());
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvex;
  static std::shared_ptr<data::Recordset> rows = SampleRows();
  FuzzedDataProvider input(data, size);
  const int32_t skip = input.ConsumeIntegralInRange<int32_t>(-3, 12);
  const int32_t direction = input.ConsumeBool() ? data::adSearchForward : data::adSearchBackward;
  const int32_t startKind = input.ConsumeIntegralInRange<int32_t>(0, 3);
  const int32_t moves = input.ConsumeIntegralInRange<int32_t>(0, 9);
  const std::string criterion = input.ConsumeRemainingBytesAsString();
  Variant start = startKind == 0 ? Variant::Missing() : Variant(int32_t{startKind - 1});
  try {
    rows->MoveFirst();
    for (int32_t i = 0; i < moves && !rows->EOF_(); ++i) rows->MoveNext();
    rows->Find(criterion, skip, direction, start);
    if (!rows->EOF_() && !rows->BOF()) (void)rows->Fields()->Item(0)->Value();
  } catch (const AutomationError&) {
  }
  return 0;
}
