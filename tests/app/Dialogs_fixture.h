#pragma once
// The fixture of the dialog tests: a main window over a temporary program
// folder, the scripted services, and a queue of steps that stand in for the
// user of each modal window, so that no test waits on one.

#include "ClientDataSet.h"
#include "Dialogy.h"
#include "Hlavni_f.h"
#include "Modal.h"
#include "ScriptedServices.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

namespace dialogtest {

inline QString u8(const char* s) { return QString::fromUtf8(s); }

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class DialogTest : public ::testing::Test {
protected:
    using Step = std::function<int(QDialog&)>;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // The user's settings of this test: "config/sorvamet/" in its folder.
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        previousRunner = plat::SetModalRunner([this](QDialog& d) { return runStep(d); });
        window = std::make_unique<THlavni>(dir.path());
        window->show();
    }
    void TearDown() override
    {
        window.reset();
        plat::SetModalRunner(previousRunner);
        EXPECT_TRUE(steps.empty()) << steps.size() << " modal windows expected but not shown";
        EXPECT_TRUE(unexpectedWindows.isEmpty()) << unexpectedWindows.join(u' ').toStdString();
        EXPECT_TRUE(ui.Unexpected().isEmpty()) << ui.Unexpected().join(u'\n').toStdString();
        EXPECT_FALSE(ui.BusyCursor()) << "the hourglass stayed on";
    }

    // The next modal window runs this step (shown, not blocking) and closes
    // with what it returns, or with its own result when the step closed it.
    void onModal(Step step) { steps.push_back(std::move(step)); }
    int runStep(QDialog& d)
    {
        if (steps.empty()) {
            unexpectedWindows << d.objectName();
            return QDialog::Rejected;
        }
        Step step = std::move(steps.front());
        steps.pop_front();
        d.show();
        const int result = step(d);
        d.hide();
        return result;
    }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // The user's settings file, and the one beside the program.
    QString ini() const { return dir.filePath(QStringLiteral("config/sorvamet/Sorvamet.ini")); }
    QString iniBeside() const { return dir.filePath(QStringLiteral("Sorvamet.ini")); }
    plat::TClientDataSet& table() const { return *window->ClientDataSet1; }

    // A new, empty data file opened in the main window.
    void newFile(const char* name = "data.xml")
    {
        ui.AnswerFile({path(name)});
        window->Akce_NovyExecute();
        ASSERT_TRUE(table().Active());
    }
    void addRecord(const QString& code, const QString& pole1 = {}, const QString& pole2 = {})
    {
        table().Append();
        table().FieldByName(QStringLiteral("kod")).SetAsString(code);
        table().FieldByName(QStringLiteral("pole1")).SetAsString(pole1);
        table().FieldByName(QStringLiteral("pole2")).SetAsString(pole2);
        table().Post();
    }
    QStringList column(const char* field) const
    {
        QStringList values;
        const int f = table().FieldIndex(QString::fromLatin1(field));
        for (int r = 0; r < table().RecordCount(); ++r)
            values << table().RecordText(r, f);
        return values;
    }
    QString current(const char* field) const { return table().FieldByName(QString::fromLatin1(field)).AsString(); }
    // Queues the "OK" of information boxes.
    void ok(int boxes = 1)
    {
        for (int i = 0; i < boxes; ++i)
            ui.AnswerMessage(plat::IDOK);
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const plat::ServiceCall& c : ui.CallsOf(QStringLiteral("MessageBox")))
            texts << c.text;
        return texts;
    }
    int beeps() const { return int(ui.CallsOf(QStringLiteral("Beep")).size()); }

    template <class T>
    static T* child(QObject& parent, const char* name)
    {
        T* w = parent.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    plat::ScriptedServices ui;
    plat::ScopedServices use{ui};
    QTemporaryDir dir;
    std::unique_ptr<THlavni> window;
    std::deque<Step> steps;
    QStringList unexpectedWindows;
    plat::ModalRunner previousRunner;
};

} // namespace dialogtest
