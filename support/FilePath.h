#pragma once

#include <QString>

// The path up to and including its last '/'; empty when there is none.
QString ExtractFilePath(const QString& path);
