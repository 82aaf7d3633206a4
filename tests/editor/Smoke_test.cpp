#include "EditorFixture.h"
#include "PlainEditHighlighter.h"
#include "PlainEditKbdHandler.h"
#include "PlainEditTextBuffer.h"
#include "PlainEditWordWrap.h"
#include "PlainTextDrawer.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// The model's headers bring in no widget.
#if defined(QWIDGET_H) || defined(QABSTRACTSCROLLAREA_H) || defined(QAPPLICATION_H)
#error "a widget header reached the editor model"
#endif

using namespace edtest;

TEST(EditorSmoke, TypingAndUndo)
{
    auto e = editorWith({"abc", "def"});
    e->MoveCaret({2, 1});
    type(*e, "xy");
    EXPECT_EQ(dumpEditor(*e), "axy|bc\ndef");
    e->Undo();
    EXPECT_EQ(dumpEditor(*e), "a|bc\ndef");
    e->Redo();
    EXPECT_EQ(editorLines(*e), "axybc\ndef");
}

TEST(EditorSmoke, RunsWithoutAnApplicationObject)
{
    // No application object exists in this program, so no widget can.
    auto e = editorWith({"abc", "def"});
    e->SetWordWrap(true);
    e->CommandProcessor(ecSelectAll, QChar());
    e->CommandProcessor(ecUpperCaseBlock, QChar());
    EXPECT_EQ(editorLines(*e), "ABC\nDEF");
    EXPECT_EQ(QCoreApplication::instance(), nullptr);
}
