// The profile windows as a user drives them: the Profile command with the side window
// (validation messages, each field with each source, loading from the side), the
// preview, the wizard's window, and the spreadsheet and series buttons.

#include "tests/profiles/profile_test_stage.h"

#include "designs/Card_Wizard.h"
#include "designs/Template_Wizard.h"
#include "designs/Templates.h"
#include "designs/model/DesignLog.h"
#include "core/QLNLine.h"
#include "core/QLNText.h"

#include "dataseries/BatchCardSource.h"
#include "dataseries/Import_Excel.h"
#include "dataseries/model/SpreadsheetWriter.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

#include <functional>

namespace {

class ProfileWindowTest : public ProfileTest {
protected:
  static Show_User_Profile *side() { return Show_User_Profile::defaultInstance(); }
  static void choose(QComboBox *combo, int index) { combo->setCurrentIndex(index); }
  // What the window ended with (the scripted run returns the script's answer).
  static int ended(QDialog *dialog) { return dialog->isVisible() ? ModalCancel : dialog->result(); }

  QAction *placeProfileCommand() const {
    QMenu *file = controller->ui->window->menuBar()->findChild<QMenu *>(QStringLiteral("File_menu"));
    return file ? file->findChild<QAction *>(QStringLiteral("Place_Profile_menu_item")) : nullptr;
  }
  // The card size window answered: its profile button pressed, then OK.
  void acceptCardSizeWithProfile(const std::function<void()> &beforeOK = {}) {
    scripted.answerModal([beforeOK](QDialog *dialog) {
      Card_Wizard *wizard = Card_Wizard::defaultInstance();
      wizard->User_Profile_btn->click();
      if (beforeOK)
        beforeOK();
      wizard->OK_btn->click();
      return ended(dialog);
    });
  }
  // The user picks the front object in the card and types its text in the panel.
  void editInPanel(const QLNGraphicPtr &object, const QString &text) {
    const int index = int(front().indexOf(object));
    ASSERT_GE(index, 0);
    controller->_graphicsController.setSelectionIndexes({index});
    controller->frontView()->setSelected_Graphic(object);
    controller->Show_RHS_Properties(object);
    controller->ui->Text_value_Edit->setPlainText(text);
    ASSERT_EQ(textOf(object), text);
  }
  static QStringList ids(const QLNGraphicList &list) {
    QStringList out;
    for (const QLNGraphicPtr &graphic : list)
      out << graphic->control_ID;
    return out;
  }

