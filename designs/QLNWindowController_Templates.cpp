// Templates, the card size window and the grid window as the main window reaches them:
// Save as Template, the template browser (opening the chosen template untitled), the
// card size window and the grid button.

#include "mainwindow/QLNWindowController.h"

#include "designs/DesignFileSupport.h"

#include "designs/Card_Wizard.h"
#include "designs/Export_Template.h"
#include "designs/Grid_Wizard.h"
#include "designs/Template_Wizard.h"
#include "designs/Templates.h"
#include "designs/model/DesignLog.h"

#include "dataseries/Data_From_Excel.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/RenderSide.h"

#include "core/Globals.h"
#include "core/QLNGrid.h"
#include "core/Utilities.h"

#include "platform/ControlActions.h"
#include "platform/Images.h"
#include "platform/UiServices.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

#include <exception>

namespace {

const QString ExportedMessage = QStringLiteral("Template exported successfully.");
const QString TemplateMode = QStringLiteral("T");
// What did not happen because the design was not saved.
const QString NoTemplateOpened = QStringLiteral("so no template was opened.");

// The window object of type T made for `controller`, made on first use.
template <typename T, typename Make> T *windowOf(QLNWindowController *controller, Make make) {
  if (T *existing = controller->findChild<T *>(QString(), Qt::FindDirectChildrenOnly))
    return existing;
  return make();
}

Export_Template *namingWindow(QLNWindowController *controller) {
  return windowOf<Export_Template>(controller,
                                   [controller] { return new Export_Template(controller->ui, controller); });
}

}  // namespace

PointImage QLNWindowController::templatePreviewImage(QString *error) {
  CardSideSnapshot sides[2];
  for (int side = 0; side < 2; ++side) {
    CardSideSnapshot &snapshot = sides[side];
    snapshot.side = side;
    snapshot.canvasSize = frontCanvasBounds().size();
    QString copyError;
    snapshot.graphics =
        Render::copyGraphicsForRendering(side == 0 ? Get_Front_Controls_Array() : Get_Back_Controls_Array(), &copyError);
    if (!copyError.isEmpty()) {
      if (error)
        *error = copyError;
      return {};
    }
    snapshot.settings = side == 0 ? Front_card_Prop : Back_card_Prop;
    snapshot.cardShape = Card_Shape.load();
    snapshot.resourcePath = Resource_Path;
  }
  return Templates::previewOfSides(sides[0], sides[1], error);
}

void QLNWindowController::Export_As_Template_Clicked(QObject *) {
  Export_Template *naming = namingWindow(this);
  const int code = naming->run(QString(), QString());
  naming->window()->hide();
  if (code != ModalOK)
    return;

  const QString folder = Templates::userFolder();
  QString error;
  bool saved = false;
  try {
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
      error = QStringLiteral("the folder %1 cannot be made").arg(folder);
    } else {
      // The design as Save writes it, but into the template's pair: the open design
      // keeps its own file and title.
      const DesignLogContents contents = DesignFiles::currentDesignContents(*this);
      const QByteArray design = writeDesignLog(contents, &error);
      // A design that could not be opened again is refused instead of saved.
      if (!design.isEmpty() && readDesignLog(design, &error)) {
        const PointImage preview = templatePreviewImage(&error);
        if (!preview.isNull())
          saved = Templates::writeTemplatePair(joinPath(folder, export_template_name), design,
                                               pngData(preview.pixels, Templates::PreviewDpi), &error);
      }
    }
  } catch (const std::exception &exception) {
    error = QString::fromUtf8(exception.what());
  }
  Set_Log_Name_In_Title();
  if (saved) {
    Show_MessageBox(ExportedMessage);
  } else {
    Show_NSLog_Message(QStringLiteral("The template %1 was not saved: %2").arg(export_template_name, error));
    Show_MessageBox(QStringLiteral("The template could not be saved: %1.")
                        .arg(error.isEmpty() ? QStringLiteral("unknown error") : error));
  }
}

