// The series store: the bytes a series is written as, what each reader makes of a
// file, names that must not leave the data folder, and writes that never lose the old
// series.

#include "dataseries/model/SeriesStore.h"

#include "dataseries/model/ImportedRows.h"

#include "core/Globals.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class SeriesStoreTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    Data_Folder_Path = root.filePath(QStringLiteral("DataSet"));
    ASSERT_TRUE(QDir().mkpath(Data_Folder_Path));
  }
  void TearDown() override { Data_Folder_Path.clear(); }

  QByteArray bytesOf(const QString &name) const {
    QFile file(QDir(Data_Folder_Path).filePath(name + QStringLiteral(".txt")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  void put(const QString &fileName, const QByteArray &bytes) const {
    QFile file(QDir(Data_Folder_Path).filePath(fileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  QTemporaryDir root;
};

TEST_F(SeriesStoreTest, ValuesAreWrittenTrimmedOnePerLineAndReadBackByEachReadersRule) {
  QString error;
  ASSERT_TRUE(SeriesStore::write(QStringLiteral("Guests"), {QStringLiteral("  Ann "), QString(), QStringLiteral("Bob\t")},
                                 SeriesStore::EmptyValues::Skip, SeriesStore::WriteMode::Replace, &error))
      << error.toStdString();
  EXPECT_EQ(bytesOf(QStringLiteral("Guests")), QByteArray("Ann\nBob\n"));

  // Spreadsheet columns keep their empty cells as empty lines.
  ASSERT_TRUE(SeriesStore::write(QStringLiteral("Cells"), {QStringLiteral("1"), QStringLiteral(" "), QStringLiteral("3")},
                                 SeriesStore::EmptyValues::KeepAsEmptyLines, SeriesStore::WriteMode::Replace));
  EXPECT_EQ(bytesOf(QStringLiteral("Cells")), QByteArray("1\n\n3\n"));

  // Appending adds after what is there, ending an unterminated last line first.
  put(QStringLiteral("Open.txt"), "x\ny");
  ASSERT_TRUE(SeriesStore::write(QStringLiteral("Open"), {QString::fromUtf8("\xC3\xA9t\xC3\xA9")},
                                 SeriesStore::EmptyValues::Skip, SeriesStore::WriteMode::Append));
  EXPECT_EQ(bytesOf(QStringLiteral("Open")), QByteArray("x\ny\n\xC3\xA9t\xC3\xA9\n"));

  // Two empty lines, 5, an empty line, 7 and an empty line: every line is a row of the
  // binding, the empty ones at either end included, so each value stays on its row.
  // The editor and the viewer show the same rows, trimmed.
  const QByteArray sample("\n\n5\n\n7\n\n");
  EXPECT_EQ(SeriesStore::editorValues(sample), (QStringList{"", "", "5", "", "7", ""}));
  EXPECT_EQ(*SeriesStore::bindingRows(sample), (QStringList{"", "", "5", "", "7", ""}));
  EXPECT_EQ(SeriesStore::firstValue(sample), QString());
  // A blank line is an empty row; an empty file is one empty row for the binding and
  // nothing to show or save again for the editor.
  EXPECT_EQ(SeriesStore::editorValues(" \nA\n"), (QStringList{"", "A"}));
  EXPECT_EQ(*SeriesStore::bindingRows(""), QStringList{""});
  EXPECT_TRUE(SeriesStore::editorValues("").isEmpty());
  EXPECT_EQ(*SeriesStore::bindingRows(" a \n b "), (QStringList{" a ", " b "}));
  EXPECT_EQ(SeriesStore::firstValue(" a \nb"), QStringLiteral(" a "));
  // Bytes that are not UTF-8 are no values at all.
  EXPECT_TRUE(SeriesStore::editorValues("ok\n\xFF\xFE\n").isEmpty());
  EXPECT_FALSE(SeriesStore::bindingRows("ok\n\xC3").has_value());
  EXPECT_EQ(SeriesStore::firstValue("ok\n\xFF"), QString());
}

TEST_F(SeriesStoreTest, NamesAreCleanedAtTheEndsAndRefusedWhenTheyLeaveTheDataFolder) {
  EXPECT_EQ(SeriesStore::cleanedName(QStringLiteral("/ Guests /")), QStringLiteral("Guests"));
  EXPECT_EQ(SeriesStore::cleanedName(QStringLiteral("*Names?")), QStringLiteral("Names"));
  for (const QString &typed : {QStringLiteral("a/b"), QStringLiteral(".."), QStringLiteral("//"), QStringLiteral("  "),
                               QStringLiteral("x\\y")})
    EXPECT_EQ(SeriesStore::cleanedName(typed), QString()) << typed.toStdString();

  // No write reaches outside the data folder, and an empty name makes no ".txt".
  for (const QString &name : {QStringLiteral("../outside"), QString(), QStringLiteral("sub/inner")}) {
    QString error;
    EXPECT_FALSE(SeriesStore::write(name, {QStringLiteral("v")}, SeriesStore::EmptyValues::Skip,
                                    SeriesStore::WriteMode::Replace, &error));
    EXPECT_EQ(error, QStringLiteral("Error in file accessing."));
  }
  EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("outside.txt"))));
  EXPECT_EQ(QDir(Data_Folder_Path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(SeriesStoreTest, ARenameWritesTheNewFileBeforeTheOldOneGoesAndAReplaceKeepsTheOther) {
  put(QStringLiteral("A.txt"), "1\n2\n");
  put(QStringLiteral("B.txt"), "old\n");

  // A saved as C (no C yet): C is written, A goes.
  ASSERT_TRUE(SeriesStore::writeRenaming(QStringLiteral("C"), QStringLiteral("A"), {QStringLiteral("1"), QStringLiteral("2")},
                                         SeriesStore::EmptyValues::Skip));
  EXPECT_EQ(bytesOf(QStringLiteral("C")), QByteArray("1\n2\n"));
  EXPECT_FALSE(SeriesStore::exists(QStringLiteral("A")));

  // C saved over the existing B: B is rewritten and C stays.
  ASSERT_TRUE(SeriesStore::writeRenaming(QStringLiteral("B"), QStringLiteral("C"), {QStringLiteral("new")},
                                         SeriesStore::EmptyValues::Skip));
  EXPECT_EQ(bytesOf(QStringLiteral("B")), QByteArray("new\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("C")), QByteArray("1\n2\n"));

  // A write that cannot be made changes nothing: the old series stays whole. (A
  // folder in the target's place makes the write fail whoever runs the test.)
  ASSERT_TRUE(QDir().mkpath(QDir(Data_Folder_Path).filePath(QStringLiteral("D.txt"))));
  QString error;
  EXPECT_FALSE(SeriesStore::writeRenaming(QStringLiteral("D"), QStringLiteral("C"), {QStringLiteral("x")},
                                          SeriesStore::EmptyValues::Skip, &error));
  EXPECT_EQ(error, QStringLiteral("Error in file accessing."));
  EXPECT_EQ(bytesOf(QStringLiteral("C")), QByteArray("1\n2\n"));
  EXPECT_EQ(QDir(Data_Folder_Path).entryList(QDir::Files), (QStringList{"B.txt", "C.txt"}));
}

TEST_F(SeriesStoreTest, OnlyRegularFilesAreRead) {
  ASSERT_TRUE(QDir().mkpath(QDir(Data_Folder_Path).filePath(QStringLiteral("Folder.txt"))));
  QString error;
  EXPECT_FALSE(SeriesStore::readFile(SeriesStore::pathOf(QStringLiteral("Folder")), &error).has_value());
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(SeriesStore::exists(QStringLiteral("Folder")));
}

// ---- The imported rows ---------------------------------------------------------------------------

TEST(ImportedRows, RowsAreNumberedFromOneAndKeepEveryTickedColumnEvenWhenEmpty) {
  ImportedRowsTable table;
  table.setImportedColumns({QStringLiteral("Name"), QStringLiteral("City")});
  table.Create_List_By_Array({QStringLiteral(" Ann "), QString()}, 2);
  table.Create_List_By_Array({}, 2);  // a row of empty cells is still a row
  ASSERT_EQ(table.rowCount(), 2);
  const DesignLogGridRow first{{"Extension", "1"}, {"Column1", "Ann"}, {"Column2", ""}};
  const DesignLogGridRow second{{"Extension", "2"}, {"Column1", ""}, {"Column2", ""}};
  EXPECT_EQ(table.rows.at(0), first);
  EXPECT_EQ(table.rows.at(1), second);
  // Position k of the columns, key "Column<k>" and column index k are one column; 0 is
  // the row number.
  EXPECT_EQ(table.columnTitles(), (QStringList{"No.", "Name", "City"}));
  EXPECT_EQ(table.value(1, 0), QStringLiteral("2"));
  EXPECT_EQ(table.value(0, 1), QStringLiteral("Ann"));
  EXPECT_EQ(table.value(0, 3), QString());
  EXPECT_EQ(table.value(2, 1), QString());
  EXPECT_EQ(table.value(-1, 1), QString());
  // Edits land under the identifier; a row outside the table changes nothing.
  EXPECT_TRUE(table.setValue(0, QStringLiteral("Column2"), QStringLiteral("Leeds")));
  EXPECT_EQ(table.value(0, 2), QStringLiteral("Leeds"));
  EXPECT_FALSE(table.setValue(5, QStringLiteral("Column1"), QStringLiteral("x")));
  EXPECT_EQ(table.rowCount(), 2);
}

}  // namespace
