#include "CSymKBD.h"
#include "CSymTable.h"
#include "Gbk.h"
#include "KeyboardTestSupport.h"

namespace {

constexpr int Table1 = 11, Table2 = 12, CapsLock = 13, Table4 = 16, Table3 = 17, Shift = 18;

const QString Letters = QStringLiteral("abcdefghijklmnopqrstuvwxy"); // 25 symbols
const QString Capitals = Letters.toUpper();

// Symbols.txt from lines of text, in GBK, each ending in eol.
QByteArray symbolFile(const QStringList& lines, const QByteArray& eol = "\n")
{
    QByteArray out;
    for (const QString& line : lines)
        out += toGbk(line) + eol;
    return out;
}

const QStringList StandardLines = {
    Letters, Capitals,
    QStringLiteral("0123456789"), QStringLiteral(")!@#$%^&*("),
    QStringLiteral("，。？！：；、…“”《》"), QString(),
    QStringLiteral("xyz"), QStringLiteral("XYZ"),
};

class SymbolKeyboard : public KeyboardTest
{
protected:
    void SetUp() override
    {
        KeyboardTest::SetUp();
        image = writeKeyboardImage(dir, QStringLiteral("InputW_Stroke_Entry_Ext.gif"));
    }

    CSymKBD& load(const QByteArray& symbols)
    {
        dir.write(QStringLiteral("Symbols.txt"), symbols);
        return make();
    }
    CSymKBD& make()
    {
        kbd = std::make_unique<CSymKBD>(&owner, QStringLiteral("InputW_Stroke_Entry_Ext.gif"));
        owner.Keyboard = kbd.get();
        owner.grab();
        return *kbd;
    }
    bool keyDrawnDown(int key)
    {
        const QPoint at = CKBD::keyRect(key).topLeft() + QPoint(2, 2);
        return (owner.canvas().pixel(at) & 0xFFFFFF) == (inverted(image.pixel(at)) & 0xFFFFFF);
    }

    QImage image;
    std::unique_ptr<CSymKBD> kbd;
};

} // namespace

TEST_F(SymbolKeyboard, MissingFileGivesEmptyTablesAndKeepsTheSettings)
{
    CSymKBD& sym = make();
    EXPECT_EQ(cells(sym), QStringLiteral("__________"));
    for (int key : {0, 9, 15, 10, Table2, Table4})
        tap(sym, key);
    EXPECT_TRUE(owner.Selected.isEmpty());
    EXPECT_EQ(__DefaultWords, QStringLiteral("；“”、…：，。？！"));
    EXPECT_EQ(__FontColor, QColor(Qt::black));
    EXPECT_EQ(__FontRevColor, QColor(Qt::white));
    tap(sym, Shift); // still shows its state
    EXPECT_TRUE(sym.Shift);
    EXPECT_TRUE(keyDrawnDown(Shift));
}

TEST_F(SymbolKeyboard, TablesAndTheirKeys)
{
    CSymKBD& sym = load(symbolFile(StandardLines));
    EXPECT_EQ(cells(sym), Letters.left(10));
    tap(sym, 3);
    EXPECT_EQ(owner.Selected, QStringList{QStringLiteral("d")});
    tap(sym, Table2);
    EXPECT_EQ(cells(sym), QStringLiteral("0123456789"));
    tap(sym, Table3); // key 17 is table 3
    EXPECT_EQ(cells(sym), QStringLiteral("，。？！：；、…“”"));
    tap(sym, Table4); // key 16 is table 4, shorter than a page
    EXPECT_EQ(cells(sym), QStringLiteral("xyz_______"));
    tap(sym, 5); // past its end: nothing
    tap(sym, 15);
    EXPECT_EQ(cells(sym), QStringLiteral("xyz_______"));
    tap(sym, 10);
    EXPECT_EQ(cells(sym), QStringLiteral("xyz_______"));
    tap(sym, Shift);
    EXPECT_EQ(cells(sym), QStringLiteral("XYZ_______"));
    EXPECT_EQ(owner.Selected.size(), 1);
}

