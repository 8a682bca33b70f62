#include "app/frmNew.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "app/ToolBitmaps.h"
#include "app/WindowLook.h"

namespace flinder {

frmNew::frmNew(QWidget* owner)
    : FixedDialog(
          owner,
          Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint,
          false) {
  setWindowTitle(QStringLiteral("Shape"));
  setWindowIcon(FlinderIcon());
  setFont(ArialFont(8.25));
  setFixedSize(ClientWidth, ClientHeight);

  lblNew = new QLabel(this);
  lblNew->setGeometry(32, 16, 145, 17);
  txtNew = new QLineEdit(this);
  txtNew->setGeometry(32, 40, 121, 19);
  txtNew->installEventFilter(this);

  const QString captions[] = {QStringLiteral("&Ok"), QStringLiteral("&Cancel")};
  const QRect places[] = {{112, 72, 57, 25}, {24, 72, 57, 25}};
  for (int index = 0; index < 2; ++index) {
    cmdNew[index] = new QPushButton(captions[index], this);
    cmdNew[index]->setGeometry(places[index]);
    // Enter reaches the dialog only through the text box's key release.
    cmdNew[index]->setAutoDefault(false);
    cmdNew[index]->setDefault(false);
    connect(cmdNew[index], &QPushButton::clicked, this, [this, index] { cmdNew_Click(index); });
  }
  setTabOrder(txtNew, cmdNew[0]);
  setTabOrder(cmdNew[0], cmdNew[1]);
  Reload();
}

void frmNew::Reload() {
  lblNew->setText(QStringLiteral("Enter a new design name:"));
  txtNew->clear();
  cmdNew[0]->setEnabled(true);
  Unplace();
}

void frmNew::cmdNew_Click(int index) {
  if (index == 1) txtNew->clear();
  accept();
}

void frmNew::txtNew_KeyUp(int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) accept();
  cmdNew[0]->setEnabled(!txtNew->text().isEmpty());
}

bool frmNew::eventFilter(QObject* watched, QEvent* event) {
  const bool press = event->type() == QEvent::KeyPress;
  if (watched == txtNew && (press || event->type() == QEvent::KeyRelease)) {
    // A held key repeats its press, but it is released only once.
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (press) {
      if (enter) enterPressed_ = true;
    } else if (!key->isAutoRepeat() && (!enter || std::exchange(enterPressed_, false))) {
      txtNew_KeyUp(key->key());
    }
  }
  return FixedDialog::eventFilter(watched, event);
}

void frmNew::showEvent(QShowEvent* event) {
  enterPressed_ = false;
  FixedDialog::showEvent(event);
}

// The close box unloads the dialog: the caller finds it empty, which counts
// as cancelled, and the next use starts from a fresh one.
void frmNew::closeEvent(QCloseEvent* event) {
  FixedDialog::closeEvent(event);
  if (event->isAccepted()) Reload();
}

}  // namespace flinder
