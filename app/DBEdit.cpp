#include "app/DBEdit.h"

#include <QApplication>
#include <QKeyEvent>

namespace vantrelo {
namespace {

// Keys that change the text, and so need the record in edit state first.
bool ChangesText(const QKeyEvent& e) {
    if (e.matches(QKeySequence::Paste) || e.matches(QKeySequence::Cut) || e.matches(QKeySequence::Undo) ||
        e.matches(QKeySequence::Redo) || e.matches(QKeySequence::DeleteEndOfWord) ||
        e.matches(QKeySequence::DeleteStartOfWord) || e.matches(QKeySequence::DeleteEndOfLine))
        return true;
    if (e.key() == Qt::Key_Backspace || e.key() == Qt::Key_Delete) return true;
    return !e.text().isEmpty() && e.text().at(0).isPrint() && !(e.modifiers() & Qt::ControlModifier);
}

} // namespace

TDBEdit::TDBEdit(TRecordLink& link, std::u16string fieldName, bool editable, QWidget* parent)
    : QLineEdit(parent), FLink(link), FFieldName(std::move(fieldName)) {
    setReadOnly(!editable);
    setAcceptDrops(false);
    TField& field = FLink.Field(FFieldName);
    if (field.DataType() == ftString && field.Size() > 0) setMaxLength(field.Size());
    if (NumericField()) setMaxLength(9);  // always fits a 32-bit integer
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) { Guarded(FLink.Dialogs(), [&] { Edited(text); }); });
    FLink.Add(*this);
}

bool TDBEdit::NumericField() {
    TFieldType t = FLink.Field(FFieldName).DataType();
    return t == ftInteger || t == ftSmallint || t == ftLargeint || t == ftWord;
}

void TDBEdit::Reload() {
    int cursor = cursorPosition();
    setText(QString::fromStdU16String(FLink.Field(FFieldName).AsString()));
    setCursorPosition(std::min<int>(cursor, text().size()));
}

void TDBEdit::keyPressEvent(QKeyEvent* event) {
    if (isReadOnly() || !ChangesText(*event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // A code box takes digits only, as its integer column would.
    if (NumericField() && !event->text().isEmpty() && event->text().at(0).isPrint() && !event->text().at(0).isDigit()) {
        QApplication::beep();
        return;
    }
    bool editable = false;
    Guarded(FLink.Dialogs(), [&] { editable = FLink.BeginEdit(); });
    if (!editable) {
        QApplication::beep();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDBEdit::Edited(const QString& text) {
    bool wasEditing = FLink.Editing();
    if (!FLink.BeginEdit()) {
        Reload();
        return;
    }
    if (!wasEditing) setText(text);  // a change that bypassed the keyboard: keep what was entered
    TField& field = FLink.Field(FFieldName);
    if (text.isEmpty()) field.Clear();
    else field.SetAsString(text.toStdU16String());
    FLink.Changed();
}

} // namespace vantrelo