  // Workbooks written for the spreadsheet button: the reader unpacks into the temporary
  // folder, one of this process's own, and the writer starts from the shipped template.
  void useSpreadsheets() {
    static QTemporaryDir privateTemp;
    static const bool moved = qputenv("TMPDIR", privateTemp.path().toUtf8());
    (void)moved;
    ASSERT_TRUE(QFile::copy(QStringLiteral(AMENDS_SOURCE_DIR "/resources/Template.xlsx"),
                            Resource_Path + QStringLiteral("/Template.xlsx")));
  }
  QString workbook(const QString &name, const QList<QStringList> &rows) {
    const QString book = root.path() + QLatin1Char('/') + name;
    QString error;
    EXPECT_TRUE(SpreadsheetWriter::WriteWorkbook(book, rows, true, &error)) << error.toStdString();
    return book;
  }
  // Two workbooks of guests: Name, Town and Phone; and cities, with no name nor town.
  QString guestsBook() {
    return workbook(QStringLiteral("guests.xlsx"),
                    {{QStringLiteral("Name"), QStringLiteral("Town"), QStringLiteral("Phone")},
                     {QStringLiteral("Ann"), QStringLiteral("Leeds"), QStringLiteral("0111")},
                     {QStringLiteral("Bob"), QStringLiteral("York"), QStringLiteral("0222")}});
  }
  QString citiesBook() {
    return workbook(QStringLiteral("cities.xlsx"), {{QStringLiteral("City"), QStringLiteral("Phone")},
                                                    {QStringLiteral("Oslo"), QStringLiteral("0333")},
                                                    {QStringLiteral("Rome"), QStringLiteral("0444")}});
  }
  // The column import answered with every column ticked, the first row taken as the
  // column names or as data.
  void importEveryColumn(bool names = true) {
    scripted.answerModal([names](QDialog *dialog) {
      Import_Excel *import = Import_Excel::defaultInstance();
      import->contains_header->setChecked(names);
      QAbstractItemModel *model = import->ColList->model();
      for (int row = 0; row < model->rowCount(); ++row)
        EXPECT_TRUE(model->setData(model->index(row, 0), Qt::Checked, Qt::CheckStateRole));
      import->OK_btn->click();
      return ended(dialog);
    });
  }
};

TEST_F(ProfileWindowTest, OkNamesTheFirstFieldWithoutAChosenSourceAndKeepsTheWindowOpen) {
  writeSeries(QStringLiteral("Titles"), {QStringLiteral("Chair"), QStringLiteral("Clerk")});
  bool openAfterFirst = false;
  bool openAfterSecond = false;
  scripted.answerModal([&](QDialog *dialog) {
    Show_User_Profile *window = side();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Front Side User Profile Information"));
    window->fields[P::NameField].value->setText(QStringLiteral("Ann"));
    choose(window->fields[P::TitleField].ds_combo, 1);
    choose(window->fields[P::EmailField].ds_combo, 1);
    window->OK_btn->click();
    openAfterFirst = dialog->isVisible();
    choose(window->fields[P::TitleField].ser_col_cb, 0);
    window->OK_btn->click();
    openAfterSecond = dialog->isVisible();
    choose(window->fields[P::EmailField].ds_combo, 0);
    window->OK_btn->click();
    return ended(dialog);
  });
  scripted.expectAlert();
  scripted.expectAlert();

  controller->User_Profile_Button_Clicked();

  EXPECT_EQ(scripted.alertTexts(), (QStringList{QStringLiteral("\nPlease select the source for 'Position / Title'"),
                                                QStringLiteral("\nPlease select the source for 'Email Id'")}));
  EXPECT_TRUE(openAfterFirst);
  EXPECT_TRUE(openAfterSecond);
  EXPECT_TRUE(Fill_User_Profile);
  const P &record = controller->Front_user_profile;
  EXPECT_EQ(record.Name(), QStringLiteral("Ann"));
  EXPECT_TRUE(record.Title_ds());
  EXPECT_EQ(record.Title_ds_name(), QStringLiteral("Titles"));
  EXPECT_EQ(record.Title(), QStringLiteral("Chair"));
  EXPECT_FALSE(record.email_ds());
  // Placed on the front: the name and the title, bound to its series.
  const QLNGraphicPtr title = withId(front(), QStringLiteral("Fup_Title")).value(0);
  ASSERT_TRUE(title);
  EXPECT_EQ(title->data_source_type, 1);
  EXPECT_EQ(title->batch_list_name, QStringLiteral("Titles"));
  EXPECT_EQ(front().size(), 2);
}

// Every field through the side window with each source: what the window shows, the
// record it writes and the object placed with its binding.
TEST_F(ProfileWindowTest, EachFieldWithEachSourceReachesTheRecordAndTheCard) {
  QStringList columns;
  QStringList firstRow;
  QStringList secondRow;
  for (int field = 0; field < P::FieldCount; ++field) {
    const bool photo = field == P::ImageField;
    writeSeries(QStringLiteral("S%1").arg(field),
                {photo ? photoPath : QStringLiteral("series %1").arg(field), QStringLiteral("second")});
    columns << QStringLiteral("C%1").arg(field);
    firstRow << (photo ? photoPath : QStringLiteral("cell %1").arg(field));
    secondRow << QStringLiteral("next");
  }
  setRows(columns, {firstRow, secondRow});
  side()->Add_Excel_in_Data_Source_Combo();

  for (int source = 0; source < 3; ++source) {
    SCOPED_TRACE(source);
    scripted.answerModal([&](QDialog *dialog) {
      Show_User_Profile *window = side();
      for (int field = 0; field < P::FieldCount; ++field) {
        SCOPED_TRACE(field);
        ProfileWindow::FieldControls &controls = window->fields[field];
        EXPECT_EQ(controls.ds_combo->count(), 3);
        choose(controls.ds_combo, source);
        const bool photo = field == P::ImageField;
        EXPECT_EQ(controls.ser_col_cb->isEnabled(), source != 0);
        EXPECT_EQ(controls.view_btn->isEnabled(), source == 1);
        if (photo)
          EXPECT_EQ(window->browse_pic_btn->isEnabled(), source == 0);
        else
          EXPECT_EQ(controls.value->isReadOnly(), source != 0);
        if (source == 0) {
          if (photo)
            window->Set_User_Image(photoPath);
          else
            controls.value->setText(QStringLiteral("typed %1").arg(field));
        } else if (source == 1) {
          choose(controls.ser_col_cb, controls.ser_col_cb->findText(QStringLiteral("S%1").arg(field)));
        } else {
          // Column 0 holds the row numbers; the imported columns follow.
          EXPECT_EQ(controls.ser_col_cb->count(), P::FieldCount + 1);
          choose(controls.ser_col_cb, field + 1);
        }
      }
      EXPECT_FALSE(window->user_picture->pixmap().isNull());
      window->OK_btn->click();
      return ended(dialog);
    });
    controller->User_Profile_Button_Clicked();
    EXPECT_EQ(scripted.pending(), 0u);

    const P &record = controller->Front_user_profile;
    for (int field = 0; field < P::FieldCount; ++field) {
      SCOPED_TRACE(field);
      const bool photo = field == P::ImageField;
      QString expected;
      if (source == 0)
        expected = photo ? photoPath : QStringLiteral("typed %1").arg(field);
      else if (source == 1)
        expected = photo ? photoPath : QStringLiteral("series %1").arg(field);
      else
        expected = photo ? photoPath : QStringLiteral("cell %1").arg(field);
      EXPECT_EQ(record.value(field), expected);
      EXPECT_EQ(record.ds(field), source == 1);
      EXPECT_EQ(record.dsName(field), source == 1 ? QStringLiteral("S%1").arg(field) : QString());
      EXPECT_EQ(record.xl(field), source == 2);
      EXPECT_EQ(record.xlColumnIndex(field), source == 2 ? field + 1 : 0);

      const QLNGraphicPtr object = withId(front(), P::fixedId(field)).value(0);
      ASSERT_TRUE(object);
      EXPECT_TRUE(object->ctrl_is_visible);
      EXPECT_EQ(object->data_source_type, source);
      if (source != 2)
        EXPECT_EQ(object->batch_list_name, source == 1 ? QStringLiteral("S%1").arg(field) : QString());
      else
        EXPECT_EQ(object->excel_col_indx, field + 1);
      EXPECT_EQ(object->excel_binding, source == 2);
      if (!photo) {
        EXPECT_EQ(object->Text_Value, expected);
      }
    }
    EXPECT_EQ(front().size(), 11);
    EXPECT_TRUE(Excel_Binding_Use);
  }
}

TEST_F(ProfileWindowTest, OpeningLoadsTheVisibleProfileObjectsOfTheSideAndCancelPlacesNothing) {
  writeSeries(QStringLiteral("Alpha"), {QStringLiteral("a")});
  writeSeries(QStringLiteral("Names"), {QStringLiteral("Ann"), QStringLiteral("Bob")});
  const auto name = plainText(QStringLiteral("Fup_Name"), QRectF(10, 10, 80, 20));
  name->Text_Value = QStringLiteral("Bob");
  name->data_source_type = 1;
  name->batch_list_name = QStringLiteral("Names");
  name->batch_list_index = 7;  // where it once stood; the series is found by name
  const auto hidden = plainText(QStringLiteral("Fup_Title"), QRectF(10, 30, 80, 20));
  hidden->ctrl_is_visible = false;
  auto line = std::make_shared<QLNLine>();
  line->control_ID = QStringLiteral("Fup_Company");
  line->ctrl_is_visible = true;
  line->Text_Value = QStringLiteral("not a field");
  Card_Front_Or_Back = 1;
  session->document()->setList(QLNDocumentGraphicsKey_back, {name, hidden, line});
  const QList<QByteArray> before = archives(back());

  scripted.answerModal([&](QDialog *dialog) {
    Show_User_Profile *window = side();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Back Side User Profile Information"));
    const ProfileWindow::FieldControls &controls = window->fields[P::NameField];
    EXPECT_EQ(controls.value->text(), QStringLiteral("Bob"));
    EXPECT_EQ(controls.ds_combo->currentIndex(), 1);
    EXPECT_EQ(controls.ser_col_cb->currentText(), QStringLiteral("Names"));
    EXPECT_TRUE(controls.value_chk->isChecked());
    EXPECT_TRUE(window->fields[P::TitleField].value->text().isEmpty());
    EXPECT_FALSE(window->fields[P::TitleField].value_chk->isChecked());
    EXPECT_TRUE(window->fields[P::CompanyNameField].value->text().isEmpty());
    EXPECT_EQ(window->fields[P::CompanyNameField].ds_combo->currentIndex(), 0);
    EXPECT_FALSE(window->Preivew_picture->pixmap().isNull());
    window->Cancel_btn->click();
    return ended(dialog);
  });
  // The toolbar's Profile button.
  ASSERT_TRUE(controller->ui->User_Profile_btn->isEnabled());
  controller->ui->User_Profile_btn->click();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_FALSE(Fill_User_Profile);
  EXPECT_EQ(archives(back()), before);
  EXPECT_TRUE(controller->Back_user_profile.Name().isEmpty());
}

// Opened again on a side that holds a photo, the window shows the photo's file; OK
// without a change leaves the card as it was.
TEST_F(ProfileWindowTest, ReopenedAndAcceptedUnchangedTheWindowKeepsThePhotoOnTheCard) {
  scripted.answerModal([&](QDialog *dialog) {
    side()->fields[P::NameField].value->setText(QStringLiteral("Ann"));
    side()->Set_User_Image(photoPath);
    side()->OK_btn->click();
    return ended(dialog);
  });
  controller->User_Profile_Button_Clicked();
  const QLNGraphicPtr photo = withId(front(), QStringLiteral("Fup_Photo")).value(0);
  ASSERT_TRUE(photo);
  ASSERT_TRUE(photo->ctrl_is_visible);
  EXPECT_EQ(textOf(withId(front(), QStringLiteral("Fup_Name")).value(0)), QStringLiteral("Ann"));
  const QList<QByteArray> before = archives(front());

  scripted.answerModal([&](QDialog *dialog) {
    EXPECT_EQ(side()->image_path_val->text(), photoPath);
    EXPECT_EQ(side()->fields[P::NameField].value->text(), QStringLiteral("Ann"));
    side()->OK_btn->click();
    return ended(dialog);
  });
  controller->User_Profile_Button_Clicked();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(controller->Front_user_profile.image(), photoPath);
  EXPECT_TRUE(photo->ctrl_is_visible);
  EXPECT_EQ(photo->FilePath(), photoPath);
  EXPECT_EQ(archives(front()), before);
}

// Rows that came with a design log: the window offers them, so a field bound to a
// column opens bound and OK without a change keeps the binding, card by card.
TEST_F(ProfileWindowTest, AcceptedUnchangedOverRowsFromADesignLogTheWindowKeepsTheColumnBinding) {
  setRows({QStringLiteral("Name")}, {{QStringLiteral("Ann")}, {QStringLiteral("Bob")}});
  Excel_Binding_Use = true;
  const auto name = plainText(QStringLiteral("Fup_Name"), QRectF(10, 10, 80, 20));
  name->Text_Value = QStringLiteral("Ann");
  name->data_source_type = 2;
  name->excel_binding = true;
  name->excel_col_indx = 1;
  session->document()->setList(QLNDocumentGraphicsKey, {name});
  const QString path = root.path() + QStringLiteral("/Guests.dcard");
  Project_File_Name = path;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  setRows({}, {});
  ASSERT_EQ(controller->Read_and_load_design_Log(path, QStringLiteral("L")), 1);

  scripted.answerModal([&](QDialog *dialog) {
    const ProfileWindow::FieldControls &controls = side()->fields[P::NameField];
    EXPECT_EQ(controls.ds_combo->currentIndex(), 2);
    EXPECT_EQ(controls.ser_col_cb->currentIndex(), 1);
    side()->OK_btn->click();
    return ended(dialog);
  });
  controller->User_Profile_Button_Clicked();
  EXPECT_EQ(scripted.pending(), 0u);

  const QLNGraphicPtr placed = withId(front(), QStringLiteral("Fup_Name")).value(0);
  ASSERT_TRUE(placed);
  EXPECT_EQ(placed->data_source_type, 2);
  EXPECT_TRUE(placed->excel_binding);
  controller->Check_Series_Or_Excel_Use_or_not();
  controller->Get_total_Card_count();
  EXPECT_EQ(textOf(withId(controller->batchCardSource()->cardObjects(1, false), QStringLiteral("Fup_Name")).value(0)),
            QStringLiteral("Bob"));

  // Without rows the column cannot be offered; the field the user leaves alone keeps it.
  setRows({}, {});
  scripted.answerModal([&](QDialog *dialog) {
    EXPECT_EQ(side()->fields[P::NameField].ds_combo->count(), 2);
    side()->OK_btn->click();
    return ended(dialog);
  });
  controller->User_Profile_Button_Clicked();
  EXPECT_EQ(placed->data_source_type, 2);
  EXPECT_TRUE(placed->excel_binding);
  EXPECT_EQ(placed->excel_col_indx, 1);
}

// The preview places the entered fields on copies: the design, its history and its
// records stay as they were, and the preview shows the card with the fields.
TEST_F(ProfileWindowTest, PreviewLeavesTheDesignUntouched) {
  const auto name = plainText(QStringLiteral("Fup_Name"), QRectF(10, 10, 80, 20));
  name->data_source_type = 1;
  name->batch_list_name = QStringLiteral("Names");
  const auto mine = plainText(QStringLiteral("mine"), QRectF(120, 10, 60, 20));
  session->document()->setList(QLNDocumentGraphicsKey, {name, mine});
  UndoManager *undo = session->document()->undoManager();
  undo->removeAllActions();
  const QLNGraphicList list = front();
  const QList<QByteArray> before = archives(list);
  controller->Selected_Control_Tool = 0;
  last_ctrl_X = 33;

  QLNGraphicList temp;
  scripted.answerModal([&](QDialog *) {
    Show_User_Profile *window = side();
    window->fields[P::NameField].value->setText(QStringLiteral("Typed Name"));
    window->fields[P::NameField].ds_combo->setCurrentIndex(0);
    window->fields[P::PhoneField].value->setText(QStringLiteral("0123"));
    window->Set_User_Image(photoPath);
    window->preview_btn->click();
    EXPECT_FALSE(window->Preivew_picture->pixmap().isNull());
    temp = controller->Get_Temp_Controls_Array();
    window->Cancel_btn->click();
    return 0;
  });
  controller->User_Profile_Button_Clicked();

  EXPECT_EQ(front(), list);
  EXPECT_EQ(archives(front()), before);
  EXPECT_EQ(undo->undoCount(), 0);
  EXPECT_EQ(name->batch_list_name, QStringLiteral("Names"));
  EXPECT_TRUE(controller->Front_user_profile.Name().isEmpty());
  EXPECT_EQ(controller->TEMP_user_profile.Name(), QStringLiteral("Typed Name"));
  EXPECT_EQ(controller->Selected_Control_Tool, 0);
  EXPECT_EQ(last_ctrl_X, 33.0f);
  // The temp side: copies of the two objects and the new phone and photo objects.
  ASSERT_EQ(temp.size(), 4);
  for (const QLNGraphicPtr &object : temp)
    EXPECT_FALSE(list.contains(object));
  const QLNGraphicPtr previewName = withId(temp, QStringLiteral("Fup_Name")).value(0);
  ASSERT_TRUE(previewName);
  EXPECT_EQ(previewName->Text_Value, QStringLiteral("Typed Name"));
  EXPECT_EQ(previewName->data_source_type, 0);
  EXPECT_EQ(withId(temp, QStringLiteral("Fup_PhoneNO")).size(), 1);
}

TEST_F(ProfileWindowTest, WizardWindowWritesTheSameFieldsIntoBothRecordsAndPlacesNothing) {
  writeSeries(QStringLiteral("Towns"), {QStringLiteral("Leeds")});
  Card_Wizard wizard(controller);
  scripted.answerModal([&](QDialog *dialog) {
    User_profile *window = User_profile::defaultInstance();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("User Profile Information"));
    EXPECT_FALSE(window->select_side_label->isHidden());
    EXPECT_FALSE(window->fields[P::NameField].side_combo->isHidden());
    EXPECT_EQ(window->fields[P::NameField].side_combo->currentIndex(), 2);
    window->fields[P::NameField].value->setText(QStringLiteral("Ann"));
    choose(window->fields[P::AddressField].ds_combo, 1);
    choose(window->fields[P::AddressField].ser_col_cb, 0);
    EXPECT_EQ(window->fields[P::AddressField].value->text(), QStringLiteral("Leeds"));
    window->OK_btn->click();
    return ended(dialog);
  });
  wizard.User_Profile_Click();

