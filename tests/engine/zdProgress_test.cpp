// The progress window: Cancel and Escape, the disabled window behind it,
// and where its message sits with and without the bar.

#include "zdProgress.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A window made active, as the one the user worked in.
std::unique_ptr<QWidget> activeWindow()
{
    auto w = std::make_unique<QWidget>();
    w->resize(200, 100);
    w->show();
    QApplication::setActiveWindow(w.get());
    return w;
}

} // namespace

TEST(ProgressWindow, EscapeCancelsAndHides)
{
    TzdProgress p;
    p.Execute(0, QStringLiteral("Tisk strany 1"), true, false);
    EXPECT_TRUE(p.isVisible());
    EXPECT_EQ(p.LMessage->text(), QStringLiteral("Tisk strany 1"));
    EXPECT_EQ(p.CancelB->text(), QString::fromUtf8("Zrušit"));
    QTest::keyClick(&p, Qt::Key_Escape);
    EXPECT_TRUE(p.Terminated());
    EXPECT_FALSE(p.isVisible());
}

TEST(ProgressWindow, CancelButtonSetsTerminatedAndANewRunClearsIt)
{
    TzdProgress p;
    p.Execute(0, QString(), true, false);
    QTest::mouseClick(p.CancelB, Qt::LeftButton);
    EXPECT_TRUE(p.Terminated());
    p.Execute(0, QString(), true, false);
    EXPECT_FALSE(p.Terminated());
    EXPECT_TRUE(p.isVisible());
}

TEST(ProgressWindow, TheActiveWindowIsDisabledUntilTheProgressGoes)
{
    auto main = activeWindow();
    ASSERT_EQ(QApplication::activeWindow(), main.get());
    {
        TzdProgress p;
        p.Execute(0, QString(), true, false);
        EXPECT_FALSE(main->isEnabled());
    }
    EXPECT_TRUE(main->isEnabled());
    // Hiding gives it back as well; freeing afterwards does no harm.
    QApplication::setActiveWindow(main.get());
    auto p = std::make_unique<TzdProgress>();
    p->Execute(0, QString(), true, false);
    EXPECT_FALSE(main->isEnabled());
    p->SetTerminated(true);
    EXPECT_TRUE(main->isEnabled());
    p.reset();
    EXPECT_TRUE(main->isEnabled());
}

TEST(ProgressWindow, MessageSitsInTheMiddleWithoutTheBar)
{
    TzdProgress p;
    p.Execute(10, QStringLiteral("x"), false, false);
    EXPECT_EQ(p.LMessage->y(), 35);
    EXPECT_FALSE(p.Bar->isVisible());
    EXPECT_FALSE(p.CancelB->isVisible());
    p.Execute(10, QStringLiteral("x"), true, true);
    EXPECT_EQ(p.LMessage->y(), 15);
    EXPECT_TRUE(p.Bar->isVisible());
    p.SetPosition(4);
    EXPECT_EQ(p.Bar->value(), 4);
    EXPECT_EQ(p.Bar->maximum(), 10);
    EXPECT_EQ(p.size(), QSize(271, 101));
}
