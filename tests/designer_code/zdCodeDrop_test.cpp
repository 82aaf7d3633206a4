// The data tree and the code editor together: a node dragged from the tree
// lands where the mouse lets go, drags from elsewhere or of nodes without
// a text are refused; in the designer window a double click on a node
// inserts its text at the caret, Ctrl+E shows the code page and F1 opens
// the help of the page shown.

#include "CodeTestUtil.h"
#include "zdDataTree.h"
#include "zdDesgnForm.h"
#include "zdSyntaxMemo.h"

#include <QAction>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QTabBar>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// The widget of class T (a class without its own meta-object, so found by
// its C++ type).
template <class T>
T* findWidget(QWidget* Window)
{
    for (QWidget* w : Window->findChildren<QWidget*>())
        if (auto* t = dynamic_cast<T*>(w))
            return t;
    return nullptr;
}

QTreeWidgetItem* findNode(QTreeWidget* Tree, const QString& Text)
{
    const QList<QTreeWidgetItem*> found = Tree->findItems(Text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

struct CodeDrop : ::testing::Test, codetest::CodeFixture {
    TzdDataTreeForm tree;

    CodeDrop()
    {
        tree.SetReport(&report);
        tree.UpdateItems();
        tree.SetActiveTab(TzdDataTreeForm::tabVariables);
        page->AttachDataTree(&tree);
    }
    TzdSyntaxMemo* memo() { return page->CodeWindow(); }
    zd::SyntaxMemoModel& editor() { return memo()->Model(); }
    QTreeWidget* variables() { return tree.Tree(TzdDataTreeForm::tabVariables); }
    // The viewport point in the middle of a cell (1-based column and line).
    QPoint cellCentre(int Column, int Line)
    {
        return memo()->CellOrigin(Column, Line) + QPoint(memo()->CellWidth() / 2, memo()->CellHeight() / 2);
    }
    void show()
    {
        tree.resize(250, 400);
        tree.move(700, 0);
        tree.show();
        page->move(0, 0);
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    }
};

} // namespace

TEST_F(CodeDrop, ANodeDraggedFromTheTreeIsInsertedWhereTheMouseLetsGo)
{
    show();
    QTreeWidgetItem* node = findNode(variables(), QStringLiteral("Page#"));
    ASSERT_NE(node, nullptr);
    variables()->setCurrentItem(node);
    // Typing before the drag: the drop is an undo step of its own.
    editor().SetCaretPos(1, 1);
    editor().KeyPress(u'q');
    // The drag moves over line 2, then lets go on line 9 ("  X := 41;")
    // after "X". (The offscreen platform runs no drag loop of its own, so
    // the editor's drag events are called as the platform's loop would.)
    EXPECT_TRUE(memo()->DragOver(variables(), cellCentre(2, 2)));
    EXPECT_EQ(editor().CaretPos(), (zd::MemoPos{2, 2}));
    memo()->DragDrop(variables(), cellCentre(4, codetest::kMainLine));
    EXPECT_EQ(editor().Line(codetest::kMainLine), QStringLiteral("  X<Page#> := 41;"));
    EXPECT_EQ(editor().Line(2), codetest::sampleScript().at(1));
    EXPECT_EQ(editor().CaretPos(), (zd::MemoPos{11, codetest::kMainLine}));
    EXPECT_EQ(QApplication::focusWidget(), memo());
    EXPECT_TRUE(model->Modified);
    // One undo takes the drop back and keeps the typing.
    editor().Undo();
    QStringList typed = codetest::sampleScript();
    typed[0].prepend(u'q');
    EXPECT_EQ(memo()->Lines(), typed);
}

TEST_F(CodeDrop, QtDropEventsWithoutTheTreeAsSourceChangeNothing)
{
    show();
    QMimeData data;
    data.setText(QStringLiteral("Page#"));
    const QPointF at = cellCentre(3, 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(memo()->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(memo()->viewport(), &drop);
    EXPECT_FALSE(drop.isAccepted());
    EXPECT_EQ(memo()->Lines(), codetest::sampleScript());
}

TEST_F(CodeDrop, DragsFromElsewhereOrOfNodesWithoutTextAreRefused)
{
    show();
    const QStringList before = memo()->Lines();
    editor().SetCaretPos(1, 1);
    QLabel other;
    // A category node (the system variables) has no text to give.
    QTreeWidgetItem* category = variables()->topLevelItem(0);
    ASSERT_NE(category, nullptr);
    variables()->setCurrentItem(category);
    EXPECT_FALSE(memo()->DragOver(variables(), cellCentre(3, 2)));
    memo()->DragDrop(variables(), cellCentre(3, 2));
    QTreeWidgetItem* node = findNode(variables(), QStringLiteral("Page#"));
    ASSERT_NE(node, nullptr);
    variables()->setCurrentItem(node);
    EXPECT_FALSE(memo()->DragOver(&other, cellCentre(3, 2)));
    memo()->DragDrop(&other, cellCentre(3, 2));
    memo()->DragDrop(nullptr, cellCentre(3, 2));
    EXPECT_EQ(memo()->Lines(), before);
    EXPECT_EQ(editor().CaretPos(), (zd::MemoPos{1, 1}));
    EXPECT_FALSE(model->Modified);
    // The tree's own node is taken, and the caret shows where it would go.
    EXPECT_TRUE(memo()->DragOver(variables(), cellCentre(3, 2)));
    EXPECT_EQ(editor().CaretPos(), (zd::MemoPos{3, 2}));
}

TEST_F(CodeDrop, AFunctionNodeDropsItsCallBeyondTheEndOfALine)
{
    show();
    tree.SetActiveTab(TzdDataTreeForm::tabFunctions);
    QTreeWidget* functions = tree.Tree(TzdDataTreeForm::tabFunctions);
    QTreeWidgetItem* node = nullptr;
    for (QTreeWidgetItemIterator it(functions); *it && !node; ++it)
        if ((*it)->childCount() == 0 && (*it)->text(0).startsWith(u"IntToStr("))
            node = *it;
    ASSERT_NE(node, nullptr);
    functions->setCurrentItem(node);
    // Past the end of "end." the line is padded up to the drop.
    memo()->DragDrop(functions, cellCentre(8, 10));
    EXPECT_EQ(editor().Line(10), QStringLiteral("end.   IntToStr()"));
}

// ---------------------------------------------------------------- the window

namespace {

struct CodeWindow : ::testing::Test {
    codetest::UnitsStarted units;
    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    TzdReport report;
    std::unique_ptr<TzdDesignerForm> form;

    CodeWindow()
    {
        report.LoadFromFile(QStringLiteral(SORVAMET_TEST_DATA "/script.zd3"));
        form = std::make_unique<TzdDesignerForm>(new zd::DesignerModel(nullptr, &report, false), nullptr, true);
        form->resize(1000, 700);
    }
    ~CodeWindow() override { form.reset(); }
    void open()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QTest::qWaitForWindowActive(form.get());
    }
    TzdSyntaxMemo* memo() { return findWidget<TzdSyntaxMemo>(form.get()); }
    TzdDataTreeForm* dataTree() { return findWidget<TzdDataTreeForm>(form.get()); }
    QStringList helpOpened() const
    {
        QStringList targets;
        for (const plat::ServiceCall& c : ui.CallsOf(QStringLiteral("ShellOpen")))
            targets << c.text;
        return targets;
    }
};

} // namespace

TEST_F(CodeWindow, CtrlEShowsTheCodePageFromADesignPage)
{
    open();
    ASSERT_TRUE(form->Model().SelectTab(1));
    form->syncFromModel();
    ASSERT_NE(form->PageTabs()->currentIndex(), 0);
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(form->Model().CurrentTab(), 0);
    EXPECT_EQ(form->PageTabs()->currentIndex(), 0);
    ASSERT_NE(memo(), nullptr);
    EXPECT_TRUE(memo()->isVisible());
}

TEST_F(CodeWindow, ADoubleClickInTheDataTreeInsertsTheNodeAtTheCaretOnTheCodePage)
{
    open();
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(form->Model().CurrentTab(), 0);
    ASSERT_NE(memo(), nullptr);
    ASSERT_NE(dataTree(), nullptr);
    memo()->Model().SetCaretPos(3, 4);
    dataTree()->SetActiveTab(TzdDataTreeForm::tabVariables);
    QTreeWidget* tree = dataTree()->Tree(TzdDataTreeForm::tabVariables);
    QTreeWidgetItem* node = findNode(tree, QStringLiteral("Date"));
    ASSERT_NE(node, nullptr);
    tree->setCurrentItem(node);
    emit tree->itemDoubleClicked(node, 0);
    EXPECT_EQ(memo()->Model().Line(4), QStringLiteral("  <Date>ends := 42;"));
    EXPECT_TRUE(form->Model().Modified);
}

TEST_F(CodeWindow, F1OpensTheHelpOfThePageShown)
{
    open();
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(form->Model().CurrentTab(), 0);
    QTest::keyClick(memo(), Qt::Key_F1);
    ASSERT_TRUE(form->Model().SelectTab(1));
    form->syncFromModel();
    QTest::keyClick(form.get(), Qt::Key_F1);
    const QStringList opened = helpOpened();
    ASSERT_EQ(opened.size(), 2) << opened.join(u'|').toStdString();
    EXPECT_TRUE(opened[0].endsWith(QStringLiteral("/Script.htm"))) << opened[0].toStdString();
    EXPECT_TRUE(opened[1].endsWith(QStringLiteral("/Designer.htm"))) << opened[1].toStdString();
}

TEST_F(CodeWindow, TheEditCommandsOnTheCodePageAreTheEditorsOwn)
{
    open();
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(form->Model().CurrentTab(), 0);
    zd::SyntaxMemoModel& editor = memo()->Model();
    // The window's Ctrl+A and Ctrl+C would miss the editor's text.
    QTest::keyClick(memo(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(memo(), Qt::Key_C, Qt::ControlModifier);
    std::vector<plat::ServiceCall> copies = ui.CallsOf(QStringLiteral("SetClipboardText"));
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(copies[0].text.startsWith(QStringLiteral("// barvy"))) << copies[0].text.toStdString();
    // The menu's Copy takes the editor's selection too.
    editor.SetSelection({3, 4}, {7, 4});
    form->findChild<QAction*>(QStringLiteral("CopyCmd"))->trigger();
    copies = ui.CallsOf(QStringLiteral("SetClipboardText"));
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[1].text, QStringLiteral("ends"));
    // Typing and Ctrl+Z: the editor's undo takes the typing back.
    editor.ClickAt({1, 3}, false);
    QTest::keyClicks(memo(), QStringLiteral("xy"));
    ASSERT_EQ(editor.Line(3), QStringLiteral("xybegin"));
    QTest::keyClick(memo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.Line(3), QStringLiteral("begin"));
}