  EXPECT_TRUE(Fill_User_Profile);
  for (const P *record : {&controller->Front_user_profile, &controller->Back_user_profile}) {
    EXPECT_TRUE(record->Fill_User_Profile_Enable());
    EXPECT_EQ(record->Name(), QStringLiteral("Ann"));
    EXPECT_EQ(record->address(), QStringLiteral("Leeds"));
    EXPECT_TRUE(record->address_ds());
    EXPECT_EQ(record->address_ds_name(), QStringLiteral("Towns"));
  }
  EXPECT_TRUE(front().isEmpty());
  EXPECT_TRUE(back().isEmpty());
}

// A profile entered through the card size window's profile button reaches the card that
// window makes, on both sides; one entered before the window was cancelled waits for
// the File menu's Place Profile.
TEST_F(ProfileWindowTest, AProfileEnteredInTheCardSizeWindowIsPlacedOnBothSides) {
  const auto enter = [&](const QString &name) {
    return [name](QDialog *dialog) {
      User_profile *window = User_profile::defaultInstance();
      window->fields[P::NameField].value->setText(name);
      window->OK_btn->click();
      return ended(dialog);
    };
  };
  const auto nameOn = [](const QLNGraphicList &side) {
    const QLNGraphicPtr name = withId(side, QStringLiteral("Fup_Name")).value(0);
    return name && name->ctrl_is_visible ? name->Text_Value : QString();
  };
  for (const bool accepted : {true, false}) {
    scripted.answerModal([&](QDialog *dialog) {
      Card_Wizard *wizard = Card_Wizard::defaultInstance();
      wizard->User_Profile_btn->click();
      (accepted ? wizard->OK_btn : wizard->Cancel_btn)->click();
      return ended(dialog);
    });
    scripted.answerModal(enter(accepted ? QStringLiteral("Ann") : QStringLiteral("Bob")));
    controller->Open_Card_Size_Clicked();
    EXPECT_EQ(scripted.pending(), 0u);
  }
  EXPECT_EQ(nameOn(front()), QStringLiteral("Ann"));
  EXPECT_EQ(nameOn(back()), QStringLiteral("Ann"));

  QMenu *file = controller->ui->window->menuBar()->findChild<QMenu *>(QStringLiteral("File_menu"));
  ASSERT_TRUE(file);
  QAction *place = file->findChild<QAction *>(QStringLiteral("Place_Profile_menu_item"));
  ASSERT_TRUE(place);
  place->trigger();
  EXPECT_EQ(nameOn(front()), QStringLiteral("Bob"));
  EXPECT_EQ(nameOn(back()), QStringLiteral("Bob"));
  EXPECT_EQ(front().size(), 1);
}

