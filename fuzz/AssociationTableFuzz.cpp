// The association table over arbitrary word.idx and word.dat bytes, driven
// by queries, learned choices, cancels, page reads, closes, reopens and
// replacements of word.dat while closed. Checked inside: word.dat keeps its
// size and is written only in whole records that its index names (see
// WordDatCheck.h); a record whose character changed holds one that was
// learned, with an odd (learned) weight; and every list is ranked by weight.

#include "CWordTable.h"
#include "FuzzSupport.h"
#include "WordDatCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QSet>
#include <QtEndian>

#include <vector>

namespace {

QByteArray consumeFile(FuzzedDataProvider& in, size_t max)
{
    const std::vector<char> bytes = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<size_t>(0, max));
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

// Every changed record that now holds another character holds a learned one.
void checkLearnedRecords(const QByteArray& before, const QByteArray& after, const QSet<uint16_t>& learned)
{
    for (qsizetype at = 0; at + 4 <= after.size(); at += 4) {
        const uint16_t oldChar = qFromLittleEndian<uint16_t>(before.constData() + at);
        const uint16_t newChar = qFromLittleEndian<uint16_t>(after.constData() + at);
        const uint16_t newRef = qFromLittleEndian<uint16_t>(after.constData() + at + 2);
        if (oldChar == newChar)
            continue;
        FUZZ_CHECK(learned.contains(newChar), "record at " + std::to_string(at) + " holds a character never learned");
        FUZZ_CHECK(newRef & 1, "a learned record has an even weight");
    }
}

void checkWrites(const QByteArray& index, const QByteArray& before, const QString& dataPath,
                 const QSet<uint16_t>& learned)
{
    const QByteArray after = FuzzRead(dataPath);
    const std::string violation = CheckWordDatWrites(index, before, after);
    FUZZ_CHECK(violation.empty(), violation);
    checkLearnedRecords(before, after, learned);
}

void checkList(CWordTable& table, const TWordIndexItem* entry, qint64 dataSize)
{
    FUZZ_CHECK(table.WordCount >= 0 && table.WordCount <= entry->Count, "more entries than the index names");
    FUZZ_CHECK((table.WordList == nullptr) == (table.WordCount == 0), "WordList null exactly when empty");
    for (int i = 0; i < table.WordCount; ++i) {
        const TWordItem& item = table.WordList[i];
        FUZZ_CHECK(item.Offset >= entry->Offset && qint64(item.Offset) + 4 <= qint64(entry->Offset) + 4 * entry->Count
                       && qint64(item.Offset) + 4 <= dataSize,
                   "an entry outside its list's records");
        if (i > 0)
            FUZZ_CHECK(int16_t(table.WordList[i - 1].Ref) >= int16_t(item.Ref), "list not ranked by weight");
        FUZZ_CHECK(table.GetWord(i) == QString(QChar(item.Char)), "GetWord");
    }
    FUZZ_CHECK(table.GetWord(table.WordCount).isNull() && table.GetWord(-1).isNull(), "GetWord outside the list");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QByteArray index = consumeFile(in, 4096);
    QByteArray before = consumeFile(in, 8192);
    const QString indexPath = FuzzWrite(QStringLiteral("word.idx"), index);
    const QString dataPath = FuzzWrite(QStringLiteral("word.dat"), before);

    std::vector<uint16_t> leads;
    for (qsizetype at = 0; at + 8 <= index.size(); at += 8)
        leads.push_back(qFromLittleEndian<uint16_t>(index.constData() + at));
    QSet<uint16_t> learned;

    {
        CWordTable table(indexPath, dataPath);
        table.PageSize = 10;
        bool open = false;
        for (int step = 0; step < 300 && in.remaining_bytes() > 0; ++step) {
            switch (in.ConsumeIntegralInRange(0, 9)) {
            case 0:
                table.OpenFile();
                open = true;
                break;
            case 1:
                table.CloseFile();
                open = false;
                checkWrites(index, before, dataPath, learned);
                break;
            case 2: {
                const uint16_t code = !leads.empty() && in.ConsumeBool()
                    ? leads[in.ConsumeIntegralInRange<size_t>(0, leads.size() - 1)]
                    : in.ConsumeIntegral<uint16_t>();
                const bool found = table.Query(code);
                const TWordIndexItem* entry = table.GetWordIndex(code);
                FUZZ_CHECK(found == (entry != nullptr), "Query result");
                if (entry) {
                    FUZZ_CHECK(table.WordIndex == 0, "WordIndex after a query");
                    checkList(table, entry, open ? before.size() : 0);
                } else {
                    FUZZ_CHECK(table.WordCount == 0, "a list without an index entry");
                }
                break;
            }
            case 3: {
                // Mostly a character of the list (a use counted), else any
                // character (learned over the weakest record).
                uint16_t code = in.ConsumeIntegral<uint16_t>();
                if (table.WordCount > 0 && in.ConsumeBool())
                    code = table.WordList[in.ConsumeIntegralInRange(0, table.WordCount - 1)].Char;
                if (code != 0)
                    learned.insert(code);
                table.UpdateWordRef(code);
                break;
            }
            case 4:
                table.CancelUpdate();
                break;
            case 5:
                table.UpdateToFile();
                break;
            case 6: {
                int i = in.ConsumeIntegralInRange(-2, table.WordCount + 2);
                const int asked = i;
                const uint16_t code = table.GetWordCode(i);
                if (code != 0) {
                    FUZZ_CHECK(i >= asked && i < table.WordCount, "GetWordCode position");
                    FUZZ_CHECK(table.WordList[i].Char == code && !(table.WordList[i].Ref & 1),
                               "GetWordCode gives an entry with an even weight");
                }
                break;
            }
            case 7:
                table.GetWord(in.ConsumeIntegralInRange(-2, table.WordCount + 2));
                break;
            case 8:
                table.ClearWords();
                break;
            case 9:
                // Replaced while closed: a shorter, longer or different file.
                if (!open) {
                    checkWrites(index, before, dataPath, learned);
                    before = consumeFile(in, 8192);
                    FuzzWrite(QStringLiteral("word.dat"), before);
                }
                break;
            }
        }
    }
    // The destructor wrote whatever was pending.
    checkWrites(index, before, dataPath, learned);
    return 0;
}
