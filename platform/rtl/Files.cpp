#include "Files.h"

#include "Exceptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace plat {
namespace {

std::atomic<quint32> g_tempCounter{0};

bool isDelimiter(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// Index of the last path delimiter, -1 if none.
qsizetype lastDelimiter(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isDelimiter(path.at(i)))
            return i;
    return -1;
}

QString withSlash(QString path)
{
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

} // namespace

QString nativePath(const QString& path)
{
    QString result = path;
    result.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return result;
}

QString TempFolder()
{
    QString folder = QString::fromLocal8Bit(qgetenv("TMPDIR"));
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStringLiteral("/tmp");
    return withSlash(folder);
}

QString GetTempFileName(const QString& prefix, const QString& folder)
{
    const QString dir = folder.isEmpty() ? TempFolder() : withSlash(nativePath(folder));
    const QString base = nativePath(prefix);
    const qint64 pid = ::getpid();
    int lastErrno = 0;
    // The counter makes names unique within the process and the pid across
    // processes; O_EXCL settles any remaining race and a taken name moves on.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const quint32 n = g_tempCounter.fetch_add(1, std::memory_order_relaxed);
        const QString name = dir + base + QStringLiteral("%1_%2.tmp")
                                              .arg(pid, 0, 36)
                                              .arg(n, 0, 36);
        const QByteArray encoded = QFile::encodeName(name);
        int fd = ::open(encoded.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        lastErrno = errno;
        if (lastErrno != EEXIST)
            break;
    }
    throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2")
                            .arg(dir + base, QString::fromLocal8Bit(std::strerror(lastErrno))));
}

QString ProgramFolder()
{
    QString path;
    if (QCoreApplication::instance())
        path = QCoreApplication::applicationDirPath();
    if (path.isEmpty())
        path = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
    return withSlash(path);
}

QString UserConfigFolder()
{
    QString base = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    // The XDG rules ignore a relative value.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return withSlash(base) + QStringLiteral("sorvamet/");
}

QString SettingsFileToRead(const QString& name, const QString& programFolder)
{
    const QString user = UserConfigFolder() + name;
    if (QFileInfo::exists(user))
        return user;
    const QString beside = withSlash(programFolder) + name;
    return FileExists(beside) ? beside : user;
}

QString SettingsFileToWrite(const QString& name, const QString& programFolder)
{
    const QString folder = UserConfigFolder();
    const QString user = folder + name;
    if (QFileInfo::exists(user))
        return user;
    const QString beside = withSlash(programFolder) + name;
    if (ForceDirectories(folder) && FileExists(beside) && QFile::copy(beside, user)) {
        // The copy keeps the settings, not the program folder's permissions.
        QFile::setPermissions(user, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return user;
}

QString ExtractFilePath(const QString& fileName)
{
    const QString path = nativePath(fileName);
    return path.left(lastDelimiter(path) + 1);
}

QString ExtractFileDir(const QString& fileName)
{
    const QString path = nativePath(fileName);
    qsizetype i = lastDelimiter(path);
    if (i == 0)
        return QStringLiteral("/");
    return i < 0 ? QString() : path.left(i);
}

QString ExtractFileName(const QString& fileName)
{
    return fileName.mid(lastDelimiter(fileName) + 1);
}

QString ExtractFileExt(const QString& fileName)
{
    qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < lastDelimiter(fileName))
        return {};
    return fileName.mid(dot);
}

QString ChangeFileExt(const QString& fileName, const QString& extension)
{
    const QString ext = ExtractFileExt(fileName);
    return fileName.left(fileName.size() - ext.size()) + extension;
}

QString IncludeTrailingPathDelimiter(const QString& path)
{
    QString result = nativePath(path);
    if (!result.endsWith(QLatin1Char('/')))
        result += QLatin1Char('/');
    return result;
}

QString ExcludeTrailingPathDelimiter(const QString& path)
{
    QString result = nativePath(path);
    while (result.size() > 1 && result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

QString ExpandFileName(const QString& fileName)
{
    if (fileName.isEmpty())
        return {};
    const QString path = nativePath(fileName);
    QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path;
    QString clean = QDir::cleanPath(absolute);
    // cleanPath drops a trailing '/', which names a folder: keep it.
    if (path.endsWith(QLatin1Char('/')) && !clean.endsWith(QLatin1Char('/')))
        clean += QLatin1Char('/');
    return clean;
}

bool FileExists(const QString& fileName)
{
    QFileInfo info(nativePath(fileName));
    return info.exists() && !info.isDir();
}

bool DirectoryExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(nativePath(path)).isDir();
}

bool ForceDirectories(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QDir().mkpath(nativePath(path));
}

bool DeleteFile(const QString& fileName)
{
    const QString path = nativePath(fileName);
    if (QFileInfo(path).isDir())
        return false;
    return QFile::remove(path);
}

bool RenameFile(const QString& oldName, const QString& newName)
{
    const QString target = nativePath(newName);
    // The platform refuses to rename over an existing file.
    if (QFileInfo::exists(target))
        return false;
    return QFile::rename(nativePath(oldName), target);
}

void writeFileAtomic(const QString& fileName, const QByteArray& bytes)
{
    const QString path = nativePath(fileName);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason));
    }
}

namespace {

void openForReading(QFile& file, const QString& fileName)
{
    if (QFileInfo(file.fileName()).isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString reason = QFileInfo(file.fileName()).isDir()
                                   ? QString::fromLocal8Bit(std::strerror(EISDIR))
                                   : file.errorString();
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason));
    }
}

QByteArray readAllOf(QFile& file)
{
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EReadError(QStringLiteral("Stream read error"));
    return bytes;
}

} // namespace

QByteArray readFileBytes(const QString& fileName)
{
    QFile file(nativePath(fileName));
    openForReading(file, fileName);
    return readAllOf(file);
}

void readFileView(const QString& fileName, const std::function<void(QByteArrayView)>& use)
{
    QFile file(nativePath(fileName));
    openForReading(file, fileName);
    const qint64 size = file.isSequential() ? 0 : file.size();
    if (size > 0) {
        if (uchar* mapped = file.map(0, size)) {
            struct Unmap {
                QFile& file;
                uchar* mapped;
                ~Unmap() { file.unmap(mapped); }
            } unmap{file, mapped};
            use(QByteArrayView(reinterpret_cast<const char*>(mapped), size));
            return;
        }
    }
    const QByteArray bytes = readAllOf(file);
    use(QByteArrayView(bytes));
}

} // namespace plat