// The template window's profile reaches the design the chosen template opens.
TEST_F(ProfileWindowTest, AProfileEnteredInTheTemplateWindowIsPlacedOnTheOpenedTemplate) {
  const QString folder = Templates::userFolder();
  ASSERT_TRUE(QDir().mkpath(folder));
  QImage preview(10, 6, QImage::Format_ARGB32);
  preview.fill(Qt::green);
  ASSERT_TRUE(preview.save(folder + QStringLiteral("/Party.png"), "PNG"));
  DesignLogContents contents;
  contents.frontObjects = {plainText(QStringLiteral("from the template"), QRectF(5, 100, 60, 20))};
  ASSERT_TRUE(saveDesignLog(folder + QStringLiteral("/Party.dcard"), contents));

  scripted.answerModal([&](QDialog *dialog) {
    Template_Wizard *browser = Template_Wizard::defaultInstance();
    browser->cat_cmbo_bx->setCurrentIndex(1);
    emit browser->cat_cmbo_bx->activated(1);
    browser->User_Profile_btn->click();
    browser->OK_btn->click();
    return ended(dialog);
  });
  // The rows the profile's town is bound to, imported before the template was chosen.
  setRows({QStringLiteral("Town")}, {{QStringLiteral("Leeds")}, {QStringLiteral("York")}});
  controller->markDesignUnchanged();
  scripted.answerModal([&](QDialog *dialog) {
    User_profile *window = User_profile::defaultInstance();
    window->fields[P::NameField].value->setText(QStringLiteral("Ann"));
    window->Set_User_Image(photoPath);
    choose(window->fields[P::AddressField].ds_combo, 2);
    choose(window->fields[P::AddressField].ser_col_cb, 1);
    window->OK_btn->click();
    return ended(dialog);
  });
  EXPECT_EQ(controller->Open_Template_Clicked(), 1);
  EXPECT_EQ(scripted.pending(), 0u);

  ASSERT_EQ(front().size(), 4);
  EXPECT_EQ(front().last()->control_ID, QStringLiteral("from the template"));
  EXPECT_EQ(withId(front(), QStringLiteral("Fup_Name")).value(0)->Text_Value, QStringLiteral("Ann"));
  EXPECT_EQ(withId(front(), QStringLiteral("Fup_Photo")).value(0)->FilePath(), photoPath);
  EXPECT_EQ(withId(back(), QStringLiteral("Fup_Name")).value(0)->Text_Value, QStringLiteral("Ann"));
  controller->Check_Series_Or_Excel_Use_or_not();
  controller->Get_total_Card_count();
  EXPECT_EQ(textOf(withId(controller->batchCardSource()->cardObjects(1, false), QStringLiteral("Fup_Address")).value(0)),
            QStringLiteral("York"));
}

