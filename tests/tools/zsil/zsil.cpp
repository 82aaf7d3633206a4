// zsil LANGUAGE FILE: compiles FILE to the intermediate program and prints it
// (exit 0), or prints LINE:COLUMN: MESSAGE, with the unit name before it when
// the error is in a unit (exit 1). Other failures print a message (exit 2).

#include "CodePage.h"
#include "Exceptions.h"
#include "StringList.h"
#include "zs_iilparser.h"
#include "zs_iinterpreter.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cstdio>

namespace {

// Source files are UTF-8, or code page 1250 when they are not valid UTF-8.
QString decode(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return plat::cp1250ToUnicode(bytes);
}

// A script's text is its lines, each followed by CR LF.
QString asLines(const QString& content)
{
    plat::TStringList lines;
    lines.SetText(content);
    return lines.Text();
}

void print(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: zsil LANGUAGE FILE\n");
        return 2;
    }
    const QString language = QString::fromLocal8Bit(argv[1]);
    const QString fileName = QString::fromLocal8Bit(argv[2]);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        print(stderr, QStringLiteral("zsil: cannot open %1: %2\n").arg(fileName, file.errorString()));
        return 2;
    }
    const QString text = asLines(decode(file.readAll()));

    zs::CompileHost host;
    // Units are looked for beside the file first.
    host.IncludeDirs = QStringList{QFileInfo(fileName).absolutePath(), QString()};
    try {
        TzsILParser parser(&host);
        parser.LoadLanguage(language);
        if (parser.BuildIntermediate(text) || host.ErrorMessage.isEmpty()) {
            QString out = zs::xmlWriteText(parser.IntermediateDocument->Root(), true);
            out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            print(stdout, out);
            return 0;
        }
        QString where = host.ErrorPosition;
        if (!host.ErrorUnitName.isEmpty())
            where = host.ErrorUnitName + u':' + where;
        print(stdout, where + QLatin1String(": ") + host.ErrorMessage + u'\n');
        return 1;
    } catch (const plat::Exception& e) {
        print(stderr, QStringLiteral("zsil: %1\n").arg(e.message()));
        return 2;
    }
}
