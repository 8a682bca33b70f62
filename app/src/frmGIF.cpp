#include "app/frmGIF.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <utility>

#include "app/CentreWindow.h"
#include "app/FixedDialog.h"
#include "app/WindowLook.h"

namespace flinder {

namespace {

QWidget* MakeBox(QWidget* parent, QRect place, QColor back) {
  auto* box = new QWidget(parent);
  box->setGeometry(place);
  SetColour(box, QPalette::Window, back);
  box->setAutoFillBackground(true);
  return box;
}

}  // namespace

frmGIF::frmGIF(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
  setWindowTitle(QStringLiteral("Flindering"));
  KeepTitleBarFixed(this);
  setFixedSize(ClientWidth, ClientHeight + ButtonRowHeight);

  Label1 = new QLabel(QStringLiteral("Flindering animated GIF. Please wait..."), this);
  Label1->setGeometry(40, 16, 233, 17);
  Label1->setFont(ArialFont(8.25));
  Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  picPer = MakeBox(this, {8, 48, 289, 17}, QColor(128, 128, 255));
  picVal = MakeBox(picPer, {0, 0, 0, 17}, QColor(0, 0, 192));

  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel->setGeometry((ClientWidth - 75) / 2, ClientHeight, 75, 23);
  cmdCancel->setFont(ArialFont(8.25));
  connect(cmdCancel, &QPushButton::clicked, this, &frmGIF::Cancel);

  lblNote = new QLabel(this);
  lblNote->setGeometry(8, ClientHeight + ButtonRowHeight, 289, NoteHeight - 8);
  lblNote->setFont(ArialFont(8.25));
  lblNote->setWordWrap(true);
  lblNote->hide();
}

void frmGIF::ShowNote(const QString& text) {
  lblNote->setText(text);
  lblNote->show();
  setFixedSize(ClientWidth, ClientHeight + ButtonRowHeight + NoteHeight);
}

void frmGIF::ClearNote() {
  lblNote->hide();
  lblNote->clear();
  setFixedSize(ClientWidth, ClientHeight + ButtonRowHeight);
}

void frmGIF::CentreOn(const QWidget* owner) {
  CentreWindow(this, owner);
}

void frmGIF::ShowProgress(int done, int total) {
  const long long full = picPer->width();
  const int width = total > 0 ? static_cast<int>(std::clamp(full * done / total, 0LL, full)) : 0;
  picVal->resize(width, picPer->height());
}

void frmGIF::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (Painted) std::exchange(Painted, nullptr)();
}

// The keyboard comes here, for Escape, and goes back to the owner after:
// openbox leaves a new utility window unfocused, and without a window
// manager nobody would give the keyboard back.
void frmGIF::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  activateWindow();
}

void frmGIF::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (parentWidget()) parentWidget()->activateWindow();
}

void frmGIF::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape)
    Cancel();
  else
    QWidget::keyPressEvent(event);
}

// A close box (openbox gives every window one) stops the export; the
// window goes when the export has ended.
void frmGIF::closeEvent(QCloseEvent* event) {
  event->ignore();
  Cancel();
}

void frmGIF::Cancel() {
  if (Cancelled) Cancelled();
}

}  // namespace flinder