TEST_F(ProfileWindowTest, SeriesAndSpreadsheetButtonsRefuseWhatIsMissing) {
  scripted.answerModal([&](QDialog *) {
    Show_User_Profile *window = side();
    // A series source with no series chosen cannot be viewed.
    choose(window->fields[P::FaxField].ds_combo, 1);
    window->fields[P::FaxField].view_btn->click();
    // A spreadsheet that is not there: refused, its path kept.
    window->browse_excel_btn->click();
    EXPECT_EQ(window->excel_path_field->text(), QStringLiteral("/no/such/guests.xlsx"));
    // Rows imported: "Excel" offered in every source combo; none: withdrawn.
    setRows({QStringLiteral("Town")}, {{QStringLiteral("York")}});
    window->Add_Excel_in_Data_Source_Combo();
    window->Add_Excel_in_Data_Source_Combo();
    for (const ProfileWindow::FieldControls &controls : window->fields)
      EXPECT_EQ(controls.ds_combo->count(), 3);
    window->Remove_Excel_in_Data_Source_Combo();
    for (const ProfileWindow::FieldControls &controls : window->fields)
      EXPECT_EQ(controls.ds_combo->count(), 2);
    window->Cancel_btn->click();
    return 0;
  });
  scripted.expectAlert();
  scripted.answerOpenFile(QStringLiteral("/no/such/guests.xlsx"));
  scripted.expectAlert();
  controller->User_Profile_Button_Clicked();
  EXPECT_EQ(scripted.alertTexts(),
            (QStringList{QStringLiteral("\nPlease select the series."), QStringLiteral("\nPlease select valid file path.")}));
}

// The spreadsheet button runs the column import in its profile mode: the ticked columns
// become the imported rows, every field's source list offers "Excel", and a field bound
// to a column shows the column's first value.
TEST_F(ProfileWindowTest, SpreadsheetBrowseImportsColumnsForTheFields) {
  useSpreadsheets();
  const QString book = workbook(QStringLiteral("guests.xlsx"), {{QStringLiteral("Name"), QStringLiteral("Town")},
                                                                {QStringLiteral("Ann"), QStringLiteral("Leeds")},
                                                                {QStringLiteral("Bob"), QStringLiteral("York")}});

  scripted.answerModal([&](QDialog *dialog) {
    Show_User_Profile *window = side();
    EXPECT_EQ(window->fields[P::NameField].ds_combo->count(), 2);
    window->browse_excel_btn->click();
    EXPECT_EQ(window->excel_path_field->text(), book);
    EXPECT_EQ(Import_Excel::defaultInstance()->open_mode, QStringLiteral("E"));
    for (const ProfileWindow::FieldControls &controls : window->fields)
      EXPECT_EQ(controls.ds_combo->count(), 3);
    choose(window->fields[P::AddressField].ds_combo, 2);
    EXPECT_EQ(window->fields[P::AddressField].ser_col_cb->count(), 3);
    choose(window->fields[P::AddressField].ser_col_cb, 2);
    EXPECT_EQ(window->fields[P::AddressField].value->text(), QStringLiteral("Leeds"));
    window->OK_btn->click();
    return ended(dialog);
  });
  scripted.answerOpenFile(book);
  importEveryColumn();
  controller->User_Profile_Button_Clicked();

  EXPECT_TRUE(Excel_Binding_Use);
  EXPECT_EQ(Excel_Source_Path, book);
  EXPECT_TRUE(controller->Front_user_profile.address_xl());
  EXPECT_EQ(controller->Front_user_profile.address_xl_col_indx(), 2);
  // The panel's source list offers the spreadsheet too, and the placed address follows it.
  EXPECT_EQ(controller->ui->Data_source_type->count(), 3);
  const QLNGraphicPtr address = withId(front(), QStringLiteral("Fup_Address")).value(0);
  ASSERT_TRUE(address);
  EXPECT_EQ(address->data_source_type, 2);
  controller->Check_Series_Or_Excel_Use_or_not();
  controller->Get_total_Card_count();
  EXPECT_EQ(textOf(withId(controller->batchCardSource()->cardObjects(1, false), QStringLiteral("Fup_Address")).value(0)),
            QStringLiteral("York"));
}

// The card size window's profile form opens empty: accepted without a word typed, it
// leaves every profile field on both sides as the design holds it.
TEST_F(ProfileWindowTest, AnEmptyProfileFormFromTheCardSizeWindowLeavesTheCardsFieldsAlone) {
  const auto name = plainText(QStringLiteral("Fup_Name"), QRectF(10, 10, 80, 20));
  const auto phone = plainText(QStringLiteral("Fup_PhoneNO"), QRectF(10, 40, 80, 20));
  phone->data_source_type = 1;
  phone->batch_list_name = QStringLiteral("Phones");
  session->document()->setList(QLNDocumentGraphicsKey, {name, phone});
  session->document()->setList(QLNDocumentGraphicsKey_back, {plainText(QStringLiteral("Fup_Name"), QRectF(5, 5, 80, 20))});
  const QList<QByteArray> frontBefore = archives(front());
  const QList<QByteArray> backBefore = archives(back());

  acceptCardSizeWithProfile();
  scripted.answerModal([](QDialog *dialog) {
    User_profile::defaultInstance()->OK_btn->click();
    return ended(dialog);
  });
  controller->Open_Card_Size_Clicked();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(archives(front()), frontBefore);
  EXPECT_EQ(archives(back()), backBefore);
}

// After the front's Profile window, Place Profile has nothing entered for either side:
// it says so and the back's fields stay as they were.
TEST_F(ProfileWindowTest, PlaceProfileWithNothingEnteredSaysSoAndLeavesTheBackAlone) {
  session->document()->setList(QLNDocumentGraphicsKey_back, {plainText(QStringLiteral("Fup_Name"), QRectF(5, 5, 80, 20))});
  scripted.answerModal([](QDialog *dialog) {
    side()->fields[P::NameField].value->setText(QStringLiteral("Ann"));
    side()->OK_btn->click();
    return ended(dialog);
  });
  controller->User_Profile_Button_Clicked();
  const QList<QByteArray> frontBefore = archives(front());
  const QList<QByteArray> backBefore = archives(back());

  scripted.expectAlert();
  ASSERT_TRUE(placeProfileCommand());
  placeProfileCommand()->trigger();
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{QStringLiteral("\nThere is no profile to place. Enter one with the User Profile button of the "
                                       "Card Size or template window; fields for the back are placed on a two-sided "
                                       "card.")});
  EXPECT_EQ(archives(front()), frontBefore);
  EXPECT_EQ(archives(back()), backBefore);
}

