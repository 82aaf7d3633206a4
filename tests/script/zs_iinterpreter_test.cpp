#include "Exceptions.h"
#include "StringList.h"
#include "zs_iinterpreter.h"

#include "zs_test_util.h"

#include <gtest/gtest.h>

namespace {

QString raisedMessage(const QString& language)
{
    try {
        zsGetLanguage(language);
    } catch (const plat::Exception& e) {
        return e.message();
    }
    return QStringLiteral("(nothing raised)");
}

} // namespace

TEST(ZsLanguages, BuiltinsInRegistrationOrder)
{
    EXPECT_EQ(zsGetLanguageNames(),
              (QStringList{QStringLiteral("JScript"), QStringLiteral("BasicScript"), QStringLiteral("C++Script"),
                           QStringLiteral("PascalScript")}));
    plat::TStringList list;
    list.Add(QStringLiteral("stale"));
    zsGetLanguageList(list);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Strings(0), QStringLiteral("JScript"));
    EXPECT_EQ(list.Strings(3), QStringLiteral("PascalScript"));
}

TEST(ZsLanguages, LookupIgnoresCaseAndUnknownNamesRaise)
{
    EXPECT_TRUE(zsGetLanguage(QStringLiteral("pascalscript")).contains(QStringLiteral("<language text=\"PascalScript\">")));
    EXPECT_EQ(raisedMessage(QStringLiteral("Cobol")), QStringLiteral("Language 'Cobol' not found"));
}

TEST(ZsLanguages, ReRegisteringReplacesInPlaceAndHiddenNamesAreNotListed)
{
    const QString original = zsGetLanguage(QStringLiteral("JScript"));
    zsRegisterLanguage(QStringLiteral("jscript"), QStringLiteral("<?xml version=\"1.0\"?><language/>"));
    EXPECT_EQ(zsGetLanguage(QStringLiteral("JScript")), QStringLiteral("<?xml version=\"1.0\"?><language/>"));
    EXPECT_EQ(zsGetLanguageNames().first(), QStringLiteral("JScript"));
    zsRegisterLanguage(QStringLiteral("JScript"), original);

    zsRegisterLanguage(QStringLiteral("@Hidden"), QStringLiteral("<?xml?><language/>"));
    EXPECT_FALSE(zsGetLanguageNames().contains(QStringLiteral("@Hidden")));
    EXPECT_EQ(zsGetLanguage(QStringLiteral("@hidden")), QStringLiteral("<?xml?><language/>"));
}

TEST(ZsMessages, DefaultsAndReplacementByKey)
{
    EXPECT_EQ(zsMessageKeys().size(), 17);
    EXPECT_EQ(zsGetMessage(QStringLiteral("SIdRedeclared")), QStringLiteral("Identifier redeclared: "));
    EXPECT_EQ(zsGetMessage(QStringLiteral("SEventError")), QStringLiteral("Event handler must be a procedure"));
    EXPECT_EQ(zs::message(zs::Msg::SClassError, QStringLiteral("TFoo")),
              QStringLiteral("Class TFoo does not have a default property"));
    EXPECT_FALSE(zsSetMessage(QStringLiteral("NoSuchKey"), QStringLiteral("x")));
    ASSERT_TRUE(zsSetMessage(QStringLiteral("SLangNotFound"), QStringLiteral("Jazyk '%s' nenalezen")));
    EXPECT_EQ(raisedMessage(QStringLiteral("Cobol")), QStringLiteral("Jazyk 'Cobol' nenalezen"));
    zsResetMessages();
    EXPECT_EQ(zsGetMessage(QStringLiteral("SLangNotFound")), QStringLiteral("Language '%s' not found"));
}
