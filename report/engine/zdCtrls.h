#pragma once
// The report library's own controls, shared by the preview, the designer
// and its dialogs:
// - TzdScrollWin: a scrolling window whose ranges, pages and positions its
//   descendant sets; it scrolls nothing itself and leaves the mouse wheel
//   to its users;
// - TzdCustomComboBox / TzdComboBox: a flat drop-down combo box with hot
//   tracking, a read-only mode and a list wider than the box;
// - TzdFontComboBox with its sample window TzdFontPreview: the installed
//   fonts with the five recently chosen ones on top;
// - TzdComboEdit: an edit box with a small button at its right end.
// Colours are the platform's colour values, system colours resolved when
// drawn. The rules these controls follow are in zdCtrls_model.h.

#include "Controls.h"
#include "zdCtrls_model.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>

#include <functional>
#include <memory>

class QLabel;
class QPainter;
class QToolButton;

namespace plat {
class TCustomIniFile;
}

namespace zd {
// The font's text height (ascent + descent) on the screen.
int fontTextHeight(const QFont& font);
} // namespace zd

// ------------------------------------------------------------ TzdScrollWin

class TzdScrollWin : public QAbstractScrollArea {
public:
    explicit TzdScrollWin(QWidget* parent = nullptr);
    ~TzdScrollWin() override;

    plat::TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(plat::TBorderStyle value);
    plat::TColor Color() const { return m_color; }
    void SetColor(plat::TColor value);

    int HorzRange() const { return m_horz.Range; }
    int VertRange() const { return m_vert.Range; }
    int HorzPage() const { return m_horz.Page; }
    int VertPage() const { return m_vert.Page; }
    int HorzPosition() const { return m_horz.Position; }
    int VertPosition() const { return m_vert.Position; }
    void SetHorzRange(int Value);
    void SetVertRange(int Value);
    void SetHorzPage(int Value);
    void SetVertPage(int Value);
    // Clamped to 0 .. range - page; a change calls the PositionChanged operation.
    void SetHorzPosition(int Value);
    void SetVertPosition(int Value);

    int SmallChange() const { return m_smallChange; }
    void SetSmallChange(int value) { m_smallChange = value; }
    int LargeChange() const { return m_largeChange; }
    void SetLargeChange(int value) { m_largeChange = value; }

    // A command of a scroll bar (the bars send theirs through here).
    void WMHScroll(zd::ScrollCode code);
    void WMVScroll(zd::ScrollCode code);

protected:
    // After the position really changed; descendants scroll their contents.
    virtual void HorzPositionChanged() {}
    virtual void VertPositionChanged() {}
    // Paints the client area; the base fills it with the control's colour.
    virtual void PaintContent(QPainter& painter);

    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    // The window wants arrows, Tab and every other key.
    bool focusNextPrevChild(bool next) override;

private:
    void UpdateScrollBar(Qt::Orientation bar);
    void setPosition(Qt::Orientation bar, qint64 value);
    void scrollCommand(Qt::Orientation bar, zd::ScrollCode code, int trackPosition);
    void barAction(Qt::Orientation bar, int action);

    plat::TBorderStyle m_borderStyle = plat::bsSingle;
    plat::TColor m_color;
    zd::ScrollAxis m_horz;
    zd::ScrollAxis m_vert;
    int m_smallChange = 1;
    int m_largeChange = 10;
    bool m_updatingBars = false;
};

// ------------------------------------------------------------ combo boxes

class TzdCustomComboBox : public QComboBox {
public:
    explicit TzdCustomComboBox(QWidget* parent = nullptr);
    ~TzdCustomComboBox() override;

    // 0: the list is as wide as the box.
    int ListWidth() const { return m_listWidth; }
    void SetListWidth(int value) { m_listWidth = value; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value);
    int DropDownCount() const { return m_dropDownCount; }
    void SetDropDownCount(int value);
    int ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int value);
    int TextIndent() const { return m_textIndent; }
    plat::TColor Color() const { return m_color; }
    void SetColor(plat::TColor value);
    bool Sorted() const { return m_sorted; }
    // Sorts the items ignoring case; AddItem then keeps them sorted.
    void SetSorted(bool value);
    void AddItem(const QString& text);

    QString Text() const;
    void SetText(const QString& text);

    // The state the border and button are drawn in.
    bool IsHot() const;
    zd::ComboButtonState ButtonState() const;
    // Set each time the list is positioned.
    bool ListOpensUpwards() const { return m_opensUpwards; }
    bool ListOpen() const { return m_listOpen; }

    // OnChange: the text changed; OnClick: an item was chosen from the
    // list; OnDropDown: the list is about to open.
    std::function<void()> OnChange;
    std::function<void()> OnClick;
    std::function<void()> OnDropDown;

    void showPopup() override;
    void hidePopup() override;

    // Draws one row of the open list (the item delegate calls it).
    virtual void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected);

