#include "CSymKBD.h"
#include "CSymTable.h"
#include "Gbk.h"
#include "KeyboardTestSupport.h"

namespace {

constexpr int Table1 = 11, Table2 = 12, CapsLock = 13, Table4 = 16, Table3 = 17, Shift = 18;

const QString Letters = QStringLiteral("abcdefghijklmnopqrstuvwxy"); // 25 symbols
const QString Capitals = Letters.toUpper();
const QStringList StandardLines = {
    Letters, Capitals, QStringLiteral("0123456789"), QStringLiteral(")!@#$%^&*("),
    QStringLiteral("，。？！：；、…“”《》"), QString(), QStringLiteral("xyz"), QStringLiteral("XYZ"),
};

class SymbolKeyboard : public KeyboardTest
{
protected:
    // A keyboard on Symbols.txt of lines in GBK, each ending in eol.
    CSymKBD& load(const QStringList& lines, const QByteArray& eol = "\n")
    {
        QByteArray bytes;
        for (const QString& line : lines)
            bytes += toGbk(line) + eol;
        return load(bytes);
    }
    CSymKBD& load(const QByteArray& bytes)
    {
        dir.write(QStringLiteral("Symbols.txt"), bytes);
        return show<CSymKBD>();
    }
};

} // namespace

TEST_F(SymbolKeyboard, TablesPagedInACircle)
{
    load(StandardLines);
    run({
        {{KeyNext, KeyNext, KeyNext}, "fghijklmno"}, // from 20 past the end to 5
        {{KeyNext, KeyNext, KeyNext, KeyNext}, "uvwxyabcde"}, // 15, 0, 10, 20: 20 to 24, then 0 to 4
        {{3, Table1, KeyPrior, KeyPrior}, "fghijklmno"},
        {{Table3}, "，。？！：；、…“”"},      // key 17 is table 3
        {{Table4, 5, KeyNext, KeyPrior}, "xyz_______"}, // key 16 is table 4, shorter than a page
    });
    EXPECT_EQ(owner.Selected, QStringList{"x"}); // past its end a key chooses nothing
}

TEST_F(SymbolKeyboard, ShiftIsOneShotAndCapsLockStays)
{
    CSymKBD& sym = load(StandardLines);
    run({{{}, Letters.left(10)}, {{Shift}, Capitals.left(10)}});
    EXPECT_TRUE(drawn(Shift, true)); // latched after its own release
    run({
        {{2}, Letters.left(10)},
        {{CapsLock, 2}, Capitals.left(10)},
        {{Shift}, Letters.left(10)}, // both on: plain
        {{2}, Capitals.left(10)},
    });
    EXPECT_FALSE(drawn(Shift, true));
    EXPECT_EQ(owner.Selected.join(QString()), QStringLiteral("CCc"));

    // The latch survives a full repaint and a press slid off the key.
    owner.invalidateCanvas();
    owner.grab();
    EXPECT_TRUE(drawn(CapsLock, true));
    press(keyCentre(CapsLock));
    moveTo(keyCentre(Table2));
    EXPECT_TRUE(drawn(CapsLock, true));
    release(QPoint(-50, -50));

    // Coming back to this keyboard, or a table key, turns both off.
    run({{{Shift, KeyNext, ResetKeyboard}, Letters.left(10)}, {{CapsLock, Table2}, "0123456789"}});
    EXPECT_FALSE(sym.Shift || sym.CapLock || drawn(CapsLock, true));
}

// Lines end in LF or CR LF; the punctuation line needs ten characters, a
// colour line hexadecimal.
TEST_F(SymbolKeyboard, LinesAreReadWholeWhateverTheirEndingAndLength)
{
    QStringList lines = StandardLines;
    lines[0] = QString(253, QLatin1Char('a'));
    lines[2] = QStringLiteral("x") + QString(QStringLiteral("中")).repeated(130); // two bytes across byte 254
    lines << QStringLiteral("0123456789") << QStringLiteral("FF0000") << QStringLiteral("00FF00");
    CSymKBD& sym = load(lines, "\r\n");
    for (int table = 0; table < 4; ++table)
        EXPECT_EQ(sym.Tables[table]->PlainWords, lines[2 * table]);
    EXPECT_EQ(__DefaultWords, lines[8]);
    EXPECT_EQ(__FontColor, QColor(Qt::red));
    EXPECT_EQ(__FontRevColor, QColor(Qt::green));
    EXPECT_GT(redPixels(CKBD::keyRect(0)), 5);

    QStringList shortLines = StandardLines;
    load(shortLines << QStringLiteral("123456789") << QStringLiteral("red") << QStringLiteral("0000ff"));
    EXPECT_EQ(__DefaultWords, lines[8]); // nine: ignored
    EXPECT_EQ(__FontColor, QColor(Qt::red));
    EXPECT_EQ(__FontRevColor, QColor(Qt::blue));

    // A line of only CR LF is an empty table: its key leaves the cells as they were.
    load(QByteArray("abcdefghij\n\r\n\r\nk\n"));
    type({Table2, 1});
    EXPECT_EQ(owner.Selected, QStringList{"b"});
}

TEST_F(SymbolKeyboard, MissingOrBadFilesGiveAWorkingKeyboard)
{
    CSymKBD& none = show<CSymKBD>(); // no Symbols.txt: four empty tables; shift still shows its state
    type({0, 9, KeyNext, KeyPrior, Table2, Table4, Shift});
    EXPECT_TRUE(cells(none) == QStringLiteral("__________") && owner.Selected.isEmpty() && drawn(Shift, true));

    // Arbitrary bytes with taps are the symbol-keyboard fuzz target's; here
    // what three kinds of bad line read as.
    EXPECT_TRUE(load("\x81\x30\xff\xfe\x80\xa1\n\xfe\n").Tables[0]->PlainWords.contains(QChar::ReplacementCharacter));
    EXPECT_EQ(load(QByteArray("ab\0cd\n", 6)).Tables[0]->PlainWords, QStringLiteral("ab")); // a NUL ends the text
    EXPECT_EQ(load(QByteArray(100000, 'z')).Tables[0]->PlainWords.length(), 100000); // no line end
}
