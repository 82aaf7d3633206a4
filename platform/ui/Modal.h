#pragma once
// The runner of modal windows: every modal form of the program and of the
// report library is shown through ExecModal. Tests replace the runner, so
// no test waits on a real modal window; the runner returns what the window
// would have (QDialog's result or the form's modal result).

#include <functional>

class QDialog;

namespace plat {

using ModalRunner = std::function<int(QDialog&)>;
// Installs a runner (an empty one restores the real modal loop); returns the previous one.
ModalRunner SetModalRunner(ModalRunner runner);
int ExecModal(QDialog& dialog);

// Installs a runner for a scope and puts the previous one back.
class ScopedModalRunner {
public:
    explicit ScopedModalRunner(ModalRunner runner) : m_previous(SetModalRunner(std::move(runner))) {}
    ~ScopedModalRunner() { SetModalRunner(std::move(m_previous)); }
    ScopedModalRunner(const ScopedModalRunner&) = delete;
    ScopedModalRunner& operator=(const ScopedModalRunner&) = delete;

private:
    ModalRunner m_previous;
};

} // namespace plat
