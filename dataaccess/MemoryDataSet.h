#pragma once
// The in-memory dataset: typed fields over the row store, navigation, and the edit
// buffer of the current row. Running statements is TCustomDbDataSet's.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dataaccess/Component.h"
#include "dataaccess/Field.h"
#include "dataaccess/RowStore.h"
#include "dataaccess/TextUtils.h"

namespace vantrelo {

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

class TMemoryDataSet : public TComponent {
public:
    explicit TMemoryDataSet(std::u16string name = {}, const TComponent* owner = nullptr);
    ~TMemoryDataSet() override;

    // Fields declared before opening; bound by name to the result's columns.
    TField& AddField(std::u16string fieldName, TFieldType dataType, int size = 0, bool required = false);
    const std::vector<std::unique_ptr<TField>>& Fields() const noexcept { return FFields; }
    TField& FieldByName(std::u16string_view name);   // "Field '%s' not found"
    TField* FindField(std::u16string_view name) const;

    TDataSetState State() const noexcept { return FState; }
    bool Active() const noexcept { return FState != dsInactive; }

    void First();
    void Next();
    void Last();
    bool Eof() const noexcept { return FEof; }
    bool Bof() const noexcept { return FBof; }
    // Rows held in memory now (not asked of the server); 0 when closed.
    int RecordCount() const noexcept { return Active() ? int(FStore.RowCount()) : 0; }
    int RecNo() const noexcept { return FCurrent; }  // 0-based index of the current row

    // Editing (the current row, or a new one when there is none).
    void Edit();
    void Append();
    void Post();
    void Cancel();
    bool Modified() const noexcept { return FModified; }

    std::function<void(TMemoryDataSet&)> BeforeEdit, AfterEdit, BeforePost, AfterPost;

    // For fields and the layers above.
    const std::vector<TFieldDesc>& Columns() const noexcept { return FColumns; }  // as described
    TRecordView CurrentRecord() const;   // the edit buffer while editing
    TRecordView OldRecord() const;       // the row as read, while editing
    bool FieldWritten(int fieldNo) const noexcept;  // a blob written during the edit
    TRecordWriter& EditBuffer();         // raises "Dataset not in edit or insert mode"
    void MarkWritten(int fieldNo);
    void CheckActive() const;            // "Cannot perform this operation on a closed dataset"

protected:
    // Opening and closing of the store by the query layer.
    void OpenStore(const std::vector<TFieldDesc>& columns);  // binds or makes the fields
    void CloseStore();
    void ForgetFields();                 // made fields go, declared ones are unbound
    void CheckBrowseMode();
    TRowStore& Store() noexcept { return FStore; }
    void AfterFetch();                   // Eof/Bof after the first block
    // Asks for more rows; false when there are none (providers fetching in blocks).
    virtual bool FetchMore() { return false; }
    // Writes the edited row to the database; raises to keep the edit state.
    virtual void ApplyUpdate(TDataSetState state) = 0;
    // Called when the field list is described again (cached key lists go stale).
    virtual void FieldsChanged() {}
    // Whether Post checks that required fields have values.
    virtual bool RequiredFieldsChecked() const { return true; }

private:

    void IndexFields() const;

    std::vector<std::unique_ptr<TField>> FFields;
    mutable TNoCaseMap<TField*> FFieldIndex;  // name → first field of that name
    mutable bool FFieldIndexValid = false;
    bool FDeclaredFields = false;
    std::vector<TFieldDesc> FColumns;
    TRowStore FStore;
    TDataSetState FState = dsInactive;
    int FCurrent = 0;
    bool FEof = true, FBof = true;
    TRecordWriter FEditBuffer;
    TRecordWriter FOldBuffer;
    std::vector<bool> FWritten;
    bool FModified = false;
};

} // namespace vantrelo
