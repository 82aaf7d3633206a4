#pragma once
// Undo by whole snapshots and the designer's clipboard.
//
// A snapshot is the template XML of the report (or of the edited prepared
// page) kept in memory; undo reloads the one before the last. Pictures stay
// out of snapshots and clipboard text: picture objects travel as their
// index into the designer's picture cache.
//
// The clipboard carries objects as plain text behind the header line
// "#ZD3 clipboard#", through the user-interface services' clipboard, so
// that objects move between designer windows and reports. Pasting accepts
// only objects that can be placed on a page (bands, views, dialog
// components) and that fit the shown page; anything else is refused and
// the refusals are reported.

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace plat {
class TMemoryStream;
} // namespace plat

class TzdComponent;
class TzdPictureCache;

class TzdUndoBuffer {
public:
    TzdUndoBuffer();
    ~TzdUndoBuffer();
    TzdUndoBuffer(const TzdUndoBuffer&) = delete;
    TzdUndoBuffer& operator=(const TzdUndoBuffer&) = delete;

    void AddUndo(TzdComponent* Obj);
    void AddRedo(TzdComponent* Obj);
    // Loads the next-to-last undo snapshot into Obj and drops the last.
    void GetUndo(TzdComponent* Obj);
    // Loads the last redo snapshot into Obj and drops it.
    void GetRedo(TzdComponent* Obj);
    // Loads the last undo snapshot into Obj and drops it (the state before
    // a preview run).
    void RestoreLast(TzdComponent* Obj);
    void ClearUndo();
    void ClearRedo();
    int UndoCount() const { return static_cast<int>(m_undo.size()); }
    int RedoCount() const { return static_cast<int>(m_redo.size()); }

    TzdPictureCache* PictureCache = nullptr; // not owned

private:
    std::unique_ptr<plat::TMemoryStream> snapshot(TzdComponent* Obj);
    void load(TzdComponent* Obj, plat::TMemoryStream& Stream);

    std::vector<std::unique_ptr<plat::TMemoryStream>> m_undo;
    std::vector<std::unique_ptr<plat::TMemoryStream>> m_redo;
};

namespace plat {
class TClass;
} // namespace plat

namespace zd {
class DesignerModel;
// Why an object of the class may not go onto the page (a dialog control
// on a report page, a memo on a dialog page, ...); empty when it may.
QString placementRefusal(const plat::TClass* Cls, TzdComponent* Page);
} // namespace zd

class TzdClipboard {
public:
    explicit TzdClipboard(zd::DesignerModel* Designer);

    static const char* const kHeader; // "#ZD3 clipboard#"

    // The selection of the shown page as clipboard text.
    QString CopyText() const;
    // CopyText onto the system clipboard.
    void Copy();
    // True when the clipboard's text starts with the header; false also
    // when the clipboard cannot be read.
    bool HasData() const;
    // Creates the objects of the clipboard text on the shown page; what was
    // refused, and why, is left in Refusals.
    void Paste();
    void PasteText(const QString& Text);

    QStringList Refusals;
    TzdPictureCache* PictureCache = nullptr; // not owned

private:
    zd::DesignerModel* m_designer;
};