int QLNWindowController::Open_Template_Clicked(QObject *) {
  // A template replaces the design as Open does: a changed design is saved first when
  // the user wants that, and stays when that save did not happen.
  if (!DesignFiles::saveBeforeReplacing(*this, DesignFiles::SaveBeforeOpenQuestion, NoTemplateOpened, true))
    return 0;
  Template_Wizard *browser = windowOf<Template_Wizard>(
      this, [this] { return new Template_Wizard(namingWindow(this), ui->window, this); });
  if (browser->Open_Template_Window() != 1)
    return 0;
  if (!browser->profileAccepted())
    return Read_and_load_design_Log(Selected_Template_Path, TemplateMode);

  // The template opens as a new design, which starts without a profile: the profile
  // entered in the window, and the imported rows its fields may be bound to, are taken
  // across and placed on the template.
  const User_Profile_Class front = Front_user_profile;
  const User_Profile_Class back = Back_user_profile;
  const ImportedRowsTable rows = Data_From_Excel::defaultInstance()->table();
  const bool rowsInUse = Excel_Binding_Use;
  const QString rowsSource = Excel_Source_Path;
  const int opened = Read_and_load_design_Log(Selected_Template_Path, TemplateMode);
  Front_user_profile = front;
  Back_user_profile = back;
  Fill_User_Profile = true;
  if (opened != 1)
    return opened;
  bool boundToColumns = false;
  for (int field = 0; field < User_Profile_Class::FieldCount; ++field)
    boundToColumns = boundToColumns || front.xl(field) || back.xl(field);
  if (boundToColumns && Data_From_Excel::defaultInstance()->table().rowCount() == 0) {
    Data_From_Excel::defaultInstance()->setTable(rows);
    Excel_Binding_Use = rowsInUse;
    Excel_Source_Path = rowsSource;
  }
  Fill_User_profile_Details();
  return opened;
}

int QLNWindowController::Open_Card_Size_Clicked(QObject *) {
  Card_Wizard *wizard = windowOf<Card_Wizard>(this, [this] { return new Card_Wizard(this, this); });
  const int code = wizard->Open_Wnd();
  // A profile entered in the window goes onto the card it made; after Cancel it waits
  // for the Place Profile command.
  if (code == 1 && wizard->profileAccepted())
    Fill_User_profile_Details();
  return code;
}

void QLNWindowController::toggleGridShowing(QObject *) {
  ui->Grid_clr->setColor(_grid->color());
  ui->Grid_Space_slidr->setDoubleValue(_grid->spacing());
  controls::setCheckedQuietly(ui->Show_hide_grid_chk, _grid->isAlwaysShown());
  SetObjEnabled(ui->Grid_Opt_box, _grid->isAlwaysShown());
  Grid_Wizard *grid = windowOf<Grid_Wizard>(this, [this] { return new Grid_Wizard(ui, this); });
  grid->Open_Wnd();
}

void QLNWindowController::installTemplateCommands() {
  connect(ui->Export_As_Template_btn, &QAbstractButton::clicked, this,
          [this] { runLoggingFailures("Export_As_Template_btn", [this] { Export_As_Template_Clicked(); }); });

  auto *fileMenu = ui->window->menuBar()->findChild<QMenu *>(QStringLiteral("File_menu"));
  if (!fileMenu)
    return;
  QAction *exitItem = fileMenu->findChild<QAction *>(QStringLiteral("Exit_menu_item"));
  QAction *before = nullptr;
  // The new items go above Exit and the separator before it.
  const QList<QAction *> items = fileMenu->actions();
  const qsizetype exitIndex = exitItem ? items.indexOf(exitItem) : -1;
  if (exitIndex > 0)
    before = items.at(exitIndex - 1)->isSeparator() ? items.at(exitIndex - 1) : exitItem;
  auto *templates = new QAction(QStringLiteral("Open &Template..."), fileMenu);
  templates->setObjectName(QStringLiteral("Open_Template_menu_item"));
  templates->setToolTip(QStringLiteral("Start a design from a built-in template or one you saved"));
  auto *cardSize = new QAction(QStringLiteral("Card &Size..."), fileMenu);
  cardSize->setObjectName(QStringLiteral("Card_Size_menu_item"));
  cardSize->setToolTip(QStringLiteral("Choose the card's shape and size"));
  // The profile those two windows' profile button filled, placed as it stands.
  auto *placeProfile = new QAction(QStringLiteral("Place &Profile"), fileMenu);
  placeProfile->setObjectName(QStringLiteral("Place_Profile_menu_item"));
  placeProfile->setToolTip(
      QStringLiteral("Place the profile entered in the Card Size or template window on the front and the back"));
  fileMenu->insertAction(before, templates);
  fileMenu->insertAction(before, cardSize);
  fileMenu->insertAction(before, placeProfile);
  connect(templates, &QAction::triggered, this,
          [this] { runLoggingFailures("Open_Template_menu_item", [this] { Open_Template_Clicked(); }); });
  connect(cardSize, &QAction::triggered, this,
          [this] { runLoggingFailures("Card_Size_menu_item", [this] { Open_Card_Size_Clicked(); }); });
  connect(placeProfile, &QAction::triggered, this,
          [this] { runLoggingFailures("Place_Profile_menu_item", [this] { Place_Profile_Clicked(); }); });
}
