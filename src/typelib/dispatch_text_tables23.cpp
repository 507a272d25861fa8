// Late-bound adapters of the glossary table and the editable string table.
#include "orvex/automation_error.hpp"
#include "orvex/text_table2.hpp"
#include "orvex/text_table3.hpp"
#include "typelib/adapters.hpp"
#include "typelib/typed_dispatch.hpp"

namespace orvex::typelib {

namespace {

// The members both tables share with the database table, by name; false for any other name.
template <class Table>
bool CallShared(Table& t, const std::string& name, bool get, std::vector<Variant>& p,
                const Variant& value, Variant& result) {
  if (name == "Helpfile") {
    if (get)
      result = Variant(t.Helpfile);
    else
      t.Helpfile = value.Str();
  } else if (name == "HelpContext") {
    if (get)
      result = Variant(t.HelpContext);
    else
      t.HelpContext = value.I4();
  } else if (name == "ConnectingString") {
    t.ConnectingString(value.Str());
  } else if (name == "LoadStringsRS") {
    t.LoadStringsRS(p[0].Str(), p[1].Str(), p[2].Bool());
  } else if (name == "Show") {
    result = Variant(t.Show(p[0].I2(), p[1].I4(), p[2], p[3].Str(), p[4].I4()));
  } else {
    return false;
  }
  return true;
}

bool IsGet(InvokeKind kind) {
  return kind == InvokeKind::PropertyGet || kind == InvokeKind::Method;
}

class TextTable2Dispatch : public NativeDispatch<CTextTable2> {
 public:
  explicit TextTable2Dispatch(std::shared_ptr<CTextTable2> native)
      : NativeDispatch("CTextTable2", std::move(native)) {}

 protected:
  Variant Call(const MemberInfo& member, InvokeKind kind, std::vector<Variant>& p,
               const Variant& value) override {
    Variant result;
    if (CallShared(*native_, member.name, IsGet(kind), p, value, result)) return result;
    if (member.name == "Text") return Variant(native_->Text(p[0].I4()));
    Raise(DISP_E_MEMBERNOTFOUND, "ORVEX.CTextTable2");
  }
};

class TextTable3Dispatch : public NativeDispatch<CTextTable3> {
 public:
  explicit TextTable3Dispatch(std::shared_ptr<CTextTable3> native)
      : NativeDispatch("CTextTable3", std::move(native)) {}

 protected:
  Variant Call(const MemberInfo& member, InvokeKind kind, std::vector<Variant>& p,
               const Variant& value) override {
    Variant result;
    if (CallShared(*native_, member.name, IsGet(kind), p, value, result)) return result;
    if (member.name == "Text") {
      if (IsGet(kind)) return Variant(native_->Text(p[0].I4()));
      native_->Text(p[0].I4(), value.Str());
      return Variant();
    }
    if (member.name == "AddNew") return Variant(native_->AddNew(p[0].Str()));
    if (member.name == "Save") {
      native_->Save();
      return Variant();
    }
    Raise(DISP_E_MEMBERNOTFOUND, "ORVEX.CTextTable3");
  }
};

}  // namespace

std::shared_ptr<Dispatch> MakeTextTable2Dispatch(std::shared_ptr<CTextTable2> native) {
  return std::make_shared<TextTable2Dispatch>(std::move(native));
}

std::shared_ptr<Dispatch> MakeTextTable3Dispatch(std::shared_ptr<CTextTable3> native) {
  return std::make_shared<TextTable3Dispatch>(std::move(native));
}

}  // namespace orvex::typelib
