#pragma once
// Fixtures of the preview tests: a store of synthetic pages, and a store
// whose first page is replaced by a page built in the test.

#include "../tools/SyntheticWriter.h"

#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdPreviewPages.h"

#include <memory>

namespace previewtest {

// pages x rows of "Řádek r strany p".
struct SyntheticPages {
    storetest::SyntheticWriter writer;
    TzdPreviewPages pages{&writer.report};
    explicit SyntheticPages(int count, int objects = 12) { writer.Write(pages, count, objects); }
};

// A page of the given size in millimetres (A4 by default), without margins.
inline std::unique_ptr<TzdReportPage> blankPage(long double widthMM = 210, long double heightMM = 297)
{
    auto page = std::make_unique<TzdReportPage>(nullptr);
    page->SetName(QStringLiteral("Page1"));
    page->SetPaperWidth(widthMM);
    page->SetPaperHeight(heightMM);
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 0;
    return page;
}

inline TzdMemoView* addMemo(TzdComponent* parent, const QString& name, long double l, long double t, long double w,
                            long double h, const QString& text = {})
{
    auto* memo = new TzdMemoView(parent->Owner() ? parent->Owner() : parent);
    memo->SetName(name);
    memo->SetParent(parent);
    memo->SetBounds(l, t, w, h);
    memo->SetText(text.isEmpty() ? name : text);
    return memo;
}

} // namespace previewtest