// What the user changed on the card stays: a placed name edited in the panel and an
// edited copy of it pasted beside it keep their texts, and a photo whose file has moved
// stays shown, when the Profile window is accepted for another field and when Place
// Profile runs after it. The window shows the card's text.
TEST_F(ProfileWindowTest, EditsMadeOnTheCardOutliveTheProfileWindowAndPlaceProfile) {
  acceptCardSizeWithProfile();
  scripted.answerModal([this](QDialog *dialog) {
    User_profile *window = User_profile::defaultInstance();
    window->fields[P::NameField].value->setText(QStringLiteral("Pat Example"));
    window->Set_User_Image(photoPath);
    window->OK_btn->click();
    return ended(dialog);
  });
  controller->Open_Card_Size_Clicked();
  const QLNGraphicPtr name = withId(front(), QStringLiteral("Fup_Name")).value(0);
  const QLNGraphicPtr photo = withId(front(), QStringLiteral("Fup_Photo")).value(0);
  ASSERT_TRUE(name && photo);
  editInPanel(name, QStringLiteral("Dr. Pat Example"));
  controller->Copy_Clicked();
  controller->Paste_Clicked();
  const QLNGraphicPtr copy = front().first();
  ASSERT_NE(copy, name);
  ASSERT_EQ(copy->control_ID, QStringLiteral("Fup_Name"));
  editInPanel(copy, QStringLiteral("Pat Example, PhD"));
  ASSERT_TRUE(QFile::rename(photoPath, photoPath + QStringLiteral(".moved")));

  scripted.answerModal([](QDialog *dialog) {
    // The name its OK would change: the copy, front-most.
    EXPECT_EQ(side()->fields[P::NameField].value->text(), QStringLiteral("Pat Example, PhD"));
    side()->fields[P::PhoneField].value->setText(QStringLiteral("0123"));
    side()->OK_btn->click();
    return ended(dialog);
  });
  controller->User_Profile_Button_Clicked();
  scripted.expectAlert();
  placeProfileCommand()->trigger();

  EXPECT_EQ(textOf(name), QStringLiteral("Dr. Pat Example"));
  EXPECT_EQ(textOf(copy), QStringLiteral("Pat Example, PhD"));
  EXPECT_TRUE(name->ctrl_is_visible);
  EXPECT_TRUE(copy->ctrl_is_visible);
  EXPECT_TRUE(photo->ctrl_is_visible);
  EXPECT_EQ(textOf(withId(front(), QStringLiteral("Fup_PhoneNO")).value(0)), QStringLiteral("0123"));
}

// Two objects of one field, the second a pasted copy edited in the panel: the window
// shows the text of the one its OK changes, OK with a new name writes that one, and the
// other keeps its text.
TEST_F(ProfileWindowTest, TheWindowShowsTheTextOfTheObjectItsOkChanges) {
  acceptCardSizeWithProfile();
  scripted.answerModal([](QDialog *dialog) {
    User_profile::defaultInstance()->fields[P::NameField].value->setText(QStringLiteral("Pat Example"));
    User_profile::defaultInstance()->OK_btn->click();
    return ended(dialog);
  });
  controller->Open_Card_Size_Clicked();
  const QLNGraphicPtr name = withId(front(), QStringLiteral("Fup_Name")).value(0);
  ASSERT_TRUE(name);
  editInPanel(name, QStringLiteral("Dr. Pat Example"));
  controller->Copy_Clicked();
  controller->Paste_Clicked();
  const QLNGraphicPtr copy = front().first();
  ASSERT_NE(copy, name);
  editInPanel(copy, QStringLiteral("Pat Example, PhD"));

  scripted.answerModal([](QDialog *dialog) {
    QLineEdit *value = side()->fields[P::NameField].value;
    EXPECT_EQ(value->text(), QStringLiteral("Pat Example, PhD"));
    value->setText(QStringLiteral("Pat Sample, PhD"));
    side()->OK_btn->click();
    return ended(dialog);
  });
  controller->User_Profile_Button_Clicked();
  EXPECT_EQ(textOf(copy), QStringLiteral("Pat Sample, PhD"));
  EXPECT_TRUE(copy->ctrl_is_visible);
  EXPECT_EQ(textOf(name), QStringLiteral("Dr. Pat Example"));

  // Opened again, it shows what the card now shows there.
  scripted.answerModal([](QDialog *dialog) {
    EXPECT_EQ(side()->fields[P::NameField].value->text(), QStringLiteral("Pat Sample, PhD"));
    return ModalCancel;
  });
  controller->User_Profile_Button_Clicked();
  EXPECT_EQ(scripted.pending(), 0u);
}

// The Side column of the card size window's profile form: each field goes to the side
// chosen, and a one-sided card gets nothing on its back.
TEST_F(ProfileWindowTest, TheProfileFormsSideColumnPlacesEachFieldOnItsSide) {
  acceptCardSizeWithProfile();
  scripted.answerModal([](QDialog *dialog) {
    User_profile *window = User_profile::defaultInstance();
    window->fields[P::NameField].value->setText(QStringLiteral("Ann"));
    choose(window->fields[P::NameField].side_combo, 0);
    window->fields[P::CompanyNameField].value->setText(QStringLiteral("Acme"));
    choose(window->fields[P::CompanyNameField].side_combo, 1);
    window->OK_btn->click();
    return ended(dialog);
  });
  controller->Open_Card_Size_Clicked();
  EXPECT_EQ(ids(front()), QStringList{QStringLiteral("Fup_Name")});
  EXPECT_EQ(ids(back()), QStringList{QStringLiteral("Fup_Company")});

  acceptCardSizeWithProfile([] { Card_Wizard::defaultInstance()->Sides_ComboBox->setCurrentIndex(0); });
  scripted.answerModal([](QDialog *dialog) {
    User_profile *window = User_profile::defaultInstance();
    window->fields[P::TitleField].value->setText(QStringLiteral("Chair"));
    window->OK_btn->click();
    return ended(dialog);
  });
  controller->Open_Card_Size_Clicked();
  ASSERT_EQ(CARD_SIDE_STR, QStringLiteral("1"));
  EXPECT_EQ(ids(front()), (QStringList{QStringLiteral("Fup_Title"), QStringLiteral("Fup_Name")}));
  EXPECT_EQ(ids(back()), QStringList{QStringLiteral("Fup_Company")});
}

