// A saved-rows file's texts: an "ID" column and one column per language, as CTextTable3 reads
// them. Written back with Recordset::Save, which replaces the file atomically.
#include <filesystem>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "textexchange/table_texts.hpp"

namespace orvex::textexchange {

namespace {

class SavedRowsTexts : public TableTexts {
 public:
  explicit SavedRowsTexts(std::string path) : path_(std::move(path)) {}

  TableTextMap Read(const std::string& sourceLanguage, const std::string& language) override {
    rows_ = std::make_shared<data::Recordset>();
    rows_->Open(Variant(path_), Variant::Missing(), data::adOpenUnspecified,
                data::adLockBatchOptimistic, data::adCmdFile);
    const auto& fields = rows_->Fields();
    id_ = fields->Item("ID");
    source_ = fields->Item(sourceLanguage);
    target_ = fields->Item(language);
    TableTextMap texts;
    for (; !rows_->EOF_(); rows_->MoveNext()) {
      const Variant id = id_->Value();
      if (id.IsNull() || id.IsEmpty()) continue;
      if (auto parsed = ParseId(CStr(id)))
        texts.try_emplace(*parsed,
                          TableText{TextOfValue(source_->Value()), TextOfValue(target_->Value())});
    }
    return texts;
  }

  void Write(const std::map<int32_t, std::string>& targets) override {
    // The rows change in memory only; the file changes at Save, whole or not at all.
    for (const auto& [id, text] : targets) {
      if (!rows_->FindValueWrapping("ID", Variant(id))) Raise(data::adErrItemNotFound, path_);
      target_->Value(Variant(text));
      rows_->Update();
    }
    rows_->Save(path_, data::adPersistADTG);
  }

  std::string Origin() const override { return std::filesystem::path(path_).filename().string(); }

 private:
  std::string path_;
  sp<data::Recordset> rows_;
  sp<data::Field> id_, source_, target_;
};

}  // namespace

std::unique_ptr<TableTexts> OpenSavedRowsTexts(const std::string& path) {
  return std::make_unique<SavedRowsTexts>(path);
}

}  // namespace orvex::textexchange
