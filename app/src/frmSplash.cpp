#include "app/frmSplash.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "app/MouseButtons.h"
#include "app/ToolBitmaps.h"
#include "app/WindowLook.h"

namespace flinder {

namespace {

QLabel* MakeLabel(QWidget* parent, QRect place, const QString& text, QFont font,
                  Qt::Alignment alignment) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(place);
  label->setFont(font);
  label->setAlignment(alignment | Qt::AlignTop);
  return label;
}

// A one-pixel horizontal line from x1 up to (not including) x2.
QFrame* MakeLine(QWidget* parent, int x1, int x2, int y) {
  auto* line = new QFrame(parent);
  line->setGeometry(x1, y, x2 - x1, 1);
  SetColour(line, QPalette::Window, QColor(224, 224, 224));
  line->setAutoFillBackground(true);
  return line;
}

QFont Styled(QFont font, bool bold, bool italic) {
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

}  // namespace

frmSplash::frmSplash(QWidget* owner, const QString& linkText, std::function<void()> openLink)
    : FixedDialog(owner, Qt::Dialog | Qt::FramelessWindowHint, true),
      OpenLink(std::move(openLink)) {
  setWindowIcon(FlinderIcon());
  setFixedSize(ClientWidth, ClientHeight);
  SetColour(this, QPalette::Window, QColor(192, 192, 192));
  setAutoFillBackground(true);

  Frame1 = new QFrame(this);
  Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Frame1->setGeometry(8, 0, 321, 225);

  Picture1 = new QLabel(Frame1);
  Picture1->setGeometry(16, 24, 32, 32);
  Picture1->setPixmap(FlinderIcon().pixmap(32, 32));

  Label1 = MakeLabel(Frame1, {64, 32, 129, 17}, QStringLiteral("Flender 1.0"),
                     Styled(ArialFont(12), true, false), Qt::AlignLeft);
  Label5 =
      MakeLabel(Frame1, {88, 16, 225, 17}, QStringLiteral("Web animation at a click of a button"),
                Styled(ArialFont(6.75), false, true), Qt::AlignRight);
  SetColour(Label5, QPalette::WindowText, QColor(64, 64, 64));
  Line1 = MakeLine(Frame1, 40, 280, 64);
  Label4 = MakeLabel(Frame1, {32, 80, 257, 17},
                     QStringLiteral("Everything about the program is in its manual:"),
                     ArialFont(8.25), Qt::AlignHCenter);
  lblURL = MakeLabel(Frame1, {72, 96, 177, 17}, linkText, ArialFont(8.25), Qt::AlignHCenter);
  SetColour(lblURL, QPalette::WindowText, QColor(0, 0, 255));
  SetLinkUnderline(true);
  lblURL->setCursor(Qt::UpArrowCursor);
  lblURL->installEventFilter(this);
  Line2 = MakeLine(Frame1, 40, 280, 144);

  cmdSplash[2] = new QPushButton(QStringLiteral("OK"), Frame1);
  cmdSplash[2]->setGeometry(232, 192, 65, 17);
  connect(cmdSplash[2], &QPushButton::clicked, this, [this] { cmdSplash_Click(2); });
}

void frmSplash::cmdSplash_Click(int index) {
  if (index == 2) accept();
}

void frmSplash::SetLinkUnderline(bool on) {
  QFont font = lblURL->font();
  font.setUnderline(on);
  lblURL->setFont(font);
}

void frmSplash::lblURL_MouseDown(int button) {
  if (button == LeftButton) SetLinkUnderline(false);
}

void frmSplash::lblURL_MouseUp(int button) {
  if (button != LeftButton) return;
  SetLinkUnderline(true);
  if (OpenLink) OpenLink();
}

// The release comes to the label that took the press, wherever the pointer
// is by then; neither goes on to the frame behind the label.
bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblURL) {
    if (event->type() == QEvent::MouseButtonPress) {
      lblURL_MouseDown(MouseButtonCode(static_cast<QMouseEvent*>(event)->button()));
      return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
      lblURL_MouseUp(MouseButtonCode(static_cast<QMouseEvent*>(event)->button()));
      return true;
    }
  }
  return FixedDialog::eventFilter(watched, event);
}

}  // namespace flinder