// A second spreadsheet imported in the window: the column lists show its columns, a
// field keeps its column by title where the new sheet has it and is otherwise unbound
// with a word, and the record and the card take the column shown.
TEST_F(ProfileWindowTest, ASecondSpreadsheetKeepsEachFieldsColumnByTitle) {
  useSpreadsheets();
  const QString guests = guestsBook();
  const QString cities = citiesBook();
  scripted.answerModal([](QDialog *dialog) {
    Show_User_Profile *window = side();
    window->browse_excel_btn->click();
    ProfileWindow::FieldControls &name = window->fields[P::NameField];
    ProfileWindow::FieldControls &phone = window->fields[P::PhoneField];
    choose(name.ds_combo, 2);
    choose(name.ser_col_cb, 1);
    choose(phone.ds_combo, 2);
    choose(phone.ser_col_cb, 3);
    EXPECT_EQ(phone.value->text(), QStringLiteral("0111"));
    window->browse_excel_btn->click();
    EXPECT_EQ(name.ds_combo->currentIndex(), 0);
    EXPECT_EQ(phone.ds_combo->currentIndex(), 2);
    EXPECT_EQ(phone.ser_col_cb->count(), 3);
    EXPECT_EQ(phone.ser_col_cb->currentText(), QStringLiteral("Phone"));
    EXPECT_EQ(phone.value->text(), QStringLiteral("0333"));
    window->OK_btn->click();
    return ended(dialog);
  });
  scripted.answerOpenFile(guests);
  importEveryColumn();
  scripted.answerOpenFile(cities);
  importEveryColumn();
  scripted.expectAlert();
  controller->User_Profile_Button_Clicked();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{QStringLiteral("\nThe spreadsheet has no column \"Name\": 'Name' is no longer bound to a column.")});

  const P &record = controller->Front_user_profile;
  EXPECT_FALSE(record.Name_xl());
  EXPECT_TRUE(record.phone_xl());
  EXPECT_EQ(record.phone_xl_col_indx(), 2);
  controller->Check_Series_Or_Excel_Use_or_not();
  controller->Get_total_Card_count();
  const QLNGraphicList card = controller->batchCardSource()->cardObjects(1, false);
  EXPECT_EQ(textOf(withId(card, QStringLiteral("Fup_PhoneNO")).value(0)), QStringLiteral("0444"));
  EXPECT_EQ(textOf(withId(card, QStringLiteral("Fup_Name")).value(0)), QStringLiteral("Ann"));
}

// A second spreadsheet while the design holds objects bound to the first one's columns:
// the window's fields and every column-bound object of both sides, profile fields or
// not, keep their column by its title, or are typed by hand from then on with a word;
// after Cancel as after OK. Save, import, save again: only those bindings changed in
// the file, and the cards show each object's own column.
TEST_F(ProfileWindowTest, ASecondSpreadsheetKeepsEveryColumnBoundObjectOfTheDesignByTitle) {
  useSpreadsheets();
  CARD_SIDE_STR = QStringLiteral("2");
  const QString guests = guestsBook();
  const QString moved = workbook(QStringLiteral("moved.xlsx"),
                                 {{QStringLiteral("City"), QStringLiteral("Phone"), QStringLiteral("Name")},
                                  {QStringLiteral("Oslo"), QStringLiteral("0333"), QStringLiteral("Cy")},
                                  {QStringLiteral("Rome"), QStringLiteral("0444"), QStringLiteral("Di")}});
  const QString cities = citiesBook();
  // The front's name bound to "Name" in the Profile window.
  scripted.answerModal([](QDialog *dialog) {
    ProfileWindow::FieldControls &name = side()->fields[P::NameField];
    side()->browse_excel_btn->click();
    choose(name.ds_combo, 2);
    choose(name.ser_col_cb, 1);
    side()->OK_btn->click();
    return ended(dialog);
  });
  scripted.answerOpenFile(guests);
  importEveryColumn();
  controller->User_Profile_Button_Clicked();
  const QLNGraphicPtr frontName = withId(front(), QStringLiteral("Fup_Name")).value(0);
  ASSERT_TRUE(frontName);
  ASSERT_EQ(frontName->excel_col_indx, 1);
  // A town in the panel on the front, and the back's name bound to "Name" too.
  const auto town = plainText(QString(), QRectF(10, 100, 80, 20));
  town->data_source_type = 2;
  town->excel_binding = true;
  town->excel_col_indx = 2;
  session->document()->setList(QLNDocumentGraphicsKey, front() << town);
  const auto backName = plainText(QStringLiteral("Fup_Name"), QRectF(10, 10, 80, 20));
  backName->data_source_type = 2;
  backName->excel_binding = true;
  backName->excel_col_indx = 1;
  session->document()->setList(QLNDocumentGraphicsKey_back, {backName});

  const QString design = root.path() + QStringLiteral("/Guests.dcard");
  Project_File_Name = design;
  auto saved = [&] {
    EXPECT_TRUE(controller->Save_project_file(false, false));
    std::optional<DesignLogContents> contents = readDesignLogFile(design);
    EXPECT_TRUE(contents);
    return contents.value_or(DesignLogContents());
  };
  auto setBinding = [](const QLNGraphicPtr &object, int column) {
    object->data_source_type = column < 0 ? 0 : 2;
    object->excel_binding = column >= 0;
    object->excel_col_indx = std::max(column, 0);
  };
  auto cardText = [&](int row, bool onBack, const QLNGraphicPtr &object) {
    const QLNGraphicList list = onBack ? back() : front();
    const qsizetype index = list.indexOf(object);
    const QLNGraphicList card = controller->batchCardSource()->cardObjects(row, onBack);
    return index >= 0 && index < card.size() ? textOf(card.at(index)) : QStringLiteral("<none>");
  };
  DesignLogContents before = saved();
  const qsizetype frontNameAt = front().indexOf(frontName);
  const qsizetype townAt = front().indexOf(town);

  // "Name" moved to the third column; no "Town": Cancel in the window.
  scripted.answerModal([](QDialog *dialog) {
    side()->browse_excel_btn->click();
    EXPECT_EQ(side()->fields[P::NameField].ser_col_cb->currentText(), QStringLiteral("Name"));
    side()->Cancel_btn->click();
    return ended(dialog);
  });
  scripted.answerOpenFile(moved);
  importEveryColumn();
  scripted.expectAlert();
  controller->User_Profile_Button_Clicked();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{QStringLiteral(
                "\nThe spreadsheet has no column \"Town\": 'Text on the front' is no longer bound to a column.")});
  DesignLogContents after = saved();
  // The names keep their column and show its first value in the new rows; the town is
  // typed by hand and keeps what it shows.
  setBinding(before.frontObjects.at(frontNameAt), 3);
  replaceCharacters(*before.frontObjects.at(frontNameAt)->Text_contents(), QStringLiteral("Cy"));
  setBinding(before.frontObjects.at(townAt), -1);
  setBinding(before.backObjects.at(0), 3);
  replaceCharacters(*before.backObjects.at(0)->Text_contents(), QStringLiteral("Cy"));
  EXPECT_EQ(archives(after.frontObjects), archives(before.frontObjects));
  EXPECT_EQ(archives(after.backObjects), archives(before.backObjects));
  controller->Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(cardText(1, false, frontName), QStringLiteral("Di"));
  EXPECT_EQ(cardText(1, true, backName), QStringLiteral("Di"));
  EXPECT_EQ(cardText(1, false, town), QStringLiteral("old"));
  controller->Select_first_row_value_for_design(false);

  // No "Name" at all, and OK in the front window: both names are typed by hand now,
  // told once.
  scripted.clear();
  before = saved();
  scripted.answerModal([](QDialog *dialog) {
    side()->browse_excel_btn->click();
    EXPECT_EQ(side()->fields[P::NameField].ds_combo->currentIndex(), 0);
    side()->OK_btn->click();
    return ended(dialog);
  });
  scripted.answerOpenFile(cities);
  importEveryColumn();
  scripted.expectAlert();
  controller->User_Profile_Button_Clicked();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{QStringLiteral(
                "\nThe spreadsheet has no column \"Name\": 'Name' is no longer bound to a column.")});
  after = saved();
  // The front's name was entered anew: placed as typed, with the text the window showed.
  setBinding(before.frontObjects.at(frontNameAt), -1);
  before.frontObjects.at(frontNameAt)->Text_Value = QStringLiteral("Cy");
  before.frontObjects.at(frontNameAt)->batch_list_name = QString();
  setBinding(before.backObjects.at(0), -1);
  EXPECT_EQ(archives(after.frontObjects), archives(before.frontObjects));
  EXPECT_EQ(archives(after.backObjects), archives(before.backObjects));
  EXPECT_EQ(frontName->data_source_type, 0);
  EXPECT_EQ(backName->data_source_type, 0);
  controller->Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(cardText(1, false, frontName), QStringLiteral("Cy"));
  EXPECT_EQ(cardText(1, true, backName), QStringLiteral("Cy"));
}

