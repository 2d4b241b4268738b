#include "CFileMapped.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstring>

TEST(FileMapped, MapsReadableFilesOnceAndNeverWritesBack)
{
    TestDir dir;
    const QByteArray bytes("0123456789\0xyz", 14);
    CFileMapped file(dir.write(QString::fromUtf8("笔画.bin"), bytes));
    ASSERT_TRUE(file.Open(OpenRead));
    EXPECT_EQ(file.Size, 14u);
    EXPECT_EQ(std::memcmp(file.Memory, bytes.constData(), 14), 0);
    unsigned char* first = file.Memory;
    EXPECT_TRUE(file.Open(OpenRead));
    EXPECT_EQ(file.Memory, first);
    file.Close();
    file.Close();
    EXPECT_EQ(file.Memory, nullptr);
    EXPECT_EQ(file.Size, 0u);
    EXPECT_EQ(file.Handle, 0);

    // Files that cannot be mapped leave it closed.
    CFileMapped late(dir.path("late.bin"));
    EXPECT_FALSE(late.Open(OpenRead));
    EXPECT_EQ(late.Handle, 0);
    dir.write("late.bin", "abc");
    EXPECT_TRUE(late.Open(OpenRead));

    // Empty, or writable only: no mapping to read.
    for (const auto& [bytes, mode] : {std::pair{QByteArray(), OpenRead}, std::pair{QByteArray("abc"), OpenWrite}}) {
        CFileMapped unmappable(dir.write("f.bin", bytes));
        EXPECT_FALSE(unmappable.Open(mode));
        EXPECT_EQ(unmappable.Handle, 0);
    }
    // Created empty, which then cannot be mapped.
    CFileMapped created(dir.path("new.bin"));
    EXPECT_FALSE(created.Open(OpenCreate));
    EXPECT_TRUE(QFile::exists(dir.path("new.bin")));

    // Private mappings never write back.
    CFileMapped rw(dir.write("p.bin", "abcd"));
    ASSERT_TRUE(rw.Open(OpenReadWrite));
    rw.Memory[0] = 'X';
    rw.Close();
    EXPECT_EQ(dir.read("p.bin"), QByteArray("abcd"));
}
