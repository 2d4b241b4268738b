#include "DebugLog.h"

#include <QFile>

#include <cstdarg>
#include <cstdio>
#include <sys/time.h>

namespace {

constexpr int FormatBufferSize = 1024;

QString& logFileName()
{
    static QString name = QString::fromLatin1(DefaultLogFile);
    return name;
}

} // namespace

void SetLogFileName(const QString& fileName)
{
    logFileName() = fileName.isEmpty() ? QString::fromLatin1(DefaultLogFile) : fileName;
}

void WriteLog(const void* data, int length)
{
    if (!data || length <= 0)
        return;
    // Opened and closed per call, so a line is on disk when the call returns
    // and lines of different calls never interleave. Failures are dropped.
    QFile file(logFileName());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(static_cast<const char*>(data), length);
}

void WriteLog(const char* format, ...)
{
    if (!format)
        return;
    char buffer[FormatBufferSize];
    va_list args;
    va_start(args, format);
    const int wanted = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (wanted < 0)
        return;
    const int length = wanted < FormatBufferSize ? wanted : FormatBufferSize - 1;
    WriteLog(static_cast<const void*>(buffer), length);
}

QByteArray FormatTimedLine(long seconds, long microseconds, const char* text)
{
    char head[64];
    std::snprintf(head, sizeof head, "%10ld.%ld: ", seconds, microseconds);
    QByteArray line(head);
    line.append(text ? text : "");
    line.append('\n');
    return line;
}

void WriteTime(const char* text)
{
    timeval now{};
    gettimeofday(&now, nullptr);
    // Formatted through the bounded formatter, so a long text is cut the same
    // way as any other message.
    const QByteArray line = FormatTimedLine(now.tv_sec, now.tv_usec, text);
    WriteLog("%s", line.constData());
}
