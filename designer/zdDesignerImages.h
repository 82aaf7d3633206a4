#pragma once
// The designer's button images and its custom cursors. Every picture is
// drawn here in code (16 x 16 buttons, 32 x 32 cursors), so the designer
// carries no image files; a picture is drawn once and kept for the run.

#include <QString>

class QCursor;
class QIcon;
class QPixmap;

namespace zd {

enum DesignerImage {
    imgNone,
    // standard toolbar
    imgNew, imgOpen, imgSave, imgPreview, imgNewPage, imgNewDialog, imgDeletePage, imgPageSettings,
    imgCut, imgCopy, imgPaste, imgUndo, imgRedo, imgGroup, imgUngroup,
    // text toolbar
    imgBold, imgItalic, imgUnderline, imgFont, imgFontColor, imgHighlight, imgRotate,
    imgTextLeft, imgTextCenter, imgTextRight, imgTextBlock, imgTextTop, imgTextMiddle, imgTextBottom,
    // frame toolbar
    imgFrameTop, imgFrameBottom, imgFrameLeft, imgFrameRight, imgFrameAll, imgFrameNo, imgFrameEdit,
    imgFillColor, imgFillEdit, imgFrameColor, imgFrameStyle,
    // alignment palette
    imgShowGrid, imgAlignToGrid, imgSetToGrid, imgAlignLefts, imgAlignHorzCenters, imgAlignRights,
    imgAlignTops, imgAlignVertCenters, imgAlignBottoms, imgSpaceHorz, imgSpaceVert, imgCenterHorz,
    imgCenterVert, imgSameWidth, imgSameHeight,
    // object palette
    imgSelectTool, imgHandTool, imgZoomTool, imgTextTool, imgFormatTool, imgBands, imgObject,
    imgCategory, imgWizard,
    // lists
    imgField
};

// The image by its enumeration; an empty icon for imgNone.
QIcon designerIcon(DesignerImage Image);
// The image by the name of the control that shows it ("BoldB",
// "SelectToolB"); imgNone when the control has no image of its own.
DesignerImage designerImageOf(const QString& ControlName);
// A colour button's image with the colour bar along its bottom
// (0x00BBGGRR colour).
QIcon colorBarIcon(DesignerImage Image, quint32 Color);
// An object's palette image: a box with the first letters of Caption.
QIcon objectIcon(const QString& Caption);

enum DesignerCursor {
    crHand, crHandGrab, crZoom, crText, crFormatPainter, crPencil,
    crSizeNWSE, crSizeNESW, crSizeWE, crSizeNS, crSplitV, crSplitH
};
QCursor designerCursor(DesignerCursor Cursor);
// The cursor's picture, for checks.
QPixmap designerCursorPixmap(DesignerCursor Cursor);

} // namespace zd
