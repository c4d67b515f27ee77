#include "profiles/ProfileWindow.h"

#include "dataseries/Data_From_Excel.h"
#include "dataseries/Import_Excel.h"
#include "dataseries/View_Data_Series.h"

#include "mainwindow/QLNWindowController.h"

#include "canvas/QLNGraphicView.h"
#include "canvas/QLNRenderingView.h"

#include "core/Globals.h"
#include "core/Utilities.h"
#include "platform/Images.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include <exception>

namespace {

QLNWindowController *mainController() { return QLNWindowController::defaultInstance(); }

bool importedRowsExist() {
  return Data_From_Excel::defaultInstance()->table().rowCount() > 0;
}

}  // namespace

ProfileWindow::~ProfileWindow() = default;

QString ProfileWindow::fieldPrefix(int field) {
  static const char *const prefixes[FieldCount] = {"name",    "title", "comp_name", "slogan",  "address", "phone",
                                                   "fax",     "email", "website",   "unique",  "image"};
  return field >= 0 && field < FieldCount ? QString::fromLatin1(prefixes[field]) : QString();
}

QString ProfileWindow::fieldCaption(int field) {
  const QString *captions[FieldCount] = {&Title_Name,  &Title_Title, &Title_Company_name, &Title_slogan,
                                         &Title_address, &Title_phone, &Title_fax,          &Title_email,
                                         &Title_website, &Title_unique, &Title_image};
  return field >= 0 && field < FieldCount ? *captions[field] : QString();
}

QString ProfileWindow::fieldName(int field) { return fieldCaption(field).remove(QStringLiteral(" :")); }

// ---- Values of the fields ------------------------------------------------------------------

void ProfileWindow::setFieldValue(int field, const QString &value) {
  if (field == PhotoField)
    image_path_val->setText(value);
  else
    fields[field].value->setText(value);
}

QString ProfileWindow::fieldValue(int field) const {
  return field == PhotoField ? image_path_val->text() : fields[field].value->text();
}

// ---- Opening --------------------------------------------------------------------------------

int ProfileWindow::Open_Wnd(bool load) {
  int code = ModalCancel;
  try {
    // Rows imported anywhere (a design log, the main window's import, this window's
    // spreadsheet button) can be bound: their item is offered whenever they are there.
    if (importedRowsExist())
      Add_Excel_in_Data_Source_Combo();
    else
      Remove_Excel_in_Data_Source_Combo();
    if (load) {
      Reset_all_Ctrl();
      excel_path_field->setText(Excel_Source_Path);
      loadStarted(true);
      loadFromSide();
    } else {
      m_window->setWindowTitle(QStringLiteral("User Profile Information"));
      loadStarted(false);
      Reset_all_Ctrl();
    }
    for (int field = 0; field < FieldCount; ++field)
      m_opened[field] = fieldState(field);
    fields[0].value->setFocus();
    // While the window is open its column choices follow a replacement of the rows.
    const QMetaObject::Connection following =
        connect(Data_From_Excel::defaultInstance(), &Data_From_Excel::importedRowsReplaced, this,
                &ProfileWindow::importedRowsReplaced, Qt::DirectConnection);
    struct Disconnect {
      QMetaObject::Connection connection;
      ~Disconnect() { QObject::disconnect(connection); }
    } disconnectAtEnd{following};
    code = UiServices::instance().runModal(m_window);
    m_window->hide();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    m_window->hide();
  }
  return code;
}

