// The late-bound faces of the three text tables.
#include "orvex/automation_error.hpp"
#include "orvex/text_table2.hpp"
#include "orvex/text_table3.hpp"
#include "typelib/class_registry.hpp"

namespace orvex::typelib {
namespace {

constexpr uint8_t kGetLet = Kinds({MemberKind::PropertyGet, MemberKind::PropertyLet});
constexpr uint8_t kLetOnly = Kinds({MemberKind::PropertyLet});
constexpr uint8_t kGetOnly = Kinds({MemberKind::PropertyGet});

// The members every text table has, in their call-table order around the table's own.
template <class T>
std::vector<BoundMember<T>> HelpMembers() {
  return {Field("Helpfile", 0x40030000, String(), &T::Helpfile),
          Field("HelpContext", 0x40030001, Long(), &T::HelpContext)};
}

template <class T>
BoundMember<T> ConnectingString(int32_t dispId) {
  return {Property("ConnectingString", dispId, kLetOnly, {}, String(),
                   RefParam("strConnectingString", String())),
          Does<T>([](T& t, MemberCall& c) { t.ConnectingString(c.value.Str()); })};
}

template <class T>
BoundMember<T> LoadStringsRS(int32_t dispId) {
  return {Method("LoadStringsRS", dispId,
                 {Param("TableName", String()), OptParam("Language", String(), DefaultText("")),
                  OptParam("ReadOnly", Boolean(), DefaultBool(true))}),
          Does<T>([](T& t, MemberCall& c) {
            t.LoadStringsRS(c.params[0].Str(), c.params[1].Str(), c.params[2].Bool());
          })};
}

template <class T>
BoundMember<T> Show(int32_t dispId) {
  return {Method("Show", dispId,
                 {Param("MessageID", Integer()),
                  OptParam("Buttons", EnumOf("VbMsgBoxStyle"), DefaultLong(0)),
                  // No default: the table tells an omitted source from a given one.
                  OptParam("Source", VariantType(), std::nullopt),
                  OptRefParam("Helpfile", String(), DefaultText("")),
                  OptParam("HelpContext", Long(), DefaultLong(0))},
                 EnumOf("VbMsgBoxResult")),
          [](T& t, MemberCall& c) {
            const auto& p = c.params;
            return Variant(t.Show(p[0].I2(), p[1].I4(), p[2], p[3].Str(), p[4].I4()));
          }};
}

// Text(ID), read, and written where the table can be.
template <class T>
Variant CallText(T& t, MemberCall& c) {
  if (c.get) return Variant(t.Text(c.params[0].I4()));
  if constexpr (requires { t.Text(int32_t{}, std::string()); })
    t.Text(c.params[0].I4(), c.value.Str());
  return Variant();
}

// Text(ID): the default member of the database and glossary tables, read by a client that names
// no member at all; with a Let where the table can be written.
template <class T>
BoundMember<T> DefaultTextMember(uint8_t kinds) {
  std::optional<ParamInfo> newText;
  if (kinds & static_cast<uint8_t>(MemberKind::PropertyLet)) newText = Param("New_Text", String());
  MemberInfo text = Property("Text", 0, kinds, {Param("ID", Long())}, String(), newText);
  text.helpString = "The default property of Strings";
  return {std::move(text), CallText<T>};
}

const ClassBinding<CTextTable>& TextTableBinding() {
  using T = CTextTable;
  static const ClassBinding<T> binding(
      "_CTextTable", "CTextTable", "{ADF90D20-97DD-453D-9CF7-D85870EE901C}",
      Joined(HelpMembers<T>(),
             {ConnectingString<T>(0x68030001),
              LoadStringsRS<T>(0x60030003),
              {Property("TextE", 0x68030000, kGetLet,
                        {Param("Language", String()), Param("ID", Long())}, String(),
                        Param("New_Text", String())),
               [](T& t, MemberCall& c) {
                 if (c.get) return Variant(t.TextE(c.params[0].Str(), c.params[1].I4()));
                 t.TextE(c.params[0].Str(), c.params[1].I4(), c.value.Str());
                 return Variant();
               }},
              DefaultTextMember<T>(kGetLet),
              {Method("AddNew", 0x60030004, {Param("New_Text", String())}, Integer()),
               [](T& t, MemberCall& c) { return Variant(t.AddNew(c.params[0].Str())); }},
              Show<T>(0x60030005)}));
  return binding;
}

const ClassBinding<CTextTable2>& TextTable2Binding() {
  using T = CTextTable2;
  static const ClassBinding<T> binding(
      "_CTextTable2", "CTextTable2", "{39F91515-DC2A-4ADF-9D7A-C02EFF4135B3}",
      Joined(HelpMembers<T>(), {ConnectingString<T>(0x68030000), LoadStringsRS<T>(0x60030002),
                                DefaultTextMember<T>(kGetOnly), Show<T>(0x60030003)}));
  return binding;
}

const ClassBinding<CTextTable3>& TextTable3Binding() {
  using T = CTextTable3;
  static const ClassBinding<T> binding(
      "_CTextTable3", "CTextTable3", "{1ED9D080-A3BE-4BF8-8024-458472AB68B2}",
      Joined(HelpMembers<T>(),
             {ConnectingString<T>(0x68030001),
              LoadStringsRS<T>(0x60030003),
              // Here Text is an ordinary property procedure, not the default member.
              {Property("Text", 0x68030000, kGetLet, {Param("ID", Long())}, String(),
                        Param("New_Text", String())),
               CallText<T>},
              {Method("AddNew", 0x60030004, {Param("New_Text", String())}, Long()),
               [](T& t, MemberCall& c) { return Variant(t.AddNew(c.params[0].Str())); }},
              Show<T>(0x60030005),
              {Method("Save", 0x60030006, {}), Does<T>([](T& t, MemberCall&) { t.Save(); })}}));
  return binding;
}

// Texts and boxes from a late-bound object of the text-table interface.
class ForeignTextTable : public CTextTable {
 public:
  explicit ForeignTextTable(std::shared_ptr<Dispatch> object) : object_(std::move(object)) {}

