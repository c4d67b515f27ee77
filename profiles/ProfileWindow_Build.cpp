// The controls of the profile windows, built in code.

#include "profiles/ProfileWindow.h"

#include "mainwindow/QLNWindowController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

namespace {

// Close box and Escape run the window's own Cancel.
class ProfileDialog : public QDialog {
public:
  std::function<void()> onCancel;
  void reject() override {
    if (onCancel)
      onCancel();
    else
      QDialog::reject();
  }
};

template <class Control>
Control *named(Control *control, const QString &objectName, const QString &accessible, const QString &tip) {
  control->setObjectName(objectName);
  control->setAccessibleName(accessible);
  control->setToolTip(tip);
  return control;
}

QPushButton *button(const QString &objectName, const QString &title, const QString &tip, QWidget *parent) {
  return named(new QPushButton(title, parent), objectName, title, tip);
}

// "Name :" → "Name", for accessible names.
QString plainCaption(const QString &caption) {
  QString text = caption;
  text.remove(QStringLiteral(" :"));
  return text;
}

}  // namespace

void ProfileWindow::buildWindow(const QString &objectName, const QString &title, bool sideWindow) {
  m_sideWindow = sideWindow;
  auto *dialog = new ProfileDialog;
  dialog->onCancel = [this] { Cancel_Btn_Clicked(Cancel_btn); };
  m_window = dialog;
  dialog->setObjectName(objectName);
  dialog->setWindowTitle(title);
  dialog->setModal(true);
  QPalette palette = dialog->palette();
  palette.setColor(QPalette::Window, QColor(241, 244, 250));
  dialog->setPalette(palette);
  dialog->setAutoFillBackground(true);

  auto *outer = new QHBoxLayout(dialog);
  auto *left = new QVBoxLayout;
  outer->addLayout(left, 3);
  auto *grid = new QGridLayout;
  left->addLayout(grid);

  const QStringList sources = {QStringLiteral("Manual entry"), QStringLiteral("Batch Processing Series")};
  for (int field = 0; field < FieldCount; ++field) {
    FieldControls &controls = fields[field];
    const QString prefix = fieldPrefix(field);
    const QString caption = fieldCaption(field);
    const QString plain = plainCaption(caption);
    int column = 0;
    if (sideWindow && field != PhotoField) {
      controls.label_chk = named(new QCheckBox(dialog), prefix + QStringLiteral("_label_chk"),
                                 plain + QStringLiteral(" caption editable"),
                                 QStringLiteral("Make the caption of ") + plain + QStringLiteral(" editable"));
      grid->addWidget(controls.label_chk, field, column++);
      controls.label = named(new QLineEdit(caption, dialog), prefix + QStringLiteral("_label"),
                             plain + QStringLiteral(" caption"), QStringLiteral("The caption of ") + plain);
      controls.label->setReadOnly(true);
      grid->addWidget(controls.label, field, column++);
    } else {
      column = sideWindow ? 1 : 0;
      grid->addWidget(new QLabel(caption, dialog), field, column++);
    }
    if (field == PhotoField) {
      image_path_val = named(new QLineEdit(dialog), QStringLiteral("image_path_val"), QStringLiteral("Photo file"),
                             QStringLiteral("The file of the photo"));
      image_path_val->setReadOnly(true);
      grid->addWidget(image_path_val, field, column++);
    } else {
      controls.value = named(new QLineEdit(dialog), prefix + QStringLiteral("_value"), plain,
                             QStringLiteral("The value of ") + plain);
      grid->addWidget(controls.value, field, column++);
    }
    if (sideWindow && field != PhotoField) {
      controls.value_chk = named(new QCheckBox(dialog), prefix + QStringLiteral("_value_chk"),
                                 plain + QStringLiteral(" value editable"),
                                 QStringLiteral("Make the value of ") + plain + QStringLiteral(" editable"));
      grid->addWidget(controls.value_chk, field, column);
    }
    ++column;
    controls.ds_combo = named(new QComboBox(dialog), prefix + QStringLiteral("_ds_combo"),
                              plain + QStringLiteral(" source"),
                              QStringLiteral("Where the value of ") + plain + QStringLiteral(" comes from"));
    controls.ds_combo->addItems(sources);
    grid->addWidget(controls.ds_combo, field, column++);
    controls.ser_col_cb = named(new QComboBox(dialog), prefix + QStringLiteral("_ser_col_cb"),
                                plain + QStringLiteral(" series or column"),
                                QStringLiteral("The series or spreadsheet column of ") + plain);
    controls.ser_col_cb->setMinimumWidth(140);
    grid->addWidget(controls.ser_col_cb, field, column++);
    controls.view_btn = button(prefix + QStringLiteral("_view_btn"), QStringLiteral("View"),
                               QStringLiteral("Show the series of ") + plain, dialog);
    grid->addWidget(controls.view_btn, field, column++);
    if (!sideWindow) {
      controls.side_combo = named(new QComboBox(dialog), prefix + QStringLiteral("_side_combo"),
                                  plain + QStringLiteral(" side"), QStringLiteral("The card side of ") + plain);
      controls.side_combo->addItems({QStringLiteral("Front"), QStringLiteral("Back"), QStringLiteral("Both")});
      grid->addWidget(controls.side_combo, field, column++);
    }

    QComboBox *ds = controls.ds_combo;
    QComboBox *series = controls.ser_col_cb;
    connect(ds, &QComboBox::currentIndexChanged, this, [this, ds] { comboBoxSelectionDidChange(ds); });
    connect(series, &QComboBox::currentIndexChanged, this, [this, series] { comboBoxSelectionDidChange(series); });
    connect(controls.view_btn, &QPushButton::clicked, this, [this, field] { viewFieldSeries(field); });
    if (controls.label_chk) {
      QCheckBox *box = controls.label_chk;
      connect(controls.label, &QLineEdit::textEdited, this, [box] { box->setChecked(true); });
    }
    if (controls.value_chk) {
      QCheckBox *box = controls.value_chk;
      connect(controls.value, &QLineEdit::textEdited, this, [box] { box->setChecked(true); });
    }
  }
  if (!sideWindow) {
    // The header over the side combos.
    auto *select_side_label = new QLabel(QStringLiteral("Side"), dialog);
    select_side_label->setObjectName(QStringLiteral("select_side_label"));
    grid->addWidget(select_side_label, FieldCount, 6);
  }

  // The photo's buttons, the spreadsheet and the series manager.
  auto *photoRow = new QHBoxLayout;
  browse_pic_btn = button(QStringLiteral("browse_pic_btn"), QStringLiteral("Browse Photo..."),
                          QStringLiteral("Choose the photo file"), dialog);
  clear_pic_btn = button(QStringLiteral("clear_pic_btn"), QStringLiteral("Clear Photo"),
                         QStringLiteral("Remove the photo"), dialog);
  batch_series_btn = button(QStringLiteral("batch_series_btn"), QStringLiteral("Series..."),
                            QStringLiteral("Open the series manager"), dialog);
  photoRow->addWidget(browse_pic_btn);
  photoRow->addWidget(clear_pic_btn);
  photoRow->addStretch(1);
  photoRow->addWidget(batch_series_btn);
  left->addLayout(photoRow);

  auto *excelRow = new QHBoxLayout;
  excelRow->addWidget(new QLabel(QStringLiteral("Spreadsheet :"), dialog));
  excel_path_field = named(new QLineEdit(dialog), QStringLiteral("excel_path_field"),
                           QStringLiteral("Spreadsheet file"), QStringLiteral("The spreadsheet bound to the profile"));
  excel_path_field->setReadOnly(true);
  excelRow->addWidget(excel_path_field, 1);
  browse_excel_btn = button(QStringLiteral("browse_excel_btn"), QStringLiteral("Browse..."),
                            QStringLiteral("Import columns of a spreadsheet"), dialog);
  view_excel_btn = button(QStringLiteral("view_excel_btn"), QStringLiteral("View Rows"),
                          QStringLiteral("Show the imported spreadsheet rows"), dialog);
  excelRow->addWidget(browse_excel_btn);
  excelRow->addWidget(view_excel_btn);
  left->addLayout(excelRow);

  auto *buttons = new QHBoxLayout;
  help_btn = button(QStringLiteral("help_btn"), QStringLiteral("Help"), QStringLiteral("Open the help file"), dialog);
  reset_btn = button(QStringLiteral("reset_btn"), QStringLiteral("Reset"), QStringLiteral("Empty every field"), dialog);
  preview_btn = button(QStringLiteral("preview_btn"), QStringLiteral("Preview"),
                       QStringLiteral("Show the card with the profile placed"), dialog);
  Cancel_btn = button(QStringLiteral("Cancel_btn"), QStringLiteral("Cancel"),
                      QStringLiteral("Close without changing the profile"), dialog);
  OK_btn = button(QStringLiteral("OK_btn"), QStringLiteral("OK"), QStringLiteral("Take the profile"), dialog);
  OK_btn->setDefault(true);
  buttons->addWidget(help_btn);
  buttons->addWidget(reset_btn);
  buttons->addStretch(1);
  buttons->addWidget(preview_btn);
  buttons->addWidget(Cancel_btn);
  buttons->addWidget(OK_btn);
  left->addLayout(buttons);

  // The pictures on the right.
  auto *right = new QVBoxLayout;
  outer->addLayout(right, 2);
  user_picture = named(new QLabel(dialog), QStringLiteral("user_picture"), QStringLiteral("Photo"),
                       QStringLiteral("The photo of the profile"));
  user_picture->setFixedSize(96, 96);
  user_picture->setFrameShape(QFrame::Box);
  user_picture->setAlignment(Qt::AlignCenter);
  right->addWidget(user_picture, 0, Qt::AlignHCenter);
  if (!sideWindow) {
    Template_picture = named(new QLabel(dialog), QStringLiteral("Template_picture"), QStringLiteral("Card"),
                             QStringLiteral("The card as it is"));
    Template_picture->setFixedSize(260, 170);
    Template_picture->setAlignment(Qt::AlignCenter);
    right->addWidget(Template_picture);
  }
  Preivew_picture = named(new QLabel(dialog), QStringLiteral("Preivew_picture"), QStringLiteral("Preview"),
                          QStringLiteral("The card with the profile placed"));
  Preivew_picture->setFixedSize(260, 170);
  Preivew_picture->setFrameShape(QFrame::Box);
  Preivew_picture->setAlignment(Qt::AlignCenter);
  right->addWidget(Preivew_picture);
  right->addStretch(1);

  connect(browse_pic_btn, &QPushButton::clicked, this, [this] { Browse_image_Btn_Clicked(browse_pic_btn); });
  connect(clear_pic_btn, &QPushButton::clicked, this, [this] { Clear_image_Btn_Clicked(clear_pic_btn); });
  connect(batch_series_btn, &QPushButton::clicked, this, [this] { Batch_Series_Btn_Clicked(batch_series_btn); });
  connect(browse_excel_btn, &QPushButton::clicked, this, [this] { Browse_excel_Btn_Clicked(browse_excel_btn); });
  connect(view_excel_btn, &QPushButton::clicked, this, [this] { View_Excel_Btn_Clicked(view_excel_btn); });
  connect(help_btn, &QPushButton::clicked, this, [this] { Help_Btn_Clicked(help_btn); });
  connect(reset_btn, &QPushButton::clicked, this, [this] { Reset_Btn_Clicked(reset_btn); });
  connect(preview_btn, &QPushButton::clicked, this, [this] { Preview_Btn_Clicked(preview_btn); });
  connect(Cancel_btn, &QPushButton::clicked, this, [this] { Cancel_Btn_Clicked(Cancel_btn); });
  connect(OK_btn, &QPushButton::clicked, this, [this] { OK_Btn_Clicked(OK_btn); });

  for (int field = 0; field < FieldCount; ++field)
    applyDataSource(field);
}