TEST_F(SymbolKeyboard, PagesGoRoundTheTableInACircle)
{
    CSymKBD& sym = load(symbolFile(StandardLines));
    QList<int> starts;
    for (int i = 0; i < 10; ++i) {
        tap(sym, 15);
        starts << sym.CurTable->WordIndex;
    }
    EXPECT_EQ(starts, (QList<int>{10, 20, 5, 15, 0, 10, 20, 5, 15, 0}));
    tap(sym, 15);
    tap(sym, 15);
    EXPECT_EQ(cells(sym), QStringLiteral("uvwxyabcde")); // 20 to 24, then 0 to 4

    starts.clear();
    sym.Reset(true);
    for (int i = 0; i < 5; ++i) {
        tap(sym, 10);
        starts << sym.CurTable->WordIndex;
    }
    EXPECT_EQ(starts, (QList<int>{15, 5, 20, 10, 0}));
}

TEST_F(SymbolKeyboard, ShiftIsOneShotAndCapsLockStays)
{
    CSymKBD& sym = load(symbolFile(StandardLines));
    tap(sym, Shift);
    EXPECT_TRUE(keyDrawnDown(Shift)); // latched after its own release
    EXPECT_EQ(cells(sym), Capitals.left(10));
    tap(sym, 2);
    EXPECT_EQ(owner.Selected.last(), QStringLiteral("C"));
    EXPECT_FALSE(sym.Shift);
    EXPECT_FALSE(keyDrawnDown(Shift));
    EXPECT_EQ(cells(sym), Letters.left(10));

    tap(sym, CapsLock);
    tap(sym, 2);
    EXPECT_EQ(owner.Selected.last(), QStringLiteral("C"));
    EXPECT_EQ(cells(sym), Capitals.left(10));
    EXPECT_TRUE(keyDrawnDown(CapsLock));

    tap(sym, Shift); // both on: plain
    EXPECT_EQ(cells(sym), Letters.left(10));
    tap(sym, 2);
    EXPECT_EQ(owner.Selected.last(), QStringLiteral("c"));
    EXPECT_EQ(cells(sym), Capitals.left(10));

    // The latch survives a full repaint and a press slid off the key.
    owner.invalidateCanvas();
    owner.grab();
    EXPECT_TRUE(keyDrawnDown(CapsLock));
    press(sym, keyCentre(CapsLock));
    moveTo(sym, keyCentre(Table2));
    EXPECT_TRUE(keyDrawnDown(CapsLock));
    release(sym, QPoint(-50, -50));

    // A table key or a switch back turns both off and starts at the first page.
    tap(sym, Shift);
    tap(sym, 15);
    sym.Reset(true);
    EXPECT_FALSE(sym.Shift || sym.CapLock);
    EXPECT_EQ(cells(sym), Letters.left(10));
    EXPECT_FALSE(keyDrawnDown(CapsLock));
    tap(sym, CapsLock);
    tap(sym, Table1);
    EXPECT_FALSE(sym.CapLock);
}

TEST_F(SymbolKeyboard, LineEndingsAndEmptyLines)
{
    const QByteArray lf = symbolFile(StandardLines);
    const QByteArray crlf = symbolFile(StandardLines, "\r\n");
    QStringList fromLf;
    for (CSymTable* table : load(lf).Tables)
        fromLf << table->PlainWords << table->ShiftWords;
    QStringList fromCrLf;
    for (CSymTable* table : load(crlf).Tables)
        fromCrLf << table->PlainWords << table->ShiftWords;
    EXPECT_EQ(fromCrLf, fromLf);
    const QString plain = fromLf[4];
    EXPECT_EQ(plain, QStringLiteral("，。？！：；、…“”《》"));

    // A line of only CR LF is an empty table: its key leaves the cells as they were.
    CSymKBD& c = load(QByteArray("abcdefghij\n\r\n\r\nk\n"));
    EXPECT_TRUE(c.Tables[1]->PlainWords.isEmpty());
    EXPECT_EQ(c.Tables[0]->ShiftWords, QStringLiteral("abcdefghij"));
    tap(c, Table2);
    EXPECT_EQ(cells(c), QStringLiteral("abcdefghij"));
    tap(c, 1);
    EXPECT_EQ(owner.Selected.last(), QStringLiteral("b"));
}

