// Runs a fuzz target's code on every file of the given corpus directory, the
// way libFuzzer replays a corpus, so the seeds and every input that once
// broke something run in the plain suite too.

#include "FuzzSupport.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    const QDir corpus(QFile::decodeName(argv[1]));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QByteArray bytes = FuzzRead(corpus.filePath(name));
        std::fprintf(stderr, "%s\n", qPrintable(name)); // unbuffered: shown before a crash
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    }
    return names.isEmpty() ? 1 : 0;
}
