#pragma once
// Helpers shared by the PlainEdit_*.cpp files of the editor model.

#include "PlainEditModel.h"

#include <QString>

#include <functional>

namespace pe {

inline constexpr QChar kTab = QLatin1Char('\t');
inline constexpr QChar kBlank = QLatin1Char(' ');
inline const QString kCRLF = QStringLiteral("\r\n");

// Runs a cleanup on every path out of a scope.
class Finally {
public:
    explicit Finally(std::function<void()> f) : m_f(std::move(f)) {}
    ~Finally()
    {
        if (m_f)
            m_f();
    }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    std::function<void()> m_f;
};

// BeginUpdate / EndUpdate of the editor on every path.
class UpdateLock {
public:
    explicit UpdateLock(TCustomPlainEdit& e) : m_e(e) { m_e.BeginUpdate(); }
    ~UpdateLock() { m_e.EndUpdate(); }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

private:
    TCustomPlainEdit& m_e;
};

// BeginCompound / EndCompound of an undo list on every path.
class Compound {
public:
    explicit Compound(TPlainEditUndoList& list) : m_list(list) { m_list.BeginCompound(); }
    ~Compound() { m_list.EndCompound(); }
    Compound(const Compound&) = delete;
    Compound& operator=(const Compound&) = delete;

private:
    TPlainEditUndoList& m_list;
};

// An option held set (or cleared) for a scope, and its old value back after.
class HoldOption {
public:
    HoldOption(TPlainEditorOptions& options, TPlainEditorOption option, bool value)
        : m_options(options), m_option(option), m_old(options.contains(option))
    {
        m_options.set(option, value);
    }
    ~HoldOption() { m_options.set(m_option, m_old); }
    HoldOption(const HoldOption&) = delete;
    HoldOption& operator=(const HoldOption&) = delete;

private:
    TPlainEditorOptions& m_options;
    TPlainEditorOption m_option;
    bool m_old;
};

// Splits a text at CR LF, a lone CR or a lone LF.
QStringList splitPieces(const QString& text);
// The 64-bit sum of an int and an offset, limited to the int range.
int addClamped(int a, qint64 b);

} // namespace pe
