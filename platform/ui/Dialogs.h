#pragma once
// The common-dialog components: settings and results as published
// properties, Execute through the user-interface services (so tests answer
// them with the scripted services).

#include "Objects.h"
#include "Services.h"
#include "StringList.h"
#include "TypeInfo.h"

#include <memory>

namespace plat {

class TFont;

class TCommonDialog : public TComponent {
    PLAT_CLASS(TCommonDialog, TComponent)
public:
    // Shows the dialog modally; true when the user accepted it.
    virtual bool Execute() = 0;
    int HelpContext = 0;

protected:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
};

class TOpenDialog : public TCommonDialog {
    PLAT_CLASS(TOpenDialog, TCommonDialog)
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    bool Execute() override;

    QString DefaultExt;
    QString FileName;
    QString Filter;
    int FilterIndex = 1;
    QString InitialDir;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
    QString Title;
    // The files chosen (several with ofAllowMultiSelect).
    TStringList& Files() { return m_files; }

protected:
    virtual FileDialogRequest::Kind kind() const { return FileDialogRequest::Open; }

private:
    TStringList m_files;
};

class TSaveDialog : public TOpenDialog {
    PLAT_CLASS(TSaveDialog, TOpenDialog)
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    FileDialogRequest::Kind kind() const override { return FileDialogRequest::Save; }
};

class TColorDialog : public TCommonDialog {
    PLAT_CLASS(TColorDialog, TCommonDialog)
public:
    explicit TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;
    TColor Color = clBlack;
    TColorDialogOptions Options;
};

class TFontDialog : public TCommonDialog {
    PLAT_CLASS(TFontDialog, TCommonDialog)
public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;
    bool Execute() override;
    TFont* Font() const { return m_font.get(); }
    void SetFont(TFont* Value);
    TFontDialogDevice Device = fdScreen;
    TFontDialogOptions Options{fdEffects};

private:
    std::unique_ptr<TFont> m_font;
};

class TPrintDialog : public TCommonDialog {
    PLAT_CLASS(TPrintDialog, TCommonDialog)
public:
    explicit TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;
    bool Collate = false;
    int Copies = 0;
    int FromPage = 0;
    int MinPage = 0;
    int MaxPage = 0;
    TPrintDialogOptions Options;
    bool PrintToFile = false;
    TPrintRange PrintRange = prAllPages;
    int ToPage = 0;
};

class TPrinterSetupDialog : public TCommonDialog {
    PLAT_CLASS(TPrinterSetupDialog, TCommonDialog)
public:
    explicit TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;
};

// Registers the dialog components with the class registry (idempotent).
void RegisterDialogClasses();

} // namespace plat
