#include "Exceptions.h"

#include <gtest/gtest.h>

using plat::Exception;

TEST(Exceptions, ClassNamesFollowThePlatformHierarchy)
{
    struct Case { const char* cls; const char* ancestor; bool inherits; };
    const Case cases[] = {
        {"EConvertError", "Exception", true},
        {"EDivByZero", "EIntError", true},
        {"EZeroDivide", "EMathError", true},
        {"EZeroDivide", "EIntError", false},
        {"EFOpenError", "EStreamError", true},
        {"EVariantTypeCastError", "EVariantError", true},
        {"econverterror", "EXCEPTION", true},
        {"ENoSuchThing", "Exception", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Exception::classInheritsFrom(c.cls, c.ancestor), c.inherits) << c.cls << " / " << c.ancestor;
}

TEST(Exceptions, CreatedByNameKeepsClassAndMessageThroughRethrow)
{
    auto e = Exception::create("EFOpenError", QStringLiteral("Cannot open file \"x\""));
    EXPECT_STREQ(e->className(), "EFOpenError");
    try {
        e->raise();
    } catch (const plat::EStreamError& caught) {
        EXPECT_STREQ(caught.className(), "EFOpenError");
        EXPECT_EQ(caught.message(), QStringLiteral("Cannot open file \"x\""));
        return;
    }
    FAIL() << "not caught as EStreamError";
}