TEST_F(SymbolKeyboard, LongLinesAreReadWholeAndLaterLinesStayInPlace)
{
    // 253 and 254 bytes, and a line of two-byte characters across byte 254.
    const QString hanzi = QString(QStringLiteral("中")).repeated(130);
    QStringList lines = {QString(253, QLatin1Char('a')), QString(254, QLatin1Char('b')),
                         QStringLiteral("x") + hanzi, QString(5000, QLatin1Char('c')),
                         QString(), QString(), QString(), QString(),
                         QStringLiteral("0123456789"), QStringLiteral("FF0000"), QStringLiteral("00FF00")};
    CSymKBD& sym = load(symbolFile(lines, "\r\n"));
    EXPECT_EQ(sym.Tables[0]->PlainWords.length(), 253);
    EXPECT_EQ(sym.Tables[0]->ShiftWords, QString(254, QLatin1Char('b')));
    EXPECT_EQ(sym.Tables[1]->PlainWords, QStringLiteral("x") + hanzi);
    EXPECT_EQ(sym.Tables[1]->ShiftWords.length(), 5000);
    EXPECT_EQ(__DefaultWords, QStringLiteral("0123456789"));
    EXPECT_EQ(__FontColor, QColor(Qt::red));
    EXPECT_EQ(__FontRevColor, QColor(Qt::green));
}

TEST_F(SymbolKeyboard, PunctuationLineNeedsTenCharacters)
{
    QStringList lines = StandardLines;
    load(symbolFile(lines << QStringLiteral("123456789")));
    EXPECT_EQ(__DefaultWords, QStringLiteral("；“”、…：，。？！"));
    lines.last() = QStringLiteral("《》「」『』〈〉【】");
    lines.last() += QStringLiteral("〔");
    load(symbolFile(lines));
    EXPECT_EQ(__DefaultWords, QStringLiteral("《》「」『』〈〉【】〔"));
}

TEST_F(SymbolKeyboard, ColourLinesSetTheCellTextColours)
{
    QStringList lines = StandardLines;
    lines << QString() << QStringLiteral("red") << QStringLiteral("0000ff");
    load(symbolFile(lines));
    EXPECT_EQ(__FontColor, QColor(Qt::black));
    EXPECT_EQ(__FontRevColor, QColor(Qt::blue));

    lines[9] = QStringLiteral("FF0000");
    CSymKBD& sym = load(symbolFile(lines));
    const QRect cell = CKBD::keyRect(0);
    int red = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QRgb p = owner.canvas().pixel(x, y);
            red += qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
        }
    EXPECT_GT(red, 5);
    EXPECT_EQ(sym.Words[0], QStringLiteral("a"));
}

TEST_F(SymbolKeyboard, BadFilesGiveAWorkingKeyboard)
{
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += char((i * 131 + 7) % 256);
    const QByteArray files[] = {
        QByteArray(),
        QByteArray("\n\n\n\n\n\n\n\n\n\n\n\n"),
        garbage,
        QByteArray("\x81\x30\xff\xfe\x80\xa1\n\xfe\n"), // invalid GBK
        QByteArray("ab\0cd\n", 6),                      // a NUL ends the text
        QByteArray(100000, 'z'),                        // one line, no end
    };
    for (const QByteArray& bytes : files) {
        SetUp();
        CSymKBD& sym = load(bytes);
        for (int key : {0, 5, 9, 15, 15, 10, Shift, CapsLock, 3, Table2, Table3, Table4, Table1, 14, 19})
            tap(sym, key);
        EXPECT_EQ(__FontColor.alpha(), 255);
    }
    EXPECT_EQ(kbd->Tables[0]->PlainWords.length(), 100000);
    load(files[4]);
    EXPECT_EQ(kbd->Tables[0]->PlainWords, QStringLiteral("ab"));
    load(files[3]);
    EXPECT_EQ(kbd->Tables[0]->PlainWords.length(), 4); // each bad sequence a replacement
    EXPECT_TRUE(kbd->Tables[0]->PlainWords.contains(QChar::ReplacementCharacter));
}