void ProfileWindow::loadFromSide() {
  QLNWindowController *controller = mainController();
  if (Card_Front_Or_Back.load() != 0) {
    m_window->setWindowTitle(QStringLiteral("Back Side User Profile Information"));
    Graphics_array = controller->Get_Back_Controls_Array();
  } else {
    m_window->setWindowTitle(QStringLiteral("Front Side User Profile Information"));
    Graphics_array = controller->Get_Front_Controls_Array();
  }
  Create_and_Set_template_picture();
  for (int field = 0; field < FieldCount; ++field) {
    if (fields[field].side_combo)
      fields[field].side_combo->setCurrentIndex(Card_Front_Or_Back.load() != 0 ? 1 : 0);
  }
  // Each field shows the object its OK changes: the one the placing finds by the
  // field's id (the first in the list, a pasted copy before its original), when it
  // shows on the card. Another object of the field keeps its text.
  QLNGraphicView *view = Card_Front_Or_Back.load() != 0 ? controller->backView() : controller->frontView();
  for (int field = 0; field < FieldCount; ++field) {
    const QLNGraphicPtr graphic = view ? view->Selcect_Ctrl_With_ID(User_Profile_Class::fixedId(field)) : nullptr;
    if (!graphic || !graphic->ctrl_is_visible)
      continue;
    FieldControls &controls = fields[field];
    const int source = graphic->data_source_type;
    const bool shown = source >= 0 && source < controls.ds_combo->count();
    controls.ds_combo->setCurrentIndex(shown ? source : 0);
    // A binding the window cannot offer (a column while no rows are imported) is kept
    // for as long as the field shows its loaded value as typed.
    m_unshownBinding[field].reset();
    // (A text not drawn yet has no storage; its text is then its value.)
    const QString loadedValue = field == PhotoField        ? graphic->FilePath()
                                : graphic->_Text_contents ? graphic->_Text_contents->string
                                                          : graphic->Text_Value;
    if (!shown)
      m_unshownBinding[field] = UnshownBinding{loadedValue, source, graphic->batch_list_name,
                                               graphic->batch_list_index, graphic->excel_col_indx};
    applyDataSource(field);
    if (controls.ds_combo->currentIndex() == 1) {
      // Series are bound by name; the index is only where the name stood in the list.
      controls.ser_col_cb->setCurrentIndex(controls.ser_col_cb->findText(graphic->batch_list_name, Qt::MatchExactly));
    } else if (controls.ds_combo->currentIndex() == 2) {
      const int column = graphic->excel_col_indx;
      controls.ser_col_cb->setCurrentIndex(column >= 0 && column < controls.ser_col_cb->count() ? column : -1);
    }
    // The text the card shows (edited in the panel, perhaps, since it was placed), not
    // the series' first value the selection may have shown; for the photo its picture's
    // file.
    setFieldValue(field, loadedValue);
    fieldLoaded(field);
  }
}

// ---- Reset and the data sources ----------------------------------------------------------------

void ProfileWindow::Reset_all_Ctrl() {
  if (Template_picture)
    Template_picture->clear();
  Preivew_picture->clear();
  Set_User_Image(QString());
  resetExtras();
  for (std::optional<UnshownBinding> &binding : m_unshownBinding)
    binding.reset();
  for (int field = 0; field < FieldCount; ++field) {
    FieldControls &controls = fields[field];
    if (controls.value)
      controls.value->clear();
    controls.ds_combo->setCurrentIndex(0);
    applyDataSource(field);
    controls.ser_col_cb->setCurrentIndex(-1);
    if (controls.side_combo)
      controls.side_combo->setCurrentIndex(2);
  }
}

void ProfileWindow::applyDataSource(int field) {
  FieldControls &controls = fields[field];
  const int source = controls.ds_combo->currentIndex();
  const bool manual = source <= 0;
  if (field == PhotoField) {
    browse_pic_btn->setEnabled(manual);
    clear_pic_btn->setEnabled(manual);
  } else {
    controls.value->setReadOnly(!manual);
  }
  QSignalBlocker quiet(controls.ser_col_cb);
  if (manual) {
    controls.ser_col_cb->clear();
    controls.ser_col_cb->setEnabled(false);
    controls.view_btn->setEnabled(false);
  } else if (source == 1) {
    controls.ser_col_cb->setEnabled(true);
    mainController()->Fill_Data_Set_File_Name_In_Combo(controls.ser_col_cb);
    controls.view_btn->setEnabled(true);
  } else {
    controls.ser_col_cb->setEnabled(true);
    mainController()->Fill_Excel_Col_Name_In_Combo(controls.ser_col_cb);
    controls.view_btn->setEnabled(false);
  }
}

