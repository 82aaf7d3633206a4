// Script front end: source text to the intermediate program.

#include "zs_iilparser.h"
#include "zs_iinterpreter.h"

#include <benchmark/benchmark.h>

namespace {

QString pascalProgram(int lines)
{
    QString text = QStringLiteral("var i, total: Integer;\r\nfunction Sq(x: Integer): Integer;\r\nbegin\r\n  Result := x * x;\r\nend;\r\nbegin\r\n");
    for (int i = 0; i < lines; ++i)
        text += QStringLiteral("  if total > %1 then total := total - Sq(i mod 7) else Memo1.Lines.Add('row ' + IntToStr(%1));\r\n").arg(i);
    return text + QStringLiteral("end.\r\n");
}

QString basicProgram(int lines)
{
    QString text;
    for (int i = 0; i < lines; ++i)
        text += QStringLiteral("If total > %1 Then total = total - Sq(i Mod 7) : Memo1.Lines.Add(\"row \" & %1)\r\n").arg(i);
    return text;
}

void compileText(benchmark::State& state, const QString& language, const QString& text)
{
    zs::CompileHost host;
    for (auto _ : state) {
        TzsILParser parser(&host);
        parser.LoadLanguage(language);
        const bool ok = parser.BuildIntermediate(text);
        benchmark::DoNotOptimize(ok);
        if (!ok)
            state.SkipWithError("compile failed");
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
    state.counters["lines"] = double(text.count(u'\n'));
}

void BM_PascalScript(benchmark::State& state) { compileText(state, QStringLiteral("PascalScript"), pascalProgram(int(state.range(0)))); }
BENCHMARK(BM_PascalScript)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_BasicScript(benchmark::State& state) { compileText(state, QStringLiteral("BasicScript"), basicProgram(int(state.range(0)))); }
BENCHMARK(BM_BasicScript)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

// A report expression compiled on its own, as the expression cache does.
void BM_ShortExpression(benchmark::State& state)
{
    compileText(state, QStringLiteral("PascalScript"), QStringLiteral("begin Result := <zdDBDataset1.\"kod\"> + ' ks'; end."));
}
BENCHMARK(BM_ShortExpression)->Unit(benchmark::kMicrosecond);

void BM_LexerWords(benchmark::State& state)
{
    const QString text = pascalProgram(1000);
    for (auto _ : state) {
        TzsParser lexer;
        lexer.SetText(text);
        int words = 0;
        while (lexer.CurrentPos <= lexer.TextLength) {
            if (lexer.GetWord().isEmpty() && lexer.GetNumber().isEmpty() && lexer.GetString().isEmpty()
                && lexer.GetChar().isEmpty())
                lexer.SetPosition(lexer.CurrentPos + 1);
            ++words;
        }
        benchmark::DoNotOptimize(words);
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_LexerWords)->Unit(benchmark::kMillisecond);

} // namespace
