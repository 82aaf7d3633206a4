// The designer's built-in string table, read back by an independent XML
// parser (xmllint, canonical form) and by the resources' own loader.

#include "CodePage.h"
#include "zdRes.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// The table's keys in table order; "A1..A9" stands for the keys A1 to A9.
const char* const kKeyList[] = {
    "2000", "oiProp", "oiEvent", "2100..2106", "dtNoData", "dtNoData1", "dtData", "dtSysVar",
    "dtVar", "dtFunc", "2200", "2300..2479", "dsCm", "dsInch", "dsPix", "dsChars", "dsCode",
    "dsData", "dsPage", "dsRepFilter", "dsComprRepFilter", "dsSavePreviewChanges",
    "dsSaveChangesTo", "dsCantLoad", "dsStyleFile", "dsCantFindProc", "dsClearScript", "dsNoStyle",
    "dsStyleSample", "dsTextNotFound", "dsReplace", "2600..2601", "2603..2604", "2700..2727",
    "2800", "2900..2910", "vaNoVar", "vaVar", "vaDupName", "3000..3032", "3100..3103",
    "dbNotAssigned", "3200..3207", "3300..3310", "agAggregate", "vt1..vt6", "3400..3403",
    "olStretched", "3500..3511", "bcCalcChecksum", "bcShowText", "3600..3605", "alUserName",
    "alOriginal", "3700", "qpName", "qpDataType", "qpValue", "3800..3805", "3900..3907",
    "4000..4004", "piEmpty", "4100..4109", "4114..4117", "4126", "ch3D", "chAxis", "chsoNone",
    "chsoAscending", "chsoDescending", "chxtText", "chxtNumber", "chxtDate", "4200..4213",
    "4300..4330", "crStName", "crResize", "crSubtotal", "crNone", "crSum", "crMin", "crMax",
    "crAvg", "crCount", "crAsc", "crDesc", "crFillMx", "crBuildMx", "4400..4401", "4500..4504",
    "fkText", "fkNumber", "fkDateTime", "fkBoolean", "fkNumber1..fkNumber4",
    "fkDateTime1..fkDateTime7", "fkBoolean1..fkBoolean4", "4600..4609", "4700..4728", "rePrnOnPort",
    "riNotInherited", "riInherited", "4800", "4900..4901", "5000..5001", "5100..5108", "5200..5203",
    "5211", "5214..5216", "5300..5303", "5400..5403", "5500..5502", "5600..5636", "wzStd", "wzDMP",
    "wzStdEmpty", "wzDMPEmpty", "5700..5714", "ftAllFiles", "ftPictures", "ftDB", "ftRichFile",
    "ftTextFile", "prNotAssigned", "prInvProp", "prDupl", "prPict", "mvExpr", "mvStretch",
    "mvStretchToMax", "mvShift", "mvShiftOver", "mvVisible", "mvPrintable", "mvFont", "mvFormat",
    "mvClear", "mvAutoWidth", "mvWWrap", "mvSuppress", "mvHideZ", "mvHTML", "lvDiagonal",
    "pvAutoSize", "pvCenter", "pvAspect", "bvSplit", "bvKeepChild", "bvPrintChild", "bvStartPage",
    "bvPrintIfEmpty", "bvKeepDetail", "bvKeepFooter", "bvReprint", "bvOnFirst", "bvOnLast",
    "bvKeepGroup", "bvFooterAfterEach", "bvDrillDown", "bvResetPageNo", "srParent", "bvKeepHeader",
    "obCatDraw", "obCatOther", "obCatOtherControls", "obDiagLine", "obRect", "obRoundRect",
    "obEllipse", "obTrian", "obDiamond", "obLabel", "obEdit", "obMemoC", "obButton", "obChBoxC",
    "obRButton", "obLBox", "obCBox", "obDateEdit", "obImageC", "obPanel", "obGrBox", "obBBtn",
    "obSBtn", "obMEdit", "obChLB", "obDBLookup", "obBevel", "obShape", "obText", "obSysText",
    "obLine", "obPicture", "obBand", "obDataBand", "obSubRep", "obDlgPage", "obRepPage", "obReport",
    "obRich", "obOLE", "obChBox", "obChart", "obBarC", "obCross", "obDBCross", "obGrad",
    "obDMPText", "obDMPLine", "obDMPCmd", "obBDEDB", "obBDETb", "obBDEQ", "obBDEComps", "obIBXDB",
    "obIBXTb", "obIBXQ", "obIBXComps", "obADODB", "obADOTb", "obADOQ", "obADOComps", "obDBXDB",
    "obDBXTb", "obDBXQ", "obDBXComps", "obFIBDB", "obFIBTb", "obFIBQ", "obFIBComps", "ctString",
    "ctDate", "ctConv", "ctFormat", "ctMath", "ctOther", "IntToStr", "FloatToStr", "DateToStr",
    "TimeToStr", "DateTimeToStr", "VarToStr", "StrToInt", "StrToInt64", "StrToFloat", "StrToDate",
    "StrToTime", "StrToDateTime", "Format", "FormatFloat", "FormatDateTime", "FormatMaskText",
    "EncodeDate", "DecodeDate", "EncodeTime", "DecodeTime", "Date", "Time", "Now", "DayOfWeek",
    "IsLeapYear", "DaysInMonth", "Length", "Copy", "Pos", "Delete", "Insert", "Uppercase",
    "Lowercase", "Trim", "NameCase", "CompareText", "Chr", "Ord", "SetLength", "Round", "Trunc",
    "Int", "Frac", "Sqrt", "Abs", "Sin", "Cos", "ArcTan", "Tan", "Exp", "Ln", "Pi", "Inc", "Dec",
    "RaiseException", "ShowMessage", "Randomize", "Random", "ValidInt", "ValidFloat", "ValidDate",
    "IIF", "Get", "Set", "InputBox", "InputQuery", "MessageDlg",
    "CreateOleObjekt ", "VarArrayCreate", "VarType", "DayOf",
    "MonthOf", "YearOf", "ctAggregate", "Sum", "Avg", "Min", "Max", "Count", "wzDBConn",
    "wzDBTable", "wzDBQuery", "CreateOleObject", "5800..5802", "cpName", "cpConnStr",
    "startCreateNew", "startCreateBlank", "startOpenReport", "startOpenLast", "startEditAliases",
    "startHelp", "5900..5903", "6000..6003", "dsColorOth", "6100..6113", "bsSolid", "bsClear",
    "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross",
    "gsHorizontal", "gsVertical", "gsElliptic", "gsRectangle", "gsVertCenter", "gsHorizCenter",
    "foVertical", "foHorizontal", "foVerticalMirror", "foHorizontalMirror", "6200..6229",
    "mvHyperlink", "2602", "4729", "obDataBases", "obTables", "obQueries", "6004", "crGroup",
    "4331", "6300..6303",
};

