#include "CWordTable.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/stat.h>

// Queries, learning and what reaches word.dat are checked against a model of
// the file by the association-table fuzz target, whose corpus the suite
// replays; here what it cannot see: the owner of word.dat gets read and
// write permission, and no other bit changes.
TEST(AssociationTable, OwnerGetsReadWriteAndNothingElseChanges)
{
    TestDir dir;
    const QString dat = dir.write("word.dat", QByteArray(8, '\0'));
    const QByteArray path = QFile::encodeName(dat);
    for (auto [mode, after] : {std::pair{0444u, 0644u}, {0640u, 0640u}, {0200u, 0600u}}) {
        ASSERT_EQ(::chmod(path.constData(), mode), 0);
        CWordTable table(dir.path("word.idx"), dat);
        struct stat st;
        ASSERT_EQ(::stat(path.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, after) << mode;
    }
}