  std::string Text(int32_t ID) override {
    try {
      std::vector<Variant> args{Variant(ID)};
      return CStr(object_->Invoke(object_->GetIDOfName("Text"), InvokeKind::PropertyGet, args));
    } catch (...) {
      return "";
    }
  }

  int32_t Show(int16_t MessageID, int32_t Buttons, const Variant& Source,
               const std::string& Helpfile, int32_t HelpContext) override {
    std::vector<Variant> args{Variant(MessageID), Variant(Buttons), Source, Variant(Helpfile),
                              Variant(HelpContext)};
    return CLng(object_->Invoke(object_->GetIDOfName("Show"), InvokeKind::Method, args));
  }

 private:
  std::shared_ptr<Dispatch> object_;
};

}  // namespace

std::vector<RegisteredClass> TextTableClasses() {
  return {Register(TextTableBinding(), "{7C75A734-A3AF-4834-A1F4-33E586B170BF}", false, false),
          Register(TextTable2Binding(), "{754C1F15-8306-422B-ABCB-3C7800B37300}", false, false),
          Register(TextTable3Binding(), "{BE718204-CA20-4CFB-8E54-51FCCD7E4CE3}", false, false)};
}

std::shared_ptr<CTextTable> TextTableOver(std::shared_ptr<Dispatch> object) {
  return std::make_shared<ForeignTextTable>(std::move(object));
}

std::shared_ptr<CTextTable> TextTableFrom(const Variant& value) {
  std::shared_ptr<Object> native = NativeOf(value);
  if (!native) return nullptr;
  if (auto table = std::dynamic_pointer_cast<CTextTable>(native)) return table;
  // Any other object of the text-table interface (a glossary table, a client's own object) is
  // read through its late-bound Text and Show.
  if (auto object = std::dynamic_pointer_cast<Dispatch>(value.AsObjectRef()))
    return TextTableOver(object);
  Raise(DISP_E_TYPEMISMATCH, "ORVEX.Dispatch", "A text table object is required");
}

Variant FieldToVariant(const std::shared_ptr<CTextTable>& table) {
  return table ? Variant(WrapNative(table)) : Variant::Nothing();
}

void FieldFromVariant(const Variant& value, std::shared_ptr<CTextTable>& table) {
  table = TextTableFrom(value);
}

}  // namespace orvex::typelib
