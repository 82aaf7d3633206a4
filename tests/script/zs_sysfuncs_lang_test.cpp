// The same programs in the four languages print the same output: in a
// script with the system module, and through the zsrun driver.

#include "zs_sysfuncs_runner.h"
#include "zs_test_util.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct Language {
    const char* name;
    const char* extension;
};

constexpr Language kLanguages[] = {
    {"PascalScript", "pas"},
    {"C++Script", "cpp"},
    {"BasicScript", "bas"},
    {"JScript", "js"},
};

QString langFolder()
{
    return QStringLiteral(SORVAMET_TEST_DATA "/lang");
}

QString readFile(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<cannot read %1>").arg(fileName);
    return QString::fromUtf8(f.readAll());
}

std::vector<QString> languagePrograms()
{
    std::vector<QString> names;
    const QStringList files =
        QDir(langFolder()).entryList({QStringLiteral("*.expected")}, QDir::Files, QDir::Name);
    for (const QString& f : files)
        names.push_back(f.chopped(int(sizeof(".expected") - 1)));
    return names;
}

class LanguagePrograms : public ::testing::TestWithParam<QString> {};

TEST_P(LanguagePrograms, PrintTheSameInEveryLanguage)
{
    zstest::ScopedFormatSettings english(plat::TFormatSettings::english());
    const QString base = langFolder() + u'/' + GetParam();
    const QString expected = readFile(base + QStringLiteral(".expected"));
    for (const Language& l : kLanguages) {
        const QString source = readFile(base + u'.' + QLatin1String(l.extension));
        EXPECT_EQ(zstest::runProgram(QLatin1String(l.name), source), expected) << l.name;
    }
}

TEST_P(LanguagePrograms, PrintTheSameThroughZsrun)
{
    const QString zsrun = QStringLiteral(SORVAMET_BIN_DIR "/zsrun");
    ASSERT_TRUE(QFile::exists(zsrun)) << "zsrun is built with the tests";
    const QString base = langFolder() + u'/' + GetParam();
    const QString expected = readFile(base + QStringLiteral(".expected"));
    for (const Language& l : kLanguages) {
        QProcess p;
        p.start(zsrun, {QLatin1String(l.name), base + u'.' + QLatin1String(l.extension)});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), expected) << l.name;
        EXPECT_EQ(p.exitCode(), 0) << l.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Lang, LanguagePrograms, ::testing::ValuesIn(languagePrograms()),
                         [](const ::testing::TestParamInfo<QString>& info) { return info.param.toStdString(); });

// Programs that need the whole system module (data/lang-sys).
class LanguageLibraryPrograms : public ::testing::TestWithParam<QString> {};

TEST_P(LanguageLibraryPrograms, PrintTheSameInEveryLanguage)
{
    zstest::ScopedFormatSettings english(plat::TFormatSettings::english());
    const QString base = QStringLiteral(SORVAMET_TEST_DATA "/lang-sys/") + GetParam();
    const QString expected = readFile(base + QStringLiteral(".expected"));
    for (const Language& l : kLanguages) {
        const QString source = readFile(base + u'.' + QLatin1String(l.extension));
        EXPECT_EQ(zstest::runProgram(QLatin1String(l.name), source), expected) << l.name;
    }
}

TEST_P(LanguageLibraryPrograms, PrintTheSameThroughZsrun)
{
    const QString zsrun = QStringLiteral(SORVAMET_BIN_DIR "/zsrun");
    ASSERT_TRUE(QFile::exists(zsrun)) << "zsrun is built with the tests";
    const QString base = QStringLiteral(SORVAMET_TEST_DATA "/lang-sys/") + GetParam();
    const QString expected = readFile(base + QStringLiteral(".expected"));
    for (const Language& l : kLanguages) {
        QProcess p;
        p.setProcessEnvironment([] {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
            return env;
        }());
        p.start(zsrun, {QLatin1String(l.name), base + u'.' + QLatin1String(l.extension)});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), expected) << l.name;
        EXPECT_EQ(p.exitCode(), 0) << l.name;
    }
}

INSTANTIATE_TEST_SUITE_P(LangSys, LanguageLibraryPrograms, ::testing::Values(QStringLiteral("library")),
                         [](const ::testing::TestParamInfo<QString>& info) { return info.param.toStdString(); });

TEST(LanguageEvaluate, GivesTheSameValueInEveryLanguage)
{
    struct Case {
        const char* expression;
        const char* expected;
    };
    const Case cases[] = {
        {"1 + 2 * 3", "7"},
        {"(1 + 2) * 3", "9"},
        {"IntToStr(6 * 7) + 'x'", "42x"},
        {"Length('abcd') - 1", "3"},
        {"Copy('abcdef', 2, 3)", "bcd"},
        {"Round(2.5) + Trunc(-1.7)", "1"},
        {"UpperCase('ab') + LowerCase('CD')", "ABcd"},
    };
    for (const Language& l : kLanguages) {
        QString output;
        plat::TComponent owner(nullptr);
        auto script = zstest::newSystemScript(QLatin1String(l.name), &owner, &output);
        for (const Case& c : cases) {
            QString expression = QString::fromLatin1(c.expression);
            // BasicScript, C++Script and JScript write texts in double quotes.
            if (QLatin1String(l.name) != QLatin1String("PascalScript"))
                expression.replace(u'\'', u'"');
            const plat::Variant v = script->Evaluate(expression);
            EXPECT_FALSE(script->EvaluateFailed) << l.name << ": " << c.expression;
            EXPECT_EQ(plat::VarToStr(v), QString::fromLatin1(c.expected)) << l.name << ": " << c.expression;
        }
        const plat::Variant seven = script->Evaluate(QStringLiteral("1 + 2 * 3"));
        EXPECT_EQ(seven.type(), plat::varInteger) << l.name;
        EXPECT_EQ(seven.toInteger(), 7) << l.name;
    }
}

} // namespace
