// The editor model over 1,000,000 lines of 40 characters: loading and
// setting the text, typing in the middle, word wrap and an edit under it,
// select all, copy, paste and undo of the whole text, and painting a window
// of 80 x 50 cells anywhere in it or over a line of 10 MB.
#include "PlainEditModel.h"
#include "PlainEditView.h"

#include "Canvas.h"

#include "ScriptedServices.h"
#include "Services.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kLines = 1000000;
constexpr int kLineLength = 40;

// A window of an ordinary size.
class BenchView : public IPlainEditView {
public:
    int ClientWidth() const override { return 800; }
    int ClientHeight() const override { return 600; }
    bool Focused() const override { return true; }
};

// The clipboard in memory, without the scripted double's record of calls.
class MemoryClipboard : public plat::ScriptedServices {
public:
    QString ClipboardText() override { return m_text; }
    void SetClipboardText(const QString& text) override
    {
        m_text = text;
        m_data.clear();
    }
    bool ClipboardHasFormat(const QString& format) override { return format == m_format && !m_data.isNull(); }
    QByteArray ClipboardData(const QString& format) override { return format == m_format ? m_data : QByteArray(); }
    void SetClipboardData(const QString& format, const QByteArray& data, const QString& text) override
    {
        m_format = format;
        m_data = data;
        m_text = text;
    }

private:
    QString m_text;
    QString m_format;
    QByteArray m_data;
};

// A window narrower than the lines, so that each takes two rows.
class NarrowView : public BenchView {
public:
    int ClientWidth() const override { return 300; }
};

const QString& bigText()
{
    static const QString text = [] {
        QString t;
        t.reserve(qsizetype(kLines) * (kLineLength + 2));
        for (int i = 0; i < kLines; ++i) {
            QString line = QStringLiteral("%1 ").arg(i, 8, 10, QLatin1Char('0'));
            line += QString(kLineLength - line.size(), QLatin1Char('a' + i % 26));
            t += line;
            t += QStringLiteral("\r\n");
        }
        return t;
    }();
    return text;
}

std::unique_ptr<TCustomPlainEdit> bigEditor(BenchView& view)
{
    auto e = std::make_unique<TCustomPlainEdit>();
    e->SetView(&view);
    e->SetText(bigText());
    return e;
}

void BM_LoadFromFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bigText().toLatin1());
    }
    BenchView view;
    TCustomPlainEdit e;
    e.SetView(&view);
    for (auto _ : state) {
        e.Lines()->LoadFromFile(path);
        benchmark::DoNotOptimize(e.LineCount());
    }
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SetText(benchmark::State& state)
{
    BenchView view;
    TCustomPlainEdit e;
    e.SetView(&view);
    const QString& text = bigText();
    for (auto _ : state) {
        e.SetText(text);
        benchmark::DoNotOptimize(e.LineCount());
    }
}
BENCHMARK(BM_SetText)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TypeAtLine500000(benchmark::State& state)
{
    BenchView view;
    auto e = bigEditor(view);
    e->MoveCaret({20, kLines / 2});
    for (auto _ : state)
        e->CommandProcessor(ecChar, QChar(u'x'));
}
BENCHMARK(BM_TypeAtLine500000)->Unit(benchmark::kMicrosecond)->Iterations(200);

