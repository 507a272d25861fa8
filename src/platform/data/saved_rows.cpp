// The saved-rows file: the library's own versioned binary format.
//
//   magic "ORVXROWS", u16 version (1)
//   u32 column count; per column: string name, i32 type, defined size, precision, numeric
//   scale, attributes
//   u64 row count; per row, per column: a tagged value (u8 tag = the Variant subtype, then
//   its payload; 0x51 for a byte array)
//   u32 CRC-32 of every byte before it
//
// Integers are little-endian; strings are a u32 byte length and UTF-8 bytes. The checksum is
// verified before anything is parsed, and every count is checked against the bytes that remain,
// so a damaged file is refused whole and a forged count cannot make the reader allocate it.
#include <array>
#include <cstring>

#include "orvex/data.hpp"
#include "platform/data/errors.hpp"
#include "platform/data/recordset_state.hpp"

namespace orvex::data::internal {

namespace {

constexpr char kMagic[8] = {'O', 'R', 'V', 'X', 'R', 'O', 'W', 'S'};
constexpr uint16_t kVersion = 1;
constexpr uint8_t kTagByteArray = 0x51;
constexpr size_t kMinColumnBytes = 4 + 5 * 4;

uint32_t Crc32(const char* data, size_t size) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i)
    crc = table[(crc ^ static_cast<uint8_t>(data[i])) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

class Writer {
 public:
  template <class T>
  void Put(T value) {
    for (size_t i = 0; i < sizeof(T); ++i)
      bytes_ += static_cast<char>((static_cast<uint64_t>(value) >> (8 * i)) & 0xFF);
  }
  void PutDouble(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    Put(bits);
  }
  void PutString(const std::string& text) {
    Put(static_cast<uint32_t>(text.size()));
    bytes_ += text;
  }
  void PutRaw(const char* data, size_t size) { bytes_.append(data, size); }
  std::string& Bytes() { return bytes_; }

 private:
  std::string bytes_;
};

class Reader {
 public:
  Reader(const std::string& bytes, size_t end, std::string fileName)
      : bytes_(bytes), end_(end), fileName_(std::move(fileName)) {}

  [[noreturn]] void Damaged(const std::string& why) const {
    RaiseDataError(adErrCorruptFile, "Recordset",
                   "The saved-rows file '" + fileName_ + "' is damaged: " + why);
  }
  size_t Remaining() const { return end_ - pos_; }
  void Need(size_t size) const {
    if (size > Remaining()) Damaged("it ends inside a value");
  }
  template <class T>
  T Get() {
    Need(sizeof(T));
    uint64_t value = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
      value |= static_cast<uint64_t>(static_cast<uint8_t>(bytes_[pos_ + i])) << (8 * i);
    pos_ += sizeof(T);
    return static_cast<T>(value);
  }
  double GetDouble() {
    uint64_t bits = Get<uint64_t>();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  std::string GetString() {
    uint32_t size = Get<uint32_t>();
    Need(size);
    std::string text = bytes_.substr(pos_, size);
    pos_ += size;
    return text;
  }

 private:
  const std::string& bytes_;
  size_t end_;
  size_t pos_ = sizeof kMagic + sizeof kVersion;
  std::string fileName_;
};

void PutValue(Writer& out, const Variant& value, const std::string& column) {
  uint16_t vt = value.VarType();
  if (vt == (vbArray | vbByte)) {
    out.Put(kTagByteArray);
    std::string bytes;
    for (const Variant& element : value.Array().Elements())
      bytes += static_cast<char>(element.Byte());
    out.PutString(bytes);
    return;
  }
  switch (vt) {
    case vbEmpty:
    case vbNull:
      out.Put(static_cast<uint8_t>(vt));
      return;
    case vbInteger:
      out.Put(uint8_t{vbInteger});
      out.Put(value.I2());
      return;
    case vbLong:
      out.Put(uint8_t{vbLong});
      out.Put(value.I4());
      return;
    case vbSingle:
      out.Put(uint8_t{vbSingle});
      out.PutDouble(value.R4());
      return;
    case vbDouble:
      out.Put(uint8_t{vbDouble});
      out.PutDouble(value.R8());
      return;
    case vbCurrency:
      out.Put(uint8_t{vbCurrency});
      out.Put(value.Cy().scaled);
      return;
    case vbDate:
      out.Put(uint8_t{vbDate});
      out.PutDouble(value.DateValue().Value());
      return;
    case vbString:
      out.Put(uint8_t{vbString});
      out.PutString(value.Str());
      return;
    case vbBoolean:
      out.Put(uint8_t{vbBoolean});
      out.Put(uint8_t{value.Bool()});
      return;
    case vbByte:
      out.Put(uint8_t{vbByte});
      out.Put(value.Byte());
      return;
    case vbDecimal: {
      Decimal d = value.Dec();
      out.Put(uint8_t{vbDecimal});
      out.Put(d.hi);
      out.Put(d.lo);
      out.Put(d.scale);
      out.Put(uint8_t{d.negative});
      return;
    }
    default:
      RaiseDataError(adErrDataConversion, "Recordset",
                     "Field '" + column + "' holds a value of subtype " + std::to_string(vt) +
                         ", which a saved-rows file cannot hold");
  }
}

Variant GetValue(Reader& in) {
  uint8_t tag = in.Get<uint8_t>();
  switch (tag) {
    case vbEmpty:
      return Variant();
    case vbNull:
      return Variant::Null();
    case vbInteger:
      return Variant(in.Get<int16_t>());
    case vbLong:
      return Variant(in.Get<int32_t>());
    case vbSingle:
      return Variant(static_cast<float>(in.GetDouble()));
    case vbDouble:
      return Variant(in.GetDouble());
    case vbCurrency:
      return Variant(Currency{in.Get<int64_t>()});
    case vbDate:
      return Variant(Date(in.GetDouble()));
    case vbString:
      return Variant(in.GetString());
    case vbBoolean:
      return Variant(in.Get<uint8_t>() != 0);
    case vbByte:
      return Variant(in.Get<uint8_t>());
    case vbDecimal: {
      Decimal d;
      d.hi = in.Get<uint32_t>();
      d.lo = in.Get<uint64_t>();
      d.scale = in.Get<uint8_t>();
      d.negative = in.Get<uint8_t>() != 0;
      if (d.scale > 28) in.Damaged("a decimal has a scale above 28");
      return Variant(d);
    }
    case kTagByteArray: {
      std::string bytes = in.GetString();
      SafeArray array(0, static_cast<int32_t>(bytes.size()));
      array.SetElementType(vbByte);
      for (size_t i = 0; i < bytes.size(); ++i)
        array[static_cast<int32_t>(i)] = Variant(static_cast<uint8_t>(bytes[i]));
      return Variant(std::move(array));
    }
    default:
      in.Damaged("unknown value tag " + std::to_string(tag));
  }
}

std::vector<ColumnInfo> GetColumns(Reader& in) {
  uint32_t count = in.Get<uint32_t>();
  if (count > in.Remaining() / kMinColumnBytes) in.Damaged("its column count is too large");
  std::vector<ColumnInfo> columns(count);
  for (ColumnInfo& column : columns) {
    column.name = in.GetString();
    column.type = in.Get<int32_t>();
    column.definedSize = in.Get<int32_t>();
    column.precision = in.Get<int32_t>();
    column.numericScale = in.Get<int32_t>();
    column.attributes = in.Get<int32_t>();
  }
  return columns;
}

}  // namespace

std::string EncodeSavedRows(const RowStore& store) {
  Writer out;
  out.PutRaw(kMagic, sizeof kMagic);
  out.Put(kVersion);
  const auto& columns = store.Columns();
  out.Put(static_cast<uint32_t>(columns.size()));
  for (const ColumnInfo& column : columns) {
    out.PutString(column.name);
    out.Put(column.type);
    out.Put(column.definedSize);
    out.Put(column.precision);
    out.Put(column.numericScale);
    out.Put(column.attributes);
  }
  out.Put(static_cast<uint64_t>(store.RowCount()));
  for (int64_t row = 0; row < store.RowCount(); ++row)
    for (size_t column = 0; column < columns.size(); ++column)
      PutValue(out, store.Value(row, column), columns[column].name);
  out.Put(Crc32(out.Bytes().data(), out.Bytes().size()));
  return std::move(out.Bytes());
}

std::shared_ptr<RowStore> DecodeSavedRows(const std::string& bytes, const std::string& fileName) {
  Reader header(bytes, bytes.size(), fileName);
  size_t minimum = sizeof kMagic + sizeof kVersion + 4;
  if (bytes.size() < minimum || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
    header.Damaged("it is not a saved-rows file");
  uint16_t version = static_cast<uint8_t>(bytes[8]) | (static_cast<uint8_t>(bytes[9]) << 8);
  if (version != kVersion)
    header.Damaged("its format version " + std::to_string(version) + " is not supported");
  size_t end = bytes.size() - 4;
  uint32_t stored = 0;
  for (int i = 0; i < 4; ++i)
    stored |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[end + i])) << (8 * i);
  if (stored != Crc32(bytes.data(), end)) header.Damaged("its checksum does not match");

  Reader in(bytes, end, fileName);
  auto store = std::make_shared<RowStore>(GetColumns(in));
  size_t columnCount = store->Columns().size();
  uint64_t rows = in.Get<uint64_t>();
  if (rows > 0 && (columnCount == 0 || rows > in.Remaining() / columnCount))
    in.Damaged("its row count is too large");
  for (uint64_t row = 0; row < rows; ++row) {
    store->AppendReadWith([&](std::vector<Variant>& block) {
      for (size_t column = 0; column < columnCount; ++column) block.push_back(GetValue(in));
    });
  }
  if (in.Remaining() != 0) in.Damaged("it holds bytes after the last row");
  return store;
}

}  // namespace orvex::data::internal
