#include "dataaccess/MemoryDataSet.h"

#include "dataaccess/DatabaseError.h"
#include "dataaccess/TextUtils.h"

namespace vantrelo {
namespace {

// The family a declared field accepts: columns whose values it holds without loss.
int FamilyOf(TFieldType t) {
    switch (t) {
    case ftShortint: case ftByte: case ftSmallint: case ftWord: case ftInteger: return 1;
    case ftLongWord: case ftLargeint: return 2;
    case ftSingle: case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd: return 3;
    case ftString: case ftFixedChar: case ftWideString: case ftFixedWideChar: return 4;
    case ftDate: return 5;
    case ftTime: return 6;
    case ftDateTime: case ftTimeStamp: return 7;
    case ftBytes: case ftVarBytes: case ftBlob: case ftMemo: case ftWideMemo: return 8;
    case ftBoolean: return 9;
    case ftUnknown: break;
    }
    return 0;
}

bool Compatible(TFieldType declared, TFieldType column) {
    if (declared == column) return true;
    int d = FamilyOf(declared), c = FamilyOf(column);
    if (d == c) return d != 0;
    return d == 2 && c == 1;  // a 64-bit field takes any smaller integer
}

} // namespace

TMemoryDataSet::TMemoryDataSet(std::u16string name, const TComponent* owner) : TComponent(std::move(name), owner) {}

TMemoryDataSet::~TMemoryDataSet() = default;

TField& TMemoryDataSet::AddField(std::u16string fieldName, TFieldType dataType, int size, bool required) {
    if (Active()) DatabaseError(u"Cannot perform this operation on an open dataset", this);
    FFields.push_back(std::make_unique<TField>(*this, std::move(fieldName), dataType, size, required));
    FFields.back()->FIndex = int(FFields.size() - 1);
    FDeclaredFields = true;
    FFieldIndexValid = false;
    return *FFields.back();
}

void TMemoryDataSet::IndexFields() const {
    FFieldIndex.clear();
    for (const auto& f : FFields) FFieldIndex.emplace(f->FieldName(), f.get());
    FFieldIndexValid = true;
}

TField* TMemoryDataSet::FindField(std::u16string_view name) const {
    if (!FFieldIndexValid) IndexFields();
    auto it = FFieldIndex.find(name);
    return it == FFieldIndex.end() ? nullptr : it->second;
}

TField& TMemoryDataSet::FieldByName(std::u16string_view name) {
    if (TField* f = FindField(name)) return *f;
    DatabaseError(u"Field '" + std::u16string(name) + u"' not found", this);
}

void TMemoryDataSet::CheckActive() const {
    if (!Active()) DatabaseError(u"Cannot perform this operation on a closed dataset", this);
}

void TMemoryDataSet::OpenStore(const std::vector<TFieldDesc>& columns) {
    FColumns = columns;
    FStore.SetLayout(FColumns);
    if (FDeclaredFields) {
        for (auto& f : FFields) {
            f->FFieldNo = -1;
            for (std::size_t i = 0; i < FColumns.size(); ++i) {
                if (!SameText(FColumns[i].Name, f->FieldName())) continue;
                if (!Compatible(f->DataType(), FColumns[i].DataType))
                    DatabaseError(u"Type mismatch for field '" + f->FieldName() + u"', expecting: " +
                                      FieldTypeName(f->DataType()) + u" actual: " + FieldTypeName(FColumns[i].DataType),
                                  this);
                f->FFieldNo = int(i);
                f->FStorage = StorageKindOf(FColumns[i].DataType);
                f->FRequired = f->FRequired || FColumns[i].Required;
                f->FReadOnly = FColumns[i].ReadOnly;
                break;
            }
            if (f->FFieldNo < 0) DatabaseError(u"Field '" + f->FieldName() + u"' not found", this);
        }
    } else {
        FFields.clear();
        for (std::size_t i = 0; i < FColumns.size(); ++i) {
            const TFieldDesc& c = FColumns[i];
            auto f = std::make_unique<TField>(*this, c.Name, c.DataType, c.Length, c.Required);
            f->FFieldNo = int(i);
            f->FIndex = int(i);
            f->FReadOnly = c.ReadOnly;
            FFields.push_back(std::move(f));
        }
    }
    FFieldIndexValid = false;
    FieldsChanged();
    FState = dsBrowse;
    FCurrent = 0;
}

void TMemoryDataSet::AfterFetch() {
    FCurrent = 0;
    FEof = FBof = FStore.RowCount() == 0;
    FBof = true;
}

void TMemoryDataSet::CloseStore() {
    FState = dsInactive;
    FStore.Clear();
    FCurrent = 0;
    FEof = FBof = true;
    FModified = false;
}

void TMemoryDataSet::ForgetFields() {
    if (!FDeclaredFields) FFields.clear();
    else
        for (auto& f : FFields) f->FFieldNo = -1;
    FColumns.clear();
    FFieldIndexValid = false;
    FieldsChanged();
}

// Leaving edit state before moving: a changed row is posted, an untouched one dropped.
void TMemoryDataSet::CheckBrowseMode() {
    CheckActive();
    if (FState == dsEdit || FState == dsInsert) {
        if (FModified) Post();
        else Cancel();
    }
}

void TMemoryDataSet::First() {
    CheckBrowseMode();
    FCurrent = 0;
    FBof = true;
    FEof = FStore.RowCount() == 0;
}

void TMemoryDataSet::Next() {
    CheckBrowseMode();
    if (std::size_t(FCurrent) + 1 < FStore.RowCount() || (FetchMore() && std::size_t(FCurrent) + 1 < FStore.RowCount())) {
        ++FCurrent;
        FBof = false;
        FEof = false;
    } else {
        FEof = true;
    }
}

void TMemoryDataSet::Last() {
    CheckBrowseMode();
    while (FetchMore()) {
    }
    FCurrent = FStore.RowCount() == 0 ? 0 : int(FStore.RowCount() - 1);
    FEof = true;
    FBof = FStore.RowCount() == 0;
}

TRecordView TMemoryDataSet::CurrentRecord() const {
    if (FState == dsEdit || FState == dsInsert) return FEditBuffer.View();
    if (std::size_t(FCurrent) < FStore.RowCount()) return FStore.Row(std::size_t(FCurrent));
    return {};
}

TRecordView TMemoryDataSet::OldRecord() const {
    if (FState == dsEdit) return FOldBuffer.View();
    return {};
}

bool TMemoryDataSet::FieldWritten(int fieldNo) const noexcept {
    return fieldNo >= 0 && std::size_t(fieldNo) < FWritten.size() && FWritten[std::size_t(fieldNo)];
}

TRecordWriter& TMemoryDataSet::EditBuffer() {
    CheckActive();
    if (FState != dsEdit && FState != dsInsert) DatabaseError(u"Dataset not in edit or insert mode", this);
    return FEditBuffer;
}

void TMemoryDataSet::MarkWritten(int fieldNo) {
    if (fieldNo >= 0 && std::size_t(fieldNo) < FWritten.size()) FWritten[std::size_t(fieldNo)] = true;
    FModified = true;
}

void TMemoryDataSet::Edit() {
    CheckActive();
    if (FState == dsEdit || FState == dsInsert) return;
    if (FStore.RowCount() == 0) {
        Append();
        return;
    }
    if (BeforeEdit) BeforeEdit(*this);
    FOldBuffer.Assign(FStore.Row(std::size_t(FCurrent)));
    FEditBuffer.Assign(FStore.Row(std::size_t(FCurrent)));
    FWritten.assign(FColumns.size(), false);
    FModified = false;
    FState = dsEdit;
    if (AfterEdit) AfterEdit(*this);
}

void TMemoryDataSet::Append() {
    CheckBrowseMode();
    FEditBuffer.Reset(FColumns.size());
    FOldBuffer.Reset(FColumns.size());
    FWritten.assign(FColumns.size(), false);
    FModified = false;
    FState = dsInsert;
}

void TMemoryDataSet::Post() {
    CheckActive();
    if (FState != dsEdit && FState != dsInsert) DatabaseError(u"Dataset not in edit or insert mode", this);
    if (RequiredFieldsChecked())
        for (const auto& f : FFields)
            if (f->Required() && f->FieldNo() >= 0 && FEditBuffer.View().IsNull(std::size_t(f->FieldNo())))
                DatabaseError(u"Field '" + f->FieldName() + u"' must have a value", this);
    if (BeforePost) BeforePost(*this);
    ApplyUpdate(FState);  // raises to keep the edit state
    if (FState == dsEdit) {
        FStore.Replace(std::size_t(FCurrent), FEditBuffer.View());
    } else {
        FStore.Insert(FStore.RowCount(), FEditBuffer.View());
        FCurrent = int(FStore.RowCount() - 1);
        FEof = FBof = false;
    }
    FState = dsBrowse;
    FModified = false;
    if (AfterPost) AfterPost(*this);
}

void TMemoryDataSet::Cancel() {
    if (FState != dsEdit && FState != dsInsert) return;
    FState = dsBrowse;
    FModified = false;
}

} // namespace vantrelo
