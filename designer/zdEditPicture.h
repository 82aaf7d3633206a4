#pragma once
// The picture dialog: load, paste, copy or clear a picture, shown with its
// size. It works on its own copy; the caller takes the picture back on OK.
// A file or clipboard content that is not a readable picture is reported
// and leaves the picture as it was.

#include "Graphics.h"

#include <QDialog>

class QLabel;
class QScrollArea;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace zd::picture {
// The open dialog's filter.
QString fileFilter();
// Loads FileName into Picture; false (after the message) when it cannot be
// read as a picture, Picture unchanged.
bool loadFile(plat::TPicture& Picture, const QString& FileName);
// Takes a picture from the clipboard; false (after "Invalid image format")
// when it holds none, Picture unchanged.
bool paste(plat::TPicture& Picture);
// Puts the picture on the clipboard as PNG; nothing for an empty picture.
void copy(const plat::TPicture& Picture);
// The status text: "Prázdný" or "width x height".
QString statusText(const plat::TPicture& Picture);
} // namespace zd::picture

class TzdPictureEditorForm : public QDialog {
public:
    explicit TzdPictureEditorForm(QWidget* parent = nullptr);

    plat::TPicture& Picture() { return m_picture; }
    // Shows the picture as it now is.
    void UpdateImage();

    QToolBar* ToolBar;
    QToolButton *LoadB, *CopyB, *PasteB, *ClearB, *CancelB, *OkB;
    QScrollArea* ScrollBox;
    QLabel* Image;
    QStatusBar* StatusBar;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    plat::TPicture m_picture;
};
