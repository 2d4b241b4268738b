#pragma once

#include <QByteArray>
#include <QString>

// Debug log: timed lines appended to a fixed file. No input-method path
// writes to it; it is kept for diagnosing a device by hand.
constexpr const char* DefaultLogFile = "/mmc/mmca1/log.txt";

// Formats like vsprintf into at most 1023 bytes (longer text is cut) and
// appends it to the log.
void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Appends length bytes; nothing for a null pointer or length <= 0.
void WriteLog(const void* data, int length);
// Appends one line "%10d.%d: text\n" stamped with the time of day.
void WriteTime(const char* text);

// The timed line for a given time, as WriteTime writes it.
QByteArray FormatTimedLine(long seconds, long microseconds, const char* text);

// Redirects the log (tests, or a device with another card path); an empty
// name restores the default.
void SetLogFileName(const QString& fileName);