std::vector<QString> expectedKeys()
{
    static const QRegularExpression range(QStringLiteral("^(\\D*)(\\d+)\\.\\.\\1(\\d+)$"));
    std::vector<QString> keys;
    for (const char* entry : kKeyList) {
        const QString text = QString::fromLatin1(entry);
        const QRegularExpressionMatch m = range.match(text);
        if (!m.hasMatch()) {
            keys.push_back(text);
            continue;
        }
        for (int n = m.captured(2).toInt(); n <= m.captured(3).toInt(); ++n)
            keys.push_back(m.captured(1) + QString::number(n));
    }
    return keys;
}

QByteArray designerTable()
{
    for (int i = 0; i < zd::kBuiltinStringTableCount; ++i) {
        const zd::BuiltinStringTable& table = zd::kBuiltinStringTables[i];
        if (qstrcmp(table.name, "zdDesigner") == 0)
            return QByteArray(reinterpret_cast<const char*>(table.data), static_cast<qsizetype>(table.size));
    }
    return {};
}

// Attribute values of canonical XML escape only these.
QString unescapeCanonical(QString value)
{
    value.replace(QLatin1String("&#x9;"), QLatin1String("\t"));
    value.replace(QLatin1String("&#xA;"), QLatin1String("\n"));
    value.replace(QLatin1String("&#xD;"), QLatin1String("\r"));
    value.replace(QLatin1String("&quot;"), QLatin1String("\""));
    value.replace(QLatin1String("&lt;"), QLatin1String("<"));
    value.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return value;
}