protected:
    // Paints the area left of the edit text for item Index; the base fills
    // it with the window colour when there is an indent.
    virtual void DrawEditImage(QPainter& painter, int Index, const plat::TRect& rect);
    virtual void Click();
    virtual void ListOpened() {}
    virtual void ListClosed() {}
    void SetTextIndent(int value);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeEdit();
    void editEdited(const QString& text);
    void paintButton(QPainter& painter);

    int m_listWidth = 0;
    bool m_readOnly = false;
    int m_dropDownCount = 8;
    int m_itemHeight = 0;
    int m_textIndent = 0;
    plat::TColor m_color;
    bool m_sorted = false;
    bool m_mouseInside = false;
    bool m_listOpen = false;
    bool m_opensUpwards = false;
    bool m_placingEdit = false;
};

class TzdComboBox : public TzdCustomComboBox {
public:
    explicit TzdComboBox(QWidget* parent = nullptr);
};

class TzdFontPreview : public QWidget {
public:
    explicit TzdFontPreview(QWidget* combo);
    // Shows the font's name in that font.
    void ShowFont(const QString& name);
    QLabel* Panel() const { return m_panel; }

private:
    QLabel* m_panel;
};

class TzdFontComboBox : public TzdCustomComboBox {
public:
    explicit TzdFontComboBox(QWidget* parent = nullptr);
    ~TzdFontComboBox() override;

    bool ShowMRU() const { return m_showMRU; }
    void SetShowMRU(bool value) { m_showMRU = value; }
    QString MRURegKey() const { return m_mruRegKey; }
    // An empty value stores the default key.
    void SetMRURegKey(const QString& value);
    // The settings that keep the recent fonts; the combo owns them. Setting
    // them reads the recent fonts into the list.
    plat::TCustomIniFile* MRUSettings() const { return m_mruSettings.get(); }
    void SetMRUSettings(std::unique_ptr<plat::TCustomIniFile> settings);
    int MRULast() const { return m_fonts.MRULast(); }
    // The font-type bits of item index.
    int FontType(int index) const;
    TzdFontPreview* Preview() const { return m_preview; }

    // Rebuilds the list from the installed fonts.
    virtual void FillFontList();
    // The end of loading: fills the list and selects the first item when
    // the text is not in it. The system's font-change notice does the same.
    void Loaded();

    // Fired after the inherited click, never while the list is being filled.
    std::function<void()> OnClick;

    void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) override;

    // The glyphs of TrueType and device fonts (null when not available).
    static const QPixmap& TrueTypeGlyph();
    static const QPixmap& DeviceGlyph();

protected:
    void DrawEditImage(QPainter& painter, int Index, const plat::TRect& rect) override;
    void Click() override;
    void ListOpened() override;
    void ListClosed() override;
    void changeEvent(QEvent* event) override;

private:
    void syncItems(int selected);
    void chosen(int index);
    static const QPixmap* glyphOf(int fontType);

    bool m_showMRU = true;
    QString m_mruRegKey;
    std::unique_ptr<plat::TCustomIniFile> m_mruSettings;
    zd::FontList m_fonts;
    TzdFontPreview* m_preview = nullptr;
    bool m_filling = false;
    bool m_closingList = false;
};

// ------------------------------------------------------------ TzdComboEdit

class TzdComboEdit : public QLineEdit {
public:
    explicit TzdComboEdit(QWidget* parent = nullptr);

    QPixmap Glyph() const { return m_glyph; }
    void SetGlyph(const QPixmap& glyph);
    bool ButtonEnabled() const { return m_buttonEnabled; }
    void SetButtonEnabled(bool value);
    QString ButtonHint() const;
    void SetButtonHint(const QString& hint);
    QToolButton* Button() const { return m_button; }

    // Clicking the button focuses the edit first.
    std::function<void()> OnButtonClick;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void placeButton();

    QWidget* m_panel;
    QToolButton* m_button;
    QPixmap m_glyph;
    bool m_buttonEnabled = true;
};
