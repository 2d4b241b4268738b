#include "CWordTable.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/stat.h>

// The association-table fuzz target's replay checks the table against a model
// of word.dat; here what it cannot see: the owner gets read and write
// permission on word.dat, and no other bit changes.
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