struct Parsed {
    bool ok = false;
    QString error;
    std::vector<std::pair<QString, QString>> entries; // key, text as stored
};

// The table as xmllint reads it: well-formed, one root Resources with
// CodePage 1250 holding only StrRes elements with a Name and a Text.
Parsed parseWithXmllint(const QByteArray& xml)
{
    Parsed result;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("zdDesigner.xml"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(xml) != xml.size()) {
        result.error = QStringLiteral("cannot write the dump");
        return result;
    }
    out.close();
    QProcess lint;
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--c14n"), file});
    lint.waitForFinished(30000);
    if (lint.exitStatus() != QProcess::NormalExit || lint.exitCode() != 0) {
        result.error = QString::fromUtf8(lint.readAllStandardError());
        return result;
    }
    const QString canonical = QString::fromUtf8(lint.readAllStandardOutput());
    static const QRegularExpression root(QStringLiteral("^<Resources CodePage=\"1250\">\\s*(.*)</Resources>\\s*$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch body = root.match(canonical);
    if (!body.hasMatch()) {
        result.error = QStringLiteral("unexpected root: ") + canonical.left(80);
        return result;
    }
    static const QRegularExpression entry(QStringLiteral("\\G<StrRes Name=\"([^\"]*)\" Text=\"([^\"]*)\"></StrRes>\\s*"));
    const QString items = body.captured(1);
    qsizetype at = 0;
    while (at < items.size()) {
        const QRegularExpressionMatch m = entry.match(items, at);
        if (!m.hasMatch()) {
            result.error = QStringLiteral("unexpected element: ") + items.mid(at, 80);
            return result;
        }
        result.entries.emplace_back(unescapeCanonical(m.captured(1)), unescapeCanonical(m.captured(2)));
        at = m.capturedEnd();
    }
    result.ok = true;
    return result;
}

class DesignerStrings : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_xml = new QByteArray(designerTable());
        if (!QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty())
            s_parsed = new Parsed(parseWithXmllint(*s_xml));
    }
    static void TearDownTestSuite()
    {
        delete s_xml;
        delete s_parsed;
        s_xml = nullptr;
        s_parsed = nullptr;
    }
    void SetUp() override
    {
        ASSERT_FALSE(s_xml->isEmpty()) << "the designer's table is not built in";
        if (!s_parsed)
            GTEST_SKIP() << "xmllint not installed";
        ASSERT_TRUE(s_parsed->ok) << qPrintable(s_parsed->error);
    }
    static QString storedText(const QString& key)
    {
        for (const auto& [name, text] : s_parsed->entries)
            if (name == key)
                return text;
        return QStringLiteral("<missing>");
    }

    static QByteArray* s_xml;
    static Parsed* s_parsed;
};

QByteArray* DesignerStrings::s_xml = nullptr;
Parsed* DesignerStrings::s_parsed = nullptr;

} // namespace

TEST_F(DesignerStrings, StartsWithItsDeclarationAndRoot)
{
    EXPECT_TRUE(s_xml->startsWith("<?xml version=\"1.1\" encoding=\"utf-8\"?><Resources CodePage=\"1250\">"));
}

