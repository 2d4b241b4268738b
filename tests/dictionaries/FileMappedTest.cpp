#include "CBHWordLib.h"
#include "CFileMapped.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstring>

TEST(FileMapped, MapsTheWholeFileReadOnly)
{
    TestDir dir;
    const QByteArray bytes("0123456789abcdef\0xyz", 20);
    CFileMapped file(dir.write("f.bin", bytes));
    ASSERT_TRUE(file.Open(OpenRead));
    ASSERT_NE(file.Memory, nullptr);
    EXPECT_EQ(file.Size, 20u);
    EXPECT_GT(file.Handle, 0);
    EXPECT_EQ(std::memcmp(file.Memory, bytes.constData(), 20), 0);

    // A second Open keeps the first mapping; Close twice is harmless.
    unsigned char* first = file.Memory;
    EXPECT_TRUE(file.Open(OpenRead));
    EXPECT_EQ(file.Memory, first);
    file.Close();
    EXPECT_EQ(file.Memory, nullptr);
    EXPECT_EQ(file.Size, 0u);
    EXPECT_EQ(file.Handle, 0);
    file.Close();
    EXPECT_EQ(file.Memory, nullptr);
}

TEST(FileMapped, MissingFileFailsUntilItExists)
{
    TestDir dir;
    CFileMapped file(dir.path("late.bin"));
    EXPECT_FALSE(file.Open(OpenRead));
    EXPECT_EQ(file.Memory, nullptr);
    EXPECT_EQ(file.Size, 0u);
    EXPECT_EQ(file.Handle, 0);

    dir.write("late.bin", "abc");
    EXPECT_TRUE(file.Open(OpenRead));
    EXPECT_EQ(file.Size, 3u);
}

TEST(FileMapped, UnmappableCasesFail)
{
    TestDir dir;
    CFileMapped empty(dir.write("empty.bin", QByteArray()));
    EXPECT_FALSE(empty.Open(OpenRead));
    EXPECT_EQ(empty.Handle, 0);

    CFileMapped noName{QString()};
    EXPECT_FALSE(noName.Open(OpenRead));

    // A write-only descriptor cannot back a mapping.
    CFileMapped writeOnly(dir.write("w.bin", "abc"));
    EXPECT_FALSE(writeOnly.Open(OpenWrite));
    EXPECT_EQ(writeOnly.Memory, nullptr);
    EXPECT_EQ(writeOnly.Handle, 0);

    // OpenCreate creates the missing file empty, which then cannot be mapped.
    CFileMapped created(dir.path("new.bin"));
    EXPECT_FALSE(created.Open(OpenCreate));
    EXPECT_TRUE(QFile::exists(dir.path("new.bin")));
    EXPECT_EQ(QFile(dir.path("new.bin")).size(), 0);
}

TEST(FileMapped, PrivateMappingsNeverReachTheFile)
{
    TestDir dir;
    CFileMapped file(dir.write("p.bin", "abcd"));
    ASSERT_TRUE(file.Open(OpenReadWrite));
    file.Memory[0] = 'X';
    file.Close();
    EXPECT_EQ(dir.read("p.bin"), QByteArray("abcd"));
}

TEST(FileMapped, NonAsciiPathOpens)
{
    TestDir dir;
    CFileMapped file(dir.write(QString::fromUtf8("笔画.dat"), "abc"));
    EXPECT_TRUE(file.Open(OpenRead));
}

TEST(BaseWordLib, StartsClosedWithBothFlagsSet)
{
    TestDir dir;
    CBHWordLib lib(dir.write("bs.dat", QByteArray(12, '\0')));
    EXPECT_EQ(lib.PageSize, 10);
    EXPECT_EQ(lib.OpenMode, OpenRead);
    EXPECT_TRUE(lib.Eof());
    EXPECT_TRUE(lib.Bof());
    EXPECT_EQ(lib.File->Memory, nullptr);

    // Open and close any number of times, in any order.
    lib.CloseFile();
    lib.OpenFile();
    lib.OpenFile();
    EXPECT_NE(lib.File->Memory, nullptr);
    lib.CloseFile();
    lib.CloseFile();
    EXPECT_EQ(lib.File->Memory, nullptr);
}
