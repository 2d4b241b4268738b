#include "FuzzSupport.h"

#include "TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

void FuzzFail(const std::string& message)
{
    std::fprintf(stderr, "invariant broken: %s\n", message.c_str());
    std::abort();
}

void FuzzInitGui()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // QApplication keeps references to both, so they live as long as it.
    static int argc = 1;
    static char name[] = "diroru-fuzz";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

QString FuzzDir()
{
    // Memory-backed when possible: the targets rewrite their files on every
    // input.
    static const TestDir dir((QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
                             + QStringLiteral("/diroru-fuzz-XXXXXX"));
    if (!dir.isValid())
        FuzzFail("cannot create a scratch directory");
    return dir.dir();
}

QString FuzzWrite(const QString& name, const QByteArray& bytes)
{
    QFile file(FuzzDir() + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        FuzzFail("cannot write " + name.toStdString());
    return file.fileName();
}

QByteArray FuzzRead(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