TEST_F(DesignerStrings, HoldsTheListedKeysInOrderEachOnce)
{
    const std::vector<QString> expected = expectedKeys();
    ASSERT_EQ(expected.size(), 913u);
    std::vector<QString> actual;
    for (const auto& entry : s_parsed->entries)
        actual.push_back(entry.first);
    EXPECT_EQ(actual.size(), 913u);
    for (size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        if (actual[i] != expected[i]) {
            ADD_FAILURE() << "entry " << i << " is \"" << qPrintable(actual[i]) << "\", expected \""
                          << qPrintable(expected[i]) << '"';
            break;
        }
    // The resources find keys ignoring case: no two may fold together.
    QSet<QString> folded;
    for (const QString& key : actual) {
        const QString fold = plat::foldCase(key);
        EXPECT_FALSE(folded.contains(fold)) << "\"" << qPrintable(key) << "\" occurs twice";
        folded.insert(fold);
    }
}

TEST_F(DesignerStrings, EveryKeyHasAText)
{
    for (const auto& [key, text] : s_parsed->entries) {
        EXPECT_FALSE(text.isEmpty()) << qPrintable(key);
        EXPECT_NE(text, QStringLiteral("!")) << qPrintable(key);
    }
}

TEST_F(DesignerStrings, WindowTextsAreTheQuotedOnes)
{
    const std::pair<const char*, const char*> cases[] = {
        {"2000", "Objekt inspektor"},
        {"2100", "Strom dat"},
        {"2200", "Strom Reportu"},
        {"2306", "Jazyk:"},
        {"2344", "Edit Frame"},
        {"2378", "&Soubor"},
        {"2379", "Ú&prava"},
        {"2403", "O ZazaDuzudiu..."},
        {"2456", "0°"},
        {"2471", "Report (*.zd3)|*.zd3"},
        {"2472", "Soubory Pascal (*.pas)|*.pas|Soubory C++ (*.cpp)|*.cpp|Soubory JavaScript (*.js)|*.js|"
                 "Soubory Basic (*.vb)|*.vb|Všechny soubory|*.*"},
        {"2473", "Soubory Pascal (*.pas)|*.pas|Soubory C++ (*.cpp)|*.cpp|Soubory JavaScript (*.js)|*.js|"
                 "Soubory Basic (*.vb)|*.vb|Všechny soubory|*.*"},
        {"2475", "Jazyk"},
        {"2478", "!Add child band"},
        {"dsPage", "Strana"},
        {"dsSavePreviewChanges", "Uložit změny do stránky náhledu?"},
        {"dsSaveChangesTo", "Uložit změny do "},
        {"dsCantLoad", "Nelze načíst soubor"},
        {"dsClearScript", "Toto vymaže celý kód. Chcete pokračovat?"},
        {"dsTextNotFound", "Text '%s' nenalezen"},
        {"dsReplace", "Nahradit tuto událost '%s'?"},
        {"dsColorOth", "Other..."},
        {"2909", "Slovník (*.fd3)"},
        {"5001", "Vložte heslo:"},
    };
    for (const auto& [key, text] : cases)
        EXPECT_EQ(storedText(QString::fromLatin1(key)), QString::fromUtf8(text)) << key;
}

TEST_F(DesignerStrings, ResourcesFetchEveryTextAsStoredWithoutALeadingBang)
{
    TzdResources res;
    res.LoadFromString(*s_xml);
    EXPECT_EQ(res.Count(), 913);
    EXPECT_EQ(res.CodePage(), 1250);
    int banged = 0;
    for (const auto& [key, text] : s_parsed->entries) {
        const bool bang = text.startsWith(u'!');
        banged += bang;
        EXPECT_EQ(res.GetText(key), bang ? text.mid(1) : text) << qPrintable(key);
    }
    EXPECT_GE(banged, 1);
    EXPECT_EQ(zdGetResources()->GetText(QStringLiteral("2478")), QStringLiteral("Add child band"));
    EXPECT_EQ(zdGetResources()->GetText(QStringLiteral("CreateOleObjekt ")), storedText(QStringLiteral("CreateOleObjekt ")));
}

TEST(DesignerStringsHomes, KeysOutsideTheDesignerTableKeepTheirTexts)
{
    TzdResources* res = zdGetResources();
    EXPECT_EQ(res->GetText(QStringLiteral("obCatBarcode")), QStringLiteral("Čárové kódy"));
    EXPECT_EQ(res->GetText(QStringLiteral("obDataPage")), QStringLiteral("Stránka dat"));
    EXPECT_EQ(res->GetText(QStringLiteral("clDecryptError")), QStringLiteral("Chyba při dešifrování streamu"));
    EXPECT_EQ(res->GetText(QStringLiteral("propName")), QStringLiteral("Název objektu"));
    EXPECT_EQ(res->GetText(QStringLiteral("propVersion")), QStringLiteral("Version of the ZazaDuzudi"));
}
