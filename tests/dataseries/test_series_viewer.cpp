// The series viewer and the one-value panel: what the viewer lists of a series file
// (one trimmed row per line, empty lines included, as the batch counts them; nothing for
// a missing, undecodable or unsafe name), and how the panel writes one edited value back
// into the series manager.

#include "tests/dataseries/series_windows_fixture.h"

#include "dataseries/SeriesValueDialogs.h"
#include "dataseries/View_Data_Series.h"

using namespace seriestest;

namespace {

class SeriesViewerTest : public SeriesWindowsTest {
protected:
  struct Shown {
    QString title;
    QStringList rows;
    QString count;
  };
  // Opens the viewer on `name` and notes what it shows.
  Shown view(const QString &name) {
    Shown shown;
    scripted.answerModal([&](QDialog *dialog) {
      View_Data_Series *viewer = View_Data_Series::defaultInstance();
      EXPECT_EQ(dialog, viewer->window());
      shown.title = viewer->series_name->text();
      shown.rows = tableTexts(viewer->List);
      shown.count = viewer->list_count->text();
      viewer->ok_btn->click();
      EXPECT_FALSE(dialog->isVisible());
      return 0;
    });
    View_Data_Series *viewer = View_Data_Series::defaultInstance();
    viewer->file_name = name;
    EXPECT_EQ(viewer->Open_Wnd(), 0);
    return shown;
  }
};

}  // namespace

TEST_F(SeriesViewerTest, TheViewerListsTheRowsOfTheFileAsTheCardsTakeThemAndNothingForAFileItCannotRead) {
  // Every line is a card's row, an empty one too: the viewer counts what the batch makes.
  const QByteArray guests("\n\n 5 \n\n\t7\n\n");
  put(QStringLiteral("Guests.txt"), guests);
  Shown shown = view(QStringLiteral("Guests"));
  EXPECT_EQ(shown.title, QStringLiteral("Guests"));
  EXPECT_EQ(shown.rows, (QStringList{"", "", "5", "", "7", ""}));
  EXPECT_EQ(shown.count, QStringLiteral("Total Rows : %1").arg(SeriesStore::bindingRows(guests)->size()));

  // Each opening starts afresh: a missing series shows its name and no rows.
  shown = view(QStringLiteral("Nobody"));
  EXPECT_EQ(shown.title, QStringLiteral("Nobody"));
  EXPECT_TRUE(shown.rows.isEmpty());
  EXPECT_EQ(shown.count, QStringLiteral("Total Rows : 0"));

  put(QStringLiteral("Latin.txt"), "caf\xE9\nok\n");
  EXPECT_TRUE(view(QStringLiteral("Latin")).rows.isEmpty()) << "bytes that are not UTF-8 are no values";
  put(QStringLiteral("Empty.txt"), "");
  EXPECT_TRUE(view(QStringLiteral("Empty")).rows.isEmpty());

  // A name reaching outside the data folder reads nothing there.
  QFile outside(joinPath(QFileInfo(Data_Folder_Path).path(), QStringLiteral("Secret.txt")));
  ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
  outside.write("hidden\n");
  outside.close();
  EXPECT_TRUE(view(QStringLiteral("../Secret")).rows.isEmpty());
  // A folder named like a series is no series.
  ASSERT_TRUE(QDir().mkpath(pathOf(QStringLiteral("Folder.txt"))));
  EXPECT_TRUE(view(QStringLiteral("Folder")).rows.isEmpty());
  EXPECT_TRUE(scripted.alertTexts().isEmpty()) << "the viewer reports nothing";
}

TEST_F(SeriesViewerTest, TheValuePanelKeepsAnUnchangedValueStoresATrimmedOneAndRefusesABlankOne) {
  BatchWizard *wizard = manager();
  wizard->AddNew_Btn_Clicked();
  for (const char *value : {"a", "b", "c"})
    wizard->Create_Value_List(QString::fromLatin1(value));
  auto clickIn = [](QDialog *panel, const char *name) {
    panel->findChild<QPushButton *>(QString::fromLatin1(name))->click();
  };

  // Unchanged (even with the same blanks): the run ends with 1 and nothing is touched.
  selectRows(wizard->List_value, {1}, 1);
  scripted.answerModal([&](QDialog *panel) {
    clickIn(panel, "ok_btn");
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->result(), 1);
    EXPECT_EQ(wizard->Update_m_ex_num_str->text(), QStringLiteral("b")) << "the fields stay as they were";
    return panel->result();
  });
  wizard->OnGetSelected();
  EXPECT_EQ(values(wizard), (QStringList{"a", "b", "c"}));

  // Blanks only: refused, the panel stays open; then a padded value is stored trimmed.
  scripted.answerModal([&](QDialog *panel) {
    wizard->Update_m_ex_num_str->setText(QStringLiteral(" \t "));
    scripted.expectAlert();
    clickIn(panel, "ok_btn");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(values(wizard), (QStringList{"a", "b", "c"}));
    wizard->Update_m_ex_num_str->setText(QStringLiteral("  bee  "));
    clickIn(panel, "ok_btn");
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->result(), 1);
    EXPECT_TRUE(wizard->Update_m_ex_num_str->text().isEmpty());
    EXPECT_TRUE(wizard->Update_m_s_number->text().isEmpty());
    EXPECT_TRUE(wizard->Update_m_ex_num_index->text().isEmpty());
    return panel->result();
  });
  wizard->OnGetSelected();
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\nPlease enter a valid value.")});
  EXPECT_EQ(values(wizard), (QStringList{"a", "bee", "c"}));

  // Cancel empties the fields and changes nothing.
  selectRows(wizard->List_value, {2}, 2);
  scripted.answerModal([&](QDialog *panel) {
    wizard->Update_m_ex_num_str->setText(QStringLiteral("sea"));
    clickIn(panel, "cancel_btn");
    EXPECT_EQ(panel->result(), 0);
    EXPECT_TRUE(wizard->Update_m_ex_num_str->text().isEmpty());
    return panel->result();
  });
  wizard->OnGetSelected();
  EXPECT_EQ(values(wizard), (QStringList{"a", "bee", "c"}));

  // A row number that is no longer in the list changes no row (and never writes outside it).
  scripted.answerModal([&](QDialog *panel) {
    wizard->Update_m_ex_num_index->setText(QStringLiteral("7"));
    wizard->Update_m_ex_num_str->setText(QStringLiteral("far"));
    clickIn(panel, "ok_btn");
    return panel->result();
  });
  wizard->OnGetSelected();
  EXPECT_EQ(values(wizard), (QStringList{"a", "bee", "c"}));
}
