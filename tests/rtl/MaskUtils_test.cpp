// Edit masks laid over values.

#include "FormatSettings.h"
#include "MaskUtils.h"

#include "../TestUtil.h"

#include <gtest/gtest.h>

#include <vector>

using namespace plat;


namespace {

class FormatMaskTextTest : public ::testing::Test {
protected:
    void SetUp() override { m_saved = FormatSettings(); }
    void TearDown() override { FormatSettings() = m_saved; }

private:
    TFormatSettings m_saved;
};

} // namespace

TEST_F(FormatMaskTextTest, MaskTable)
{
    FormatSettings() = TFormatSettings::english();
    struct Case { const char* mask; const char* value; const char* expected; };
    const std::vector<Case> cases = {
        // literals not saved: the value holds only the data characters
        {"!(999)000-0000;0;_", "5551234567", "(555)123-4567"},
        {"000-00;0;_", "12345", "123-45"},
        {"000-00;0;_", "12", "12 -  "},                  // missing characters become blanks
        {"00;0;_", "1234", "1234"},                       // characters beyond the mask are kept
        {"!999-99;0;_", "12", "   -12"},                 // '!' aligns the value to the right
        {"!99;0;_", "1234", "1234"},
        // literals saved: the value holds them already
        {"000-00;1;_", "123-45", "123-45"},
        {"000-00;1;_", "12345", "123-45"},               // a missing literal is put in
        {"000-00", "123-45", "123-45"},                  // without the fields literals are saved
        {"!000-00;1;_", "1-23", "  1-23"},
        // directives and special characters
        {">LL<ll;0;_", "abCD", "ABcd"},
        {">L<>l;0;_", "ab", "Ab"},                       // "<>" switches conversion off
        {"\\000;0;_", "12", "012"},                      // '\' makes the next character a literal
        {"\\\\00;0;_", "12", "\\12"},                    // an escaped backslash
        {"000_000;0;_", "123456", "123 456"},            // '_' stands for a blank
        {"\\_00;0;_", "12", "_12"},
        {"00/00/0000;0;_", "05032024", "05/03/2024"},   // ':' and '/' are the locale's separators
        {"00:00;0;_", "1230", "12:30"},
        {"AaCcLl90#;0;_", "x1 ?Ab12-", "x1 ?Ab12-"},    // the value is laid out, not validated
        {"", "abc", "abc"},
        {"000;0;*", "", "   "},                          // the blank field is for editing; text pads with spaces
        {"(000);0", "12", "(12 )"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatMaskText(QString::fromUtf8(c.mask), QString::fromUtf8(c.value)), QString::fromUtf8(c.expected))
            << c.mask << " / " << c.value;
    }
}

TEST_F(FormatMaskTextTest, SeparatorsFollowTheLocale)
{
    FormatSettings() = TFormatSettings::czech();
    EXPECT_EQ(FormatMaskText(u"00/00/0000;0;_"_qs, u"05032024"_qs), u"05.03.2024");
    EXPECT_EQ(FormatMaskText(u"!90:00;0;_"_qs, u"930"_qs), u" 9:30");
    FormatSettings().TimeSeparator = u'.';
    EXPECT_EQ(FormatMaskText(u"00:00;0;_"_qs, u"1230"_qs), u"12.30");
}

TEST_F(FormatMaskTextTest, EarlySemicolonIsALiteral)
{
    // Only the last four characters can hold the save and blank fields.
    EXPECT_EQ(FormatMaskText(u"00;00-00;0;_"_qs, u"123456"_qs), u"12;34-56");
}
