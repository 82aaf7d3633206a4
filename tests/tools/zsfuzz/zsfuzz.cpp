// Fuzz entry: every input is compiled in each of the four languages, read
// token by token by the lexer, and loaded as a script XML document. Nothing
// may crash, hang or leak, whatever the input.

#include "Exceptions.h"
#include "zs_iilparser.h"
#include "zs_iinterpreter.h"
#include "zs_xml.h"

#include <cstddef>
#include <cstdint>

namespace {

void lexAll(const QString& text)
{
    TzsParser lexer;
    lexer.SpecStrChar = true;
    lexer.SkipChar = QStringLiteral("_");
    lexer.SetText(text);
    int guard = 0;
    while (lexer.CurrentPos <= lexer.TextLength && ++guard < 100000) {
        const int before = lexer.CurrentPos;
        if (lexer.GetNumber().isEmpty() && lexer.GetString().isEmpty() && lexer.GetWord().isEmpty()
            && lexer.GetChar().isEmpty() && !lexer.GetEOL()) {
            lexer.SetPosition(lexer.CurrentPos + 1);
        }
        (void)lexer.GetXYPosition();
        if (lexer.CurrentPos == before)
            lexer.SetPosition(before + 1);
    }
    lexer.SetPosition(1);
    (void)lexer.GetZDString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    lexAll(text);

    static const char* const kLanguages[] = {"PascalScript", "C++Script", "BasicScript", "JScript"};
    for (const char* language : kLanguages) {
        zs::CompileHost host;
        // Units come from the host, never from the disk.
        host.OnGetUnit = [](const QString& name, QString& unit) {
            if (name.size() < 3)
                unit = QStringLiteral("begin end.\r\nx = 1\r\n");
        };
        try {
            TzsILParser parser(&host);
            parser.LoadLanguage(QString::fromLatin1(language));
            (void)parser.BuildIntermediate(text);
        } catch (const plat::Exception&) {
            // Unknown #language names raise; that is an answer, not a crash.
        }
    }

    try {
        TzsXMLDocument doc;
        doc.LoadFromText(text);
        (void)doc.SaveToText();
        if (doc.Root()->Count() > 0)
            (void)doc.Root()->Items(0)->Prop(QStringLiteral("text"));
    } catch (const plat::Exception&) {
    }
    return 0;
}
