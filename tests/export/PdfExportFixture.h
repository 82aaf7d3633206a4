#pragma once
// Small pieces the PDF export tests share: a Code 128 view and the text of
// what an export raised.

#include "Exceptions.h"
#include "zdBarcodeView.h"
#include "zdExportPDF.h"

#include <QString>

#include <functional>
#include <memory>

namespace pdftest {

// "Class: message" of the error f raises; empty when it raises none.
inline QString pdfRaised(const std::function<void()>& f)
{
    try {
        f();
    } catch (const plat::Exception& e) {
        return QString::fromLatin1(e.className()) + ": " + e.message();
    }
    return {};
}

// A Code 128 view of text at left, top, its bounds measured.
inline std::unique_ptr<TzdBarCodeView> code128(const QString& text, int left, int top)
{
    auto v = std::make_unique<TzdBarCodeView>(nullptr);
    v->BarType = bcCode128;
    v->SetText(text);
    v->SetBounds(left, top, 10, 60);
    v->GetRealBounds();
    return v;
}

} // namespace pdftest