void ProfileWindow::seriesChoiceChanged(int field) {
  FieldControls &controls = fields[field];
  const int source = controls.ds_combo->currentIndex();
  const QString chosen = controls.ser_col_cb->currentText();
  QString first;
  if (source == 1 && !chosen.isEmpty())
    first = mainController()->Get_First_Value_Of_Dataset(chosen);
  else if (source == 2 && !chosen.isEmpty())
    first = mainController()->Get_First_Value_Of_Excel_Binding(controls.ser_col_cb->currentIndex());
  else
    return;
  if (field == PhotoField)
    Set_User_Image(first);
  else
    controls.value->setText(first);
}

void ProfileWindow::comboBoxSelectionDidChange(QObject *combo) {
  try {
    for (int field = 0; field < FieldCount; ++field) {
      if (combo == fields[field].ds_combo) {
        applyDataSource(field);
        return;
      }
    }
    for (int field = 0; field < FieldCount; ++field) {
      if (combo == fields[field].ser_col_cb) {
        seriesChoiceChanged(field);
        return;
      }
    }
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void ProfileWindow::Add_Excel_in_Data_Source_Combo() {
  for (FieldControls &controls : fields)
    mainController()->Add_Excel_Col_Name_In_Combo(controls.ds_combo);
}

void ProfileWindow::Remove_Excel_in_Data_Source_Combo() {
  for (FieldControls &controls : fields)
    mainController()->Remove_Excel_Col_Name_In_Combo(controls.ds_combo);
}

// ---- Validation and the records ----------------------------------------------------------------

bool ProfileWindow::Check_Validation() {
  checked_field_name.clear();
  for (int field = 0; field < FieldCount; ++field) {
    const FieldControls &controls = fields[field];
    const int source = controls.ds_combo->currentIndex();
    if ((source == 1 || source == 2) && controls.ser_col_cb->currentIndex() < 0) {
      checked_field_name = fieldCaption(field);
      return false;
    }
  }
  return true;
}

ProfileWindow::FieldState ProfileWindow::fieldState(int field) const {
  const FieldControls &controls = fields[field];
  return {fieldValue(field), controls.ds_combo->currentIndex(), controls.ser_col_cb->currentIndex(),
          controls.ser_col_cb->currentText()};
}

bool ProfileWindow::fieldIsForSide(int field, bool back) const {
  const QComboBox *side = fields[field].side_combo;
  if (!side || side->isHidden())
    return true;
  // Front, Back, Both.
  switch (side->currentIndex()) {
  case 0:
    return !back;
  case 1:
    return back;
  default:
    return true;
  }
}

bool ProfileWindow::fillRecord(User_Profile_Class &record, bool frontOrBack, bool back) {
  if (!Check_Validation()) {
    QString name = Trim_Str(checked_field_name);
    QString detail;
    if (!name.isEmpty())
      detail = QStringLiteral(" for '%1'").arg(name.remove(QStringLiteral(" :")));
    Show_MessageBox(QStringLiteral("Please select the source") + detail);
    return false;
  }
  if (frontOrBack) {
    record.setFill_User_Profile_Enable(true);
    if (importedRowsExist()) {
      record.setExcel_Binding(true);
      Excel_Source_Path = excel_path_field->text();
      Excel_Binding_Use = true;
    } else {
      Excel_Binding_Use = false;
      record.setExcel_Binding(false);
    }
  }
  for (int field = 0; field < FieldCount; ++field) {
    const FieldControls &controls = fields[field];
    const QString value = fieldValue(field);
    record.setValue(field, value);
    // A field left as it was loaded keeps the binding the window could not show.
    const std::optional<UnshownBinding> &kept = m_unshownBinding[field];
    const bool keep = kept && controls.ds_combo->currentIndex() == 0 && value == kept->value;
    const int source = keep ? kept->source : controls.ds_combo->currentIndex();
    const QString seriesName = keep ? kept->seriesName : controls.ser_col_cb->currentText();
    const int seriesIndex = keep ? kept->seriesIndex : controls.ser_col_cb->currentIndex();
    const int columnIndex = keep ? kept->column : controls.ser_col_cb->currentIndex();
    const bool series = source == 1;
    const bool column = source == 2;
    record.setDs(field, series);
    record.setDsName(field, series ? seriesName : QString(""));
    record.setDsIndex(field, series ? seriesIndex : 0);
    record.setXl(field, column);
    record.setXlColumnIndex(field, column ? columnIndex : 0);
    // Only what the user entered or changed here is placed, on the sides chosen for it.
    record.setPending(field, !(fieldState(field) == m_opened[field]) && fieldIsForSide(field, back));
  }
  return true;
}

bool ProfileWindow::Fill_Front_User_profile_value_in_Variable() {
  return fillRecord(mainController()->Front_user_profile, true, false);
}

bool ProfileWindow::Fill_Back_User_profile_value_in_Variable() {
  return fillRecord(mainController()->Back_user_profile, true, true);
}

bool ProfileWindow::Fill_TEMP_User_profile_value_in_Variable() {
  // The preview shows the side being edited.
  return fillRecord(mainController()->TEMP_user_profile, false, Card_Front_Or_Back.load() != 0);
}

// ---- Buttons ------------------------------------------------------------------------------------

void ProfileWindow::OK_Btn_Clicked(QObject *) {
  const QString side = Trim_Str(load_side);
  bool filled = false;
  if (side == QLatin1String("F"))
    filled = Fill_Front_User_profile_value_in_Variable();
  else if (side == QLatin1String("B"))
    filled = Fill_Back_User_profile_value_in_Variable();
  else
    filled = Fill_Front_User_profile_value_in_Variable() && Fill_Back_User_profile_value_in_Variable();
  if (filled)
    m_window->done(ModalOK);
}

void ProfileWindow::Cancel_Btn_Clicked(QObject *) {
  if (importedRowsExist())
    Excel_Source_Path = excel_path_field->text();
  m_window->done(ModalCancel);
}

void ProfileWindow::Reset_Btn_Clicked(QObject *) { Reset_all_Ctrl(); }

void ProfileWindow::Help_Btn_Clicked(QObject *) { Open_Help_File(); }

void ProfileWindow::Browse_excel_Btn_Clicked(QObject *) {
  QLNWindowController::Delete_Excel_File_Temp_Folder();
  FilePanelOptions options;
  options.title = QStringLiteral("Choose a spreadsheet");
  options.extensions = {QStringLiteral("xlsx"), QStringLiteral("XLSX")};
  const QString path = UiServices::instance().openFile(options);
  if (path.isEmpty())
    return;
  excel_path_field->setText(path);
  if (mainController()->Check_And_Validate_File_Path(path) != 0)
    return;
  // The fields bound to a column keep it (importedRowsReplaced), as the design's
  // objects do.
  Import_Excel *import = Import_Excel::defaultInstance();
  import->open_mode = QStringLiteral("E");
  import->Open_excel_Wnd(path);
  if (importedRowsExist())
    Add_Excel_in_Data_Source_Combo();
  else
    Remove_Excel_in_Data_Source_Combo();
}

void ProfileWindow::importedRowsReplaced(const ImportedColumnHeads &previous, QStringList *unbound) {
  const ImportedColumnHeads now = Data_From_Excel::defaultInstance()->table().heads();
  for (int field = 0; field < FieldCount; ++field) {
    FieldControls &controls = fields[field];
    if (controls.ds_combo->currentIndex() != 2)
      continue;
    const int was = controls.ser_col_cb->currentIndex();
    // The list shows the columns of the rows now imported.
    applyDataSource(field);
    if (was < 0)
      continue;  // no column was chosen: the fresh list waits for a choice
    const std::optional<int> column = Data_From_Excel::columnKept(was, previous, now);
    if (column && *column < controls.ser_col_cb->count()) {
      // Chosen with its signal, so that the field shows the column's first value.
      controls.ser_col_cb->setCurrentIndex(*column);
      continue;
    }
    // Typed by hand from here on.
    controls.ds_combo->setCurrentIndex(0);
    if (unbound && !column)
      *unbound << Data_From_Excel::lostColumnMessage(was, previous, now, fieldName(field));
  }
}

void ProfileWindow::View_Excel_Btn_Clicked(QObject *) {
  try {
    Data_From_Excel::defaultInstance()->Open_Wnd();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void ProfileWindow::Batch_Series_Btn_Clicked(QObject *sender) { mainController()->Batch_Series_Button(sender); }

void ProfileWindow::View_Data_Series_By_Name(QComboBox *combo) {
  const QString name = combo ? Trim_Str(combo->currentText()) : QString();
  if (name.isEmpty()) {
    Show_MessageBox(QStringLiteral("Please select the series."));
    return;
  }
  View_Data_Series *viewer = View_Data_Series::defaultInstance();
  viewer->file_name = name;
  viewer->Open_Wnd();
}

void ProfileWindow::viewFieldSeries(int field) {
  if (field >= 0 && field < FieldCount)
    View_Data_Series_By_Name(fields[field].ser_col_cb);
}

void ProfileWindow::Browse_image_Btn_Clicked(QObject *) {
  FilePanelOptions options;
  options.title = QStringLiteral("Choose a photo");
  options.extensions = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"),
                        QStringLiteral("jfif"), QStringLiteral("gif"), QStringLiteral("bmp"),
                        QStringLiteral("png"), QStringLiteral("tif"), QStringLiteral("tiff")};
  const QString path = UiServices::instance().openFile(options);
  if (path.isEmpty())
    Library_Selected_Image.clear();
  else
    Set_User_Image(path);
}

void ProfileWindow::Clear_image_Btn_Clicked(QObject *) { Set_User_Image(QString()); }

void ProfileWindow::Set_User_Image(const QString &path) {
  const QString trimmed = Trim_Str(path);
  image_path_val->setText(trimmed);
  if (trimmed.isEmpty()) {
    user_picture->clear();
    return;
  }
  const PointImage image = PointImage::load(trimmed);
  if (!image.isNull())
    user_picture->setPixmap(QPixmap::fromImage(image.pixels).scaled(user_picture->size(), Qt::KeepAspectRatio,
                                                                    Qt::SmoothTransformation));
}

// ---- Pictures and the preview ----------------------------------------------------------------

void ProfileWindow::showPicture(QLabel *label, const QLNGraphicList &graphics) {
  if (!label)
    return;
  QString error;
  const CardPicture picture = QLNRenderingView::image_From_Card_Graphics(graphics, false, &error);
  if (picture.isNull()) {
    label->clear();
    return;
  }
  // Two pixels per point, then fitted into the label.
  const PointImage image = picture.toImage(144.0, &error);
  if (image.isNull()) {
    label->clear();
    return;
  }
  label->setPixmap(QPixmap::fromImage(image.pixels).scaled(label->size(), Qt::KeepAspectRatio,
                                                           Qt::SmoothTransformation));
}

void ProfileWindow::Create_and_Set_template_picture() {
  showPicture(Template_picture, Graphics_array);
  showPicture(Preivew_picture, Graphics_array);
}

void ProfileWindow::Create_and_Set_Preview_picture() { showPicture(Preivew_picture, Graphics_array); }

void ProfileWindow::Preview_Btn_Clicked(QObject *) {
  if (!Fill_TEMP_User_profile_value_in_Variable())
    return;
  QLNWindowController *controller = mainController();
  // The preview works on copies: the temp side gets copies of the current side's
  // objects, so placing the fields there never touches the design.
  controller->Temp_Design_Copy_Assign();
  Graphics_array = controller->Get_Temp_Controls_Array();
  const float savedX = last_ctrl_X;
  const float savedY = last_ctrl_Y;
  const qint32 savedTool = controller->Selected_Control_Tool;
  const QString savedImage = Library_Selected_Image;
  controller->Fill_User_profile_info_TEMP_side();
  Graphics_array = controller->Get_Temp_Controls_Array();
  Create_and_Set_Preview_picture();
  last_ctrl_X = savedX;
  last_ctrl_Y = savedY;
  controller->Selected_Control_Tool = savedTool;
  Library_Selected_Image = savedImage;
}