// A workbook without a row of names, and the same workbook refreshed with other first
// records: a field bound to a column in the open window keeps its position, and after OK
// the placed object and the cards take the new rows.
TEST_F(ProfileWindowTest, AWorkbookWithoutNamesKeepsTheWindowsColumnsByPosition) {
  useSpreadsheets();
  const QString people = workbook(QStringLiteral("people.xlsx"), {{QStringLiteral("Ann Lee"), QStringLiteral("0111")},
                                                                  {QStringLiteral("Bob Ray"), QStringLiteral("0222")}});
  const QString refreshed =
      workbook(QStringLiteral("refreshed.xlsx"),
               {{QStringLiteral("Di Vo"), QStringLiteral("0333")}, {QStringLiteral("Ed Poe"), QStringLiteral("0444")}});
  scripted.answerModal([](QDialog *dialog) {
    ProfileWindow::FieldControls &phone = side()->fields[P::PhoneField];
    side()->browse_excel_btn->click();
    choose(phone.ds_combo, 2);
    choose(phone.ser_col_cb, 2);
    EXPECT_EQ(phone.value->text(), QStringLiteral("0111"));
    side()->browse_excel_btn->click();
    EXPECT_EQ(phone.ds_combo->currentIndex(), 2);
    EXPECT_EQ(phone.ser_col_cb->currentIndex(), 2);
    EXPECT_EQ(phone.ser_col_cb->currentText(), QStringLiteral("0333"));
    EXPECT_EQ(phone.value->text(), QStringLiteral("0333"));
    side()->OK_btn->click();
    return ended(dialog);
  });
  scripted.answerOpenFile(people);
  importEveryColumn(false);
  scripted.answerOpenFile(refreshed);
  importEveryColumn(false);
  controller->User_Profile_Button_Clicked();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(scripted.alertTexts(), QStringList());
  const QLNGraphicPtr phone = withId(front(), QStringLiteral("Fup_PhoneNO")).value(0);
  ASSERT_TRUE(phone);
  EXPECT_EQ(phone->data_source_type, 2);
  EXPECT_EQ(phone->excel_col_indx, 2);
  controller->Check_Series_Or_Excel_Use_or_not();
  const qsizetype at = front().indexOf(phone);
  EXPECT_EQ(textOf(controller->batchCardSource()->cardObjects(1, false).value(at)), QStringLiteral("0444"));
}

// A field of the open window bound to the second of two columns without a title keeps
// that column when a titled column comes before them, though the name of its column then
// names the first of the two.
TEST_F(ProfileWindowTest, AFieldOnAnUntitledColumnKeepsItWhenAColumnComesBefore) {
  useSpreadsheets();
  const QString phones = workbook(QStringLiteral("phones.xlsx"), {{"Name", "", ""},
                                                                   {"Ann", "0111", "0999"},
                                                                   {"Bob", "0222", "0888"}});
  const QString zips =
      workbook(QStringLiteral("zips.xlsx"), {{"Name", "Zip", "", ""}, {"Di", "Z1", "0333", "0777"}});
  scripted.answerModal([](QDialog *dialog) {
    ProfileWindow::FieldControls &phone = side()->fields[P::PhoneField];
    side()->browse_excel_btn->click();
    choose(phone.ds_combo, 2);
    choose(phone.ser_col_cb, 3);
    EXPECT_EQ(phone.ser_col_cb->currentText(), QStringLiteral("Untitled Column 3"));
    EXPECT_EQ(phone.value->text(), QStringLiteral("0999"));
    side()->browse_excel_btn->click();
    EXPECT_EQ(phone.ser_col_cb->currentIndex(), 4);
    EXPECT_EQ(phone.ser_col_cb->currentText(), QStringLiteral("Untitled Column 4"));
    EXPECT_EQ(phone.value->text(), QStringLiteral("0777"));
    side()->OK_btn->click();
    return ended(dialog);
  });
  scripted.answerOpenFile(phones);
  importEveryColumn();
  scripted.answerOpenFile(zips);
  importEveryColumn();
  controller->User_Profile_Button_Clicked();
  EXPECT_EQ(scripted.pending(), 0u);
  EXPECT_EQ(scripted.alertTexts(), QStringList());
  const QLNGraphicPtr phone = withId(front(), QStringLiteral("Fup_PhoneNO")).value(0);
  ASSERT_TRUE(phone);
  EXPECT_EQ(phone->excel_col_indx, 4);
}

}  // namespace
