// The promoted candidates of cells 0 and 4 on the real data pack, set
// against the rule: for every code of one to four strokes (wildcard
// included) and several association lists, the cells must show exactly what
// the walk from the sixth match finds.
#include "CBHKBD.h"
#include "CBHWordLib.h"
#include "CWordTable.h"
#include "KeyboardTestSupport.h"

#include <QFile>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

const QString PackDir = QStringLiteral(DIRORU_PACK_DIR "/");

// Every code of 1 to maxLength strokes over the five strokes and the wildcard.
QStringList AllCodes(int maxLength)
{
    QStringList codes{QString()};
    QStringList all;
    for (int n = 1; n <= maxLength; ++n) {
        QStringList longer;
        for (const QString& c : codes)
            for (QChar d : QStringLiteral("123457"))
                longer << c + d;
        all += longer;
        codes = longer;
    }
    return all;
}

// The rule over the dictionary's matches in file order (the dictionary tests
// hold those to a literal reading of bs.dat): the sixth match's character
// first; then each later match whose character has an even-weight entry in
// the list, the second never the same character as the first; a character 0
// ends the walk. repeats counts the walks where that rule passed a
// character over.
QString RulePromoted(CBHWordLib& lib, const std::vector<TWordItem>& list, int& repeats)
{
    const auto inList = [&list](uint16_t c) {
        return std::any_of(list.begin(), list.end(), [c](const TWordItem& e) { return e.Char == c && e.Ref % 2 == 0; });
    };
    int next = 0;
    const auto walk = [&] {
        const uint16_t c = lib.GetWordCode(next);
        ++next;
        return c;
    };
    uint16_t c = 0;
    for (int n = 0; n < 6; ++n)
        if ((c = walk()) == 0)
            break;
    QString found;
    while (c != 0 && found.size() < 2) {
        const bool repeat = found.size() == 1 && found.at(0).unicode() == c;
        repeats += repeat;
        if (!repeat && inList(c))
            found += QChar(c);
        if (found.size() < 2)
            c = walk();
    }
    return found.leftJustified(2, u' ');
}

class PromotedPack : public KeyboardTest
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(PackDir + "bs.dat"))
            GTEST_SKIP() << "the data pack has not been built";
        KeyboardTest::SetUp();
        // A copy: the table sets word.dat's permissions and may write it.
        for (const char* name : {"bs.dat", "word.idx", "word.dat"})
            ASSERT_TRUE(QFile::copy(PackDir + name, dir.path(name)));
        bs = dir.read("bs.dat");
        kbd = std::make_unique<CBHKBD>(&owner, QStringLiteral("none.gif"));
        owner.Keyboard = kbd.get();
        kbd->onShow();
    }

    // Replaces the loaded association list.
    void setList(const std::vector<TWordItem>& list)
    {
        CWordTable& t = *kbd->WordTable;
        t.ClearWords();
        t.WordList = static_cast<TWordItem*>(std::malloc(list.size() * sizeof(TWordItem)));
        std::copy(list.begin(), list.end(), t.WordList);
        t.WordCount = int(list.size());
    }
    std::vector<TWordItem> listOf(char16_t ch)
    {
        EXPECT_TRUE(kbd->WordTable->Query(ch));
        return {kbd->WordTable->WordList, kbd->WordTable->WordList + kbd->WordTable->WordCount};
    }

    QByteArray bs;
    std::unique_ptr<CBHKBD> kbd;
};

} // namespace

TEST_F(PromotedPack, CellsZeroAndFourAreTheWalksFindings)
{
    // The shipped lists of four frequent characters, and a made-up list:
    // characters stored under two stroke orders (the second record must
    // never fill cell 4), one of them twice, a learned (odd) entry of the
    // file's first character that must never be promoted, and a character
    // 0, which is no follower and does not end the list.
    std::vector<std::vector<TWordItem>> lists;
    for (char16_t ch : {u'的', u'我', u'中', u'一'})
        lists.push_back(listOf(ch));
    std::vector<TWordItem> made{{u16At(bs, 10), 7, 0}, {0, 4, 0}};
    std::vector<int> seen(65536);
    for (qsizetype r = 0; r + 12 <= bs.size(); r += 12)
        ++seen[u16At(bs, r + 10)];
    for (int c = 0x4E00; c < 65536 && made.size() < 60; c += 97)
        for (int d = c; d < c + 97 && d < 65536; ++d)
            if (seen[d] == 2) {
                made.push_back({uint16_t(d), uint16_t(2 * made.size()), 0});
                break;
            }
    made.push_back(made[2]);
    lists.push_back(made);

    // Every code of one to three strokes in every build; four in optimised
    // ones, where a pass over the records is cheap.
#ifdef NDEBUG
    const QStringList codes = AllCodes(4);
#else
    const QStringList codes = AllCodes(3);
#endif
    int promoted[3] = {0, 0, 0};
    int repeats = 0;
    for (size_t l = 0; l < lists.size(); ++l) {
        setList(lists[l]);
        for (const QString& code : codes) {
            SCOPED_TRACE(qPrintable(QStringLiteral("list %1, code %2").arg(l).arg(code)));
            if (!kbd->WordLib->Query(code)) // the keyboard then shows no promotion
                continue;
            const QString expected = RulePromoted(*kbd->WordLib, lists[l], repeats);
            kbd->ShowRecords();
            kbd->ShowBHImages();
            ASSERT_EQ(kbd->Words[0] + kbd->Words[4], expected);
            uint16_t walked[2] = {0, 0};
            const int n = kbd->FindPromotedByWalk(walked);
            ASSERT_EQ((QString(QChar(walked[0])) + QChar(walked[1])).left(n).leftJustified(2, u' '), expected);
            ++promoted[expected.count(u' ') == 2 ? 0 : expected.count(u' ') == 1 ? 1 : 2];
        }
    }
    // The cases cover nothing, one and two promoted, and the rule against
    // promoting a character twice.
    EXPECT_GT(repeats, 0);
    EXPECT_GT(promoted[0], 0);
    EXPECT_GT(promoted[1], 0);
    EXPECT_GT(promoted[2], 100);
}