void BM_WordWrapAll(benchmark::State& state)
{
    NarrowView view;
    auto e = bigEditor(view);
    int rows = 0;
    for (auto _ : state) {
        e->SetWordWrap(true);
        state.PauseTiming();
        rows = e->RowCount();
        e->SetWordWrap(false);
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_WordWrapAll)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TypeWrappedAtLine500000(benchmark::State& state)
{
    NarrowView view;
    auto e = bigEditor(view);
    e->SetWordWrap(true);
    e->MoveCaret({20, kLines / 2});
    for (auto _ : state)
        e->CommandProcessor(ecChar, QChar(u'x'));
    state.counters["rows"] = e->RowCount();
}
BENCHMARK(BM_TypeWrappedAtLine500000)->Unit(benchmark::kMicrosecond)->Iterations(200);

void BM_SelectAll(benchmark::State& state)
{
    BenchView view;
    auto e = bigEditor(view);
    for (auto _ : state) {
        e->CommandProcessor(ecSelectAll, QChar());
        state.PauseTiming();
        e->MoveCaretAndCollapse({1, 1});
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Copy(benchmark::State& state)
{
    MemoryClipboard clipboard;
    plat::ScopedServices scope(clipboard);
    BenchView view;
    auto e = bigEditor(view);
    e->SelectAll();
    for (auto _ : state)
        e->CommandProcessor(ecCopy, QChar());
}
BENCHMARK(BM_Copy)->Unit(benchmark::kMillisecond)->Iterations(3);

// Pasting the whole text over all of it and undoing the paste; only the
// step asked for is timed.
enum class PasteStep { Paste, Undo };

void pasteOverAll(benchmark::State& state, PasteStep timed)
{
    MemoryClipboard clipboard;
    plat::ScopedServices scope(clipboard);
    BenchView view;
    auto e = bigEditor(view);
    e->SelectAll();
    e->CopyToClipboard();
    for (auto _ : state) {
        state.PauseTiming();
        e->SelectAll();
        if (timed == PasteStep::Paste)
            state.ResumeTiming();
        e->CommandProcessor(ecPaste, QChar());
        if (timed == PasteStep::Paste)
            state.PauseTiming();
        else
            state.ResumeTiming();
        e->CommandProcessor(ecUndo, QChar());
        if (timed == PasteStep::Paste)
            state.ResumeTiming();
    }
    state.counters["lines"] = e->LineCount();
}

void BM_PasteOverAll(benchmark::State& state) { pasteOverAll(state, PasteStep::Paste); }
BENCHMARK(BM_PasteOverAll)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_UndoPaste(benchmark::State& state) { pasteOverAll(state, PasteStep::Undo); }
BENCHMARK(BM_UndoPaste)->Unit(benchmark::kMillisecond)->Iterations(3);

// ------------------------------------------------------------ painting

// A window of exactly 80 x 50 cells beside a gutter with line numbers, in
// the paste form's font, painted into an image as a paint event would.
class CellWindow : public IPlainEditView {
public:
    int ClientWidth() const override { return width; }
    int ClientHeight() const override { return height; }
    bool Focused() const override { return true; }
    int width = 800;
    int height = 600;
};

// Painting draws glyphs through the GUI's font cache, as in the window.
QGuiApplication& guiApplication()
{
    static int argc = 1;
    static char name[] = "sorvamet_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return QGuiApplication::instance() ? nullptr : new QGuiApplication(argc, argv);
    }();
    (void)app;
    return *static_cast<QGuiApplication*>(QGuiApplication::instance());
}

struct PaintFixture {
    CellWindow view;
    TCustomPlainEdit e;
    QImage image;

    explicit PaintFixture(const QString& text)
    {
        guiApplication();
        plat::TFont font;
        font.SetName(QStringLiteral("Courier New"));
        font.SetHeight(-13);
        e.SetFont(&font);
        plat::TFont small;
        small.SetName(QStringLiteral("Courier New"));
        small.SetHeight(-11);
        e.Gutter()->SetFont(&small);
        e.Gutter()->SetAutoSize(true);
        e.Gutter()->SetShowLineNumbers(true);
        e.SetOptions(e.Options() + TPlainEditorOptions{eoShowSpecialChars});
        e.SetView(&view);
        e.SetText(text);
        view.width = e.GutterExtent() + 2 + 80 * e.CellWidth();
        view.height = 50 * e.RowHeight();
        e.Resized();
        image = QImage(view.width, view.height, QImage::Format_RGB32);
    }
    void paint()
    {
        plat::TCanvas canvas(&image);
        e.Paint(canvas);
    }
};

// Top rows spread over the whole text, one per iteration.
void BM_PaintWindowOfMillionLines(benchmark::State& state)
{
    PaintFixture f(bigText());
    const bool selected = state.range(0) != 0;
    if (selected) {
        f.e.SetActiveSelMode(smColumn);
        f.e.SetCaretAndSel({30, kLines - 10}, {5, 10}, {30, kLines - 10});
    }
    int top = 1;
    for (auto _ : state) {
        f.e.SetTopRow(top);
        f.paint();
        top = (top + 99991) % kLines + 1;
    }
    state.counters["cols"] = f.e.ColumnsInView();
    state.counters["rows"] = f.e.VisibleRows();
}
BENCHMARK(BM_PaintWindowOfMillionLines)->Arg(0)->Arg(1)->ArgName("columnSelection")->Unit(benchmark::kMillisecond);

// One line of 10 MB (with tabs every 64 characters when asked), the
// window anywhere along it or at its very end (the worst case: a line with
// tabs is walked up to the window).
void BM_PaintTenMegabyteLine(benchmark::State& state)
{
    constexpr int kLength = 10 * 1024 * 1024;
    const bool tabs = state.range(0) != 0;
    const bool atEnd = state.range(1) != 0;
    QString line;
    line.reserve(kLength);
    for (int i = 0; line.size() < kLength; ++i)
        line += tabs && i % 64 == 63 ? QChar(u'\t') : QChar(u'a' + i % 26);
    PaintFixture f(line + QStringLiteral("\r\nnext"));
    f.e.SetMaxScrollWidth(2 * kLength);
    int left = 1;
    const int last = f.e.Lines()->ExpandedLength(0) - 80;
    for (auto _ : state) {
        f.e.SetLeftColumn(atEnd ? last : left);
        f.paint();
        left = (left + 1234567) % kLength + 1;
    }
}
BENCHMARK(BM_PaintTenMegabyteLine)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"tabs", "atEnd"})
    ->Unit(benchmark::kMillisecond);

} // namespace
