#include "platform/ControlActions.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QItemSelectionModel>

namespace controls {

namespace {

const char *const Following = "amendsFollowsListChoice";

class ListChoiceFollower : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Show)
      if (auto *combo = qobject_cast<QComboBox *>(watched))
        followListChoice(combo);
    return false;
  }
};

}  // namespace

void followListChoice(QComboBox *combo) {
  if (!combo || combo->property(Following).toBool())
    return;
  QAbstractItemView *view = combo->view();
  QItemSelectionModel *selection = view ? view->selectionModel() : nullptr;
  if (!selection)
    return;
  combo->setProperty(Following, true);
  QObject::connect(selection, &QItemSelectionModel::selectionChanged, combo, [combo, view, selection] {
    if (view->isVisible())
      return;
    const QModelIndexList chosen = selection->selectedRows(combo->modelColumn());
    if (chosen.size() != 1)
      return;
    const int row = chosen.first().row();
    if (row != combo->currentIndex())
      combo->setCurrentIndex(row);
  });
}

void followListChoiceEverywhere(QApplication *application) {
  if (!application || application->property(Following).toBool())
    return;
  application->setProperty(Following, true);
  application->installEventFilter(new ListChoiceFollower(application));
}

}  // namespace controls
