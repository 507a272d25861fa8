#include "orvex/automation_error.hpp"
#include "typelib/adapters.hpp"
#include "typelib/typed_dispatch.hpp"

namespace orvex::typelib {

namespace {

class TextTableDispatch : public NativeDispatch<CTextTable> {
 public:
  explicit TextTableDispatch(std::shared_ptr<CTextTable> native)
      : NativeDispatch("CTextTable", std::move(native)) {}

 protected:
  Variant Call(const MemberInfo& member, InvokeKind kind, std::vector<Variant>& p,
               const Variant& value) override {
    CTextTable& t = *native_;
    const std::string& name = member.name;
    const bool get = kind == InvokeKind::PropertyGet || kind == InvokeKind::Method;
    if (name == "Helpfile") {
      if (get) return Variant(t.Helpfile);
      t.Helpfile = value.Str();
    } else if (name == "HelpContext") {
      if (get) return Variant(t.HelpContext);
      t.HelpContext = value.I4();
    } else if (name == "ConnectingString") {
      t.ConnectingString(value.Str());
    } else if (name == "LoadStringsRS") {
      t.LoadStringsRS(p[0].Str(), p[1].Str(), p[2].Bool());
    } else if (name == "TextE") {
      if (get) return Variant(t.TextE(p[0].Str(), p[1].I4()));
      t.TextE(p[0].Str(), p[1].I4(), value.Str());
    } else if (name == "Text") {
      if (get) return Variant(t.Text(p[0].I4()));
      t.Text(p[0].I4(), value.Str());
    } else if (name == "AddNew") {
      return Variant(t.AddNew(p[0].Str()));
    } else if (name == "Show") {
      return Variant(t.Show(p[0].I2(), p[1].I4(), p[2], p[3].Str(), p[4].I4()));
    } else {
      Raise(DISP_E_MEMBERNOTFOUND, "ORVEX.CTextTable");
    }
    return Variant();
  }
};

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

std::shared_ptr<Dispatch> MakeTextTableDispatch(std::shared_ptr<CTextTable> native) {
  return std::make_shared<TextTableDispatch>(std::move(native));
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

}  // namespace orvex::typelib
