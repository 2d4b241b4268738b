// The association table over arbitrary word.idx and word.dat bytes, driven by
// queries, uses, cancels, writes, closes, reopens and replacements of word.dat
// while closed, against a model of the file: a list holds the whole records of
// its index entry, ranked by weight then file order, with the pending change; a
// use adds 2 (never past the largest weight of its parity) or learns over the
// weakest entry with weight 1; a change reaches word.dat at the next change,
// write or close unless cancelled, and only over the record as it was read.

#include "CWordTable.h"
#include "FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QtEndian>

#include <algorithm>
#include <vector>

#include <sys/stat.h>

namespace {

QByteArray consumeFile(FuzzedDataProvider& in, size_t max)
{
    const std::vector<char> bytes = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<size_t>(0, max));
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

// A record as word.dat holds it: the character, then the weight above it.
quint32 record(const TWordItem& item)
{
    return item.Char | quint32(item.Ref) << 16;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QByteArray index = consumeFile(in, 4096);
    QByteArray disk = consumeFile(in, 8192); // what word.dat must hold
    const QString indexPath = FuzzWrite(QStringLiteral("word.idx"), index);
    const QString dataPath = FuzzWrite(QStringLiteral("word.dat"), disk);
    const QByteArray dataName = dataPath.toLocal8Bit();
    const mode_t mode = mode_t(index.size() % 512); // the owner gets read and write, other bits stay
    FUZZ_CHECK(::chmod(dataName.constData(), mode) == 0, "chmod word.dat");

    bool open = false;
    TWordItem pending = {0, 0, 0}, pendingWas = {0, 0, 0};
    const auto write = [&] {
        if (pending.Char == 0 || !open)
            return;
        if (pending.Offset % 4 == 0 && pending.Offset + 4 <= quint64(disk.size())
            && qFromLittleEndian<quint32>(disk.constData() + pending.Offset) == record(pendingWas)) {
            qToLittleEndian(record(pending), disk.data() + pending.Offset);
        }
        pending.Char = 0;
    };
    const auto checkFile = [&] { FUZZ_CHECK(FuzzRead(dataPath) == disk, "word.dat differs from what the uses made it"); };
    {
        CWordTable table(indexPath, dataPath);
        struct stat st;
        FUZZ_CHECK(::stat(dataName.constData(), &st) == 0 && (st.st_mode & 07777) == (mode | 0600), "word.dat mode");
        for (int step = 0; step < 300 && in.remaining_bytes() > 0; ++step) {
            switch (in.ConsumeIntegralInRange(0, 8)) {
            case 0:
                table.OpenFile();
                open = true;
                break;
            case 1:
                table.CloseFile();
                write();
                open = false;
                checkFile();
                break;
            case 2: {
                const uint16_t code = table.IndexCount > 0 && in.ConsumeBool()
                    ? table.IndexTable[in.ConsumeIntegralInRange<size_t>(0, size_t(table.IndexCount) - 1)].Char
                    : in.ConsumeIntegral<uint16_t>();
                const bool found = table.Query(code);
                const TWordIndexItem* entry = table.GetWordIndex(code);
                FUZZ_CHECK(found == (entry != nullptr) && (!entry || table.WordIndex == 0), "Query result");
                const qint64 records = entry && open && entry->Offset < disk.size()
                    ? std::min<qint64>(entry->Count, (disk.size() - entry->Offset) / 4)
                    : 0;
                FUZZ_CHECK(table.WordCount == records && (table.WordList == nullptr) == (records == 0),
                           "the list holds every whole record of its entry");
                for (int i = 0; i < table.WordCount; ++i) {
                    const TWordItem& item = table.WordList[i];
                    FUZZ_CHECK(item.Offset >= entry->Offset && item.Offset < entry->Offset + 4 * records
                                   && (item.Offset - entry->Offset) % 4 == 0,
                               "an entry outside its list's records");
                    FUZZ_CHECK(record(item) == (pending.Char && item.Offset == pending.Offset
                                                    ? record(pending) : qFromLittleEndian<quint32>(disk.constData() + item.Offset)),
                               "an entry differs from its record and the pending change");
                    const TWordItem* prev = i > 0 ? &table.WordList[i - 1] : nullptr;
                    FUZZ_CHECK(!prev || int16_t(prev->Ref) > int16_t(item.Ref)
                                   || (prev->Ref == item.Ref && prev->Offset < item.Offset),
                               "list not ranked by weight, then file order");
                }
                FUZZ_CHECK(table.GetWord(table.WordCount).isNull() && table.GetWord(-1).isNull(), "GetWord outside");
                break;
            }
            case 3: {
                // Mostly a character of the list (a use counted), else any
                // character (learned over the weakest entry).
                uint16_t code = in.ConsumeIntegral<uint16_t>();
                if (table.WordCount > 0 && in.ConsumeBool())
                    code = table.WordList[in.ConsumeIntegralInRange(0, table.WordCount - 1)].Char;
                int i = table.WordCount - 1;
                while (i >= 0 && table.WordList[i].Char != code)
                    --i;
                const bool counted = i >= 0;
                i = counted ? i : table.WordCount - 1;
                const TWordItem was = i >= 0 ? table.WordList[i] : TWordItem{0, 0, 0};
                table.UpdateWordRef(code);
                if (i < 0)
                    break;
                const int ceiling = 32767 - ((was.Ref & 1) ? 0 : 1);
                const TWordItem now = {code, counted ? uint16_t(std::min(int16_t(was.Ref) + 2, ceiling)) : uint16_t(1),
                                       was.Offset};
                FUZZ_CHECK(record(table.WordList[i]) == record(now), "a use counted or learned wrongly");
                write();
                pending = now;
                pendingWas = was;
                break;
            }
            case 4:
                table.CancelUpdate();
                pending.Char = 0;
                break;
            case 5:
                table.UpdateToFile();
                write();
                break;
            case 6: {
                const int asked = in.ConsumeIntegralInRange(-2, table.WordCount + 2);
                int i = asked;
                const uint16_t code = table.GetWordCode(i);
                for (int k = std::max(asked, 0); k < table.WordCount && k < i; ++k)
                    FUZZ_CHECK(table.WordList[k].Ref & 1, "GetWordCode skipped an entry with an even weight");
                FUZZ_CHECK(code == 0 || (i >= asked && i < table.WordCount && table.WordList[i].Char == code
                                         && !(table.WordList[i].Ref & 1)),
                           "GetWordCode gives an entry with an even weight");
                break;
            }
            case 7:
                table.ClearWords();
                break;
            case 8: // replaced while closed: a shorter, longer or different file
                if (!open) {
                    checkFile();
                    FuzzWrite(QStringLiteral("word.dat"), disk = consumeFile(in, 8192));
                }
                break;
            }
        }
    }
    // The destructor wrote whatever was pending.
    write();
    checkFile();
    return 0;
}
