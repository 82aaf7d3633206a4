#pragma once
// The designer's editor dialogs as a replaceable service: component and
// property editors ask for a dialog here and act on its answer, so that they
// stay model code and tests answer the dialogs with a scripted double. The
// dialog windows install the real service when the designer starts. Every
// call returns true when the user confirmed; cancelled dialogs change
// nothing they were given.

#include <QString>

#include <memory>

namespace plat {
class TPicture;
class TStrings;
} // namespace plat

class TzdComponent;
class TzdCustomFill;
class TzdCustomMemoView;
class TzdFormatCollection;
class TzdFrame;
class TzdHyperlink;
class TzdView;

class TzdDesignerDialogs {
public:
    virtual ~TzdDesignerDialogs();
    // The memo text editor on Text (edited in place).
    virtual bool EditMemoText(TzdComponent* Memo, QString& Text) = 0;
    // The string-list editor on a copy of a list.
    virtual bool EditStrings(plat::TStrings& Lines) = 0;
    // The frame dialog on a copy of a frame.
    virtual bool EditFrame(TzdFrame& Frame) = 0;
    // The fill dialog: Fill is the current fill; on OK Result holds the
    // chosen fill (possibly of another kind). ShapeMode for shapes.
    virtual bool EditFill(const TzdCustomFill* Fill, bool ShapeMode, std::unique_ptr<TzdCustomFill>& Result) = 0;
    // The picture dialog on a copy of a picture.
    virtual bool EditPicture(plat::TPicture& Picture) = 0;
    // The hyperlink dialog on the view; on OK Result holds the hyperlink.
    virtual bool EditHyperlink(TzdView* View, TzdHyperlink& Result) = 0;
    // The display-format dialog on the memo; on OK Result holds its formats.
    virtual bool EditDisplayFormat(TzdCustomMemoView* Memo, TzdFormatCollection& Result) = 0;
    // The system-memo dialog on Text (the lines, each followed by CR LF).
    virtual bool EditSysMemo(TzdComponent* Memo, QString& Text) = 0;
    // Dialogs that edit their object themselves.
    virtual bool EditPage(TzdComponent* Page) = 0;
    virtual bool EditDataBand(TzdComponent* Band) = 0;
    virtual bool EditGroupHeader(TzdComponent* Band) = 0;
    virtual bool EditBarcode(TzdComponent* Barcode) = 0;
};

// The service in use; without one, EInvalidOperation "No designer dialogs installed".
TzdDesignerDialogs& zdDesignerDialogs();
// Installs Dialogs (not owned); returns the previous service.
TzdDesignerDialogs* zdSetDesignerDialogs(TzdDesignerDialogs* Dialogs);

class TzdScopedDesignerDialogs {
public:
    explicit TzdScopedDesignerDialogs(TzdDesignerDialogs& Dialogs) : m_previous(zdSetDesignerDialogs(&Dialogs)) {}
    ~TzdScopedDesignerDialogs() { zdSetDesignerDialogs(m_previous); }
    TzdScopedDesignerDialogs(const TzdScopedDesignerDialogs&) = delete;
    TzdScopedDesignerDialogs& operator=(const TzdScopedDesignerDialogs&) = delete;

private:
    TzdDesignerDialogs* m_previous;
};
